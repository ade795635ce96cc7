#include "logs/log_file.h"

#include "app/main_window.h"
#include "tables/file_copy.h"

namespace bx {

std::string fileIoErrorText(int number) {
    return "File IO Error " + std::to_string(number) +
           ".  File may already be open or pathname is corrupt.";
}

TableError createLogFile(const MainWindow& w, std::string_view templateName,
                         const std::string& folder, const std::string& fileName) {
    if (TableError error =
            copyFileSafely(w.programFile(templateName), joinPath(folder, fileName))) {
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

TableError openLogForRun(MainWindow& w, DbfTable& table, const std::string& folder,
                         const std::string& fileName) {
    table.setCutHandler([&w](const FieldCut& cut) { w.postStatus(describeCut(cut)); });
    return table.open(folder, fileName);
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

}  // namespace bx
