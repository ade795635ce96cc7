// SPDX-License-Identifier: MIT
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

    // Whatever the table held before is replaced by a fresh copy of the template with ten
    // blank rows (nothing in the program reads them). Other programs rebuild the same table:
    // each rebuild happens under the table's lock and replaces it whole, so that none of them
    // sees another's half-written table.
    const std::string templatePath = joinPath(programFolder, kReportTemplate);
    std::vector<std::string_view> fields;
    fields.reserve(kReportRecordFields.size());
    for (const RecordField& f : kReportRecordFields) {
        fields.push_back(f.name);
    }
    FileLock lock;
    return replaceUnderLock(
        joinPath(folder, kReportTable), kSharedFileWait, true,
        [&](const std::string& tempPath, const FileLock& tempLock) -> TableError {
            if (TableError error = copyFileInto(templatePath, tempLock.fd(), tempPath)) {
                return error;
            }
            const std::filesystem::path temp(tempPath);
            DbfTable table;
            if (TableError error = table.open(folder, temp.filename().string(),
                                              DbfOpenMode::ReadWrite, tempLock)) {
                return error;
            }
            if (TableError error = table.requireFields(fields)) {
                return error;
            }
            table.skipSyncOnStore();  // forced to disk once, before it replaces the table
            for (int i = 0; i < kBlankReportRows; ++i) {
                if (TableError error = table.addNew()) {
                    return error;
                }
                if (TableError error = table.store()) {
                    return error;
                }
            }
            return {};
        },
        lock);
}

}  // namespace bx
