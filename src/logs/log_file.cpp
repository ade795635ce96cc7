#include "logs/log_file.h"

#include <filesystem>

#include "base/paths.h"
#include "tables/file_copy.h"

namespace bx {

std::string fileIoErrorText(int number) {
    return "File IO Error " + std::to_string(number) +
           ".  File may already be open or pathname is corrupt.";
}

TableError createLogFile(const std::string& templatePath, const std::string& folder,
                         const std::string& fileName) {
    if (TableError error = copyFileSafely(templatePath, joinPath(folder, fileName))) {
        return error;
    }
    DbfTable table;
    if (TableError error = table.open(folder, fileName)) {
        return error;
    }
    if (TableError error = table.addNew()) {
        return error;
    }
    return table.store();
}

std::string logWriteErrorLine(std::string_view logName, const TableError& error) {
    std::string line = "     ERROR - Run NOT saved to ";
    line += logName;
    line += ": error " + std::to_string(error.number);
    if (!error.description.empty()) {
        line += " (" + error.description + ")";
    }
    return line;
}

TableError appendLogRows(const std::string& path, const std::vector<LogRow>& rows,
                         const CutReporter& reportCut) {
    const std::filesystem::path file(path);
    DbfTable table;
    table.setCutHandler(reportCut);
    TableError error = table.open(file.parent_path().string(), file.filename().string());
    for (const LogRow& row : rows) {
        if (error) {
            break;
        }
        error = table.addNew();
        for (const auto& [field, value] : row) {
            if (error) {
                break;
            }
            error = table.writeField(field, value);
        }
        if (!error) {
            error = table.store();
        }
    }
    return error;
}

}  // namespace bx
