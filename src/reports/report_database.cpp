#include "reports/report_database.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/paths.h"
#include "reports/report_record.h"
#include "tables/dbf_table.h"
#include "tables/file_copy.h"

namespace bx {
namespace {

constexpr const char* kReportTemplate = "result.dbf";
constexpr const char* kReportTable = "reportr.dbf";
constexpr int kBlankReportRows = 10;

bool folderWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

TableError initReportDatabase(const std::string& programFolder, const std::string& scratchFolder) {
    return initReportDatabase(programFolder, programFolder, scratchFolder);
}

TableError initReportDatabase(const std::string& programFolder, const std::string& tableFolder,
                              const std::string& scratchFolder) {
    // The report table lives in its own folder; when that cannot be written to, the user's
    // scratch folder keeps it instead. The template always comes from the program folder.
    std::string folder = tableFolder;
    std::error_code ec;
    if (tableFolder != programFolder && !std::filesystem::is_directory(folder, ec)) {
        std::filesystem::create_directories(folder, ec);
    }
    if (!folderWritable(folder)) {
        folder = scratchFolder;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            return errorFromErrno(ec.value(), joinPath(folder, kReportTable));
        }
    }

    // Whatever the table held before is replaced by a fresh copy of the template.
    if (TableError error =
            copyFileSafely(joinPath(programFolder, kReportTemplate), joinPath(folder, kReportTable))) {
        return error;
    }

    DbfTable table;
    if (TableError error = table.open(folder, kReportTable)) {
        return error;
    }
    std::vector<std::string_view> fields;
    fields.reserve(kReportRecordFields.size());
    for (const RecordField& f : kReportRecordFields) {
        fields.push_back(f.name);
    }
    if (TableError error = table.requireFields(fields)) {
        return error;
    }
    // Ten blank rows. Nothing in the program reads them; the table is closed again at once,
    // so that no handle keeps the file from being replaced by the next call.
    for (int i = 0; i < kBlankReportRows; ++i) {
        if (TableError error = table.addNew()) {
            return error;
        }
        if (TableError error = table.store()) {
            return error;
        }
    }
    return {};
}

}  // namespace bx
