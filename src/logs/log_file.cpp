// SPDX-License-Identifier: MIT
#include "logs/log_file.h"

#include <unistd.h>

#include <filesystem>

#include "base/paths.h"
#include "tables/file_copy.h"

namespace bx {
namespace {

// The fields of the template at `templatePath`.
TableError templateFields(const std::string& templatePath, std::vector<DbfField>& fields) {
    const std::filesystem::path p(templatePath);
    DbfTable table;
    if (TableError error =
            table.open(p.parent_path().string(), p.filename().string(), DbfOpenMode::ReadOnly)) {
        return error;
    }
    fields = table.fields();
    return {};
}

bool sameLayout(const std::vector<DbfField>& a, const std::vector<DbfField>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].width != b[i].width ||
            a[i].decimals != b[i].decimals) {
            return false;
        }
    }
    return true;
}

// Writes a copy of the template with one blank row into the temporary file of
// replaceUnderLock or createUnderLock.
FillFile templateCopy(const std::string& templatePath) {
    return [&templatePath](const std::string& tempPath, const FileLock& tempLock) -> TableError {
        if (TableError error = copyFileInto(templatePath, tempLock.fd(), tempPath)) {
            return error;
        }
        const std::filesystem::path temp(tempPath);
        DbfTable table;
        if (TableError error = table.open(temp.parent_path().string(), temp.filename().string(),
                                          DbfOpenMode::ReadWrite, tempLock)) {
            return error;
        }
        table.skipSyncOnStore();  // the whole file is forced to disk before it is put there
        if (TableError error = table.addNew()) {
            return error;
        }
        return table.store();
    };
}

}  // namespace

bool hasLayoutOf(const std::string& templatePath, const std::string& path) {
    std::vector<DbfField> expected;
    std::vector<DbfField> found;
    return !templateFields(templatePath, expected) && !templateFields(path, found) &&
           sameLayout(expected, found);
}

TableError LogFile::begin(const std::string& templatePath, const std::string& path, bool replace) {
    stop();
    if (TableError error = replace
                               ? replaceUnderLock(path, std::chrono::milliseconds(0), true,
                                                  templateCopy(templatePath), lock_)
                               : createUnderLock(path, true, templateCopy(templatePath), lock_)) {
        return error;
    }
    templatePath_ = templatePath;
    path_ = path;
    shared_ = false;
    return {};
}

TableError LogFile::share(const std::string& templatePath, const std::string& path,
                          std::chrono::milliseconds wait) {
    stop();
    std::vector<DbfField> fields;
    if (TableError error = templateFields(templatePath, fields)) {
        return error;
    }
    templatePath_ = templatePath;
    path_ = path;
    shared_ = true;
    wait_ = wait;
    templateFields_ = std::move(fields);
    // An existing file is checked now, so that a wrong one is refused before any run.
    if (::access(path.c_str(), F_OK) == 0) {
        TableError error = startGroup();
        endGroup();
        if (error) {
            path_.clear();
            return error;
        }
        return {};
    }
    const std::filesystem::path p(path);
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : ".";
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        const TableError error = errorFromErrno(errno, path);
        path_.clear();
        return error;
    }
    return {};
}

TableError LogFile::stop() {
    TableError error = commit();
    endGroup();
    lock_.release();
    path_.clear();
    templatePath_.clear();
    templateFields_.clear();
    shared_ = false;
    return error;
}

TableError LogFile::startGroup() {
    if (shared_) {
        // A missing log is made from the template, unless another program makes it first:
        // then its file is the log, runs and all.
        TableError error;
        for (int attempt = 0; attempt < 3; ++attempt) {
            error = FileLock::acquire(path_, wait_, lock_);
            if (error.number != kErrFileNotFound) {
                break;
            }
            error = createUnderLock(path_, true, templateCopy(templatePath_), lock_);
            if (error.number != kErrFileExists) {
                break;
            }
        }
        if (error) {
            return error;
        }
    } else {
        if (TableError held = checkNotHeldOpen(path_, lock_)) {
            return held;
        }
        if (!lock_.isAt(path_)) {
            // Removed, or replaced behind the program's back: the log is not there any more.
            if (::access(path_.c_str(), F_OK) != 0) {
                return errorFromErrno(errno, path_);
            }
            return makeFileError(kErrPathFileAccess, path_, "replaced by another program",
                                 path_ + " (replaced by another program)");
        }
    }
    if (TableError error = appender_.open(path_, lock_)) {
        return error;
    }
    if (const long removed = appender_.removedRows(); removed > 0) {
        notes_ += path_ + ": " + std::to_string(removed) + " row" + (removed == 1 ? "" : "s") +
                  " past the count of its header removed (left by a run that did not finish)\n";
    }
    if (shared_ && !sameLayout(appender_.fields(), templateFields_)) {
        const std::string templateName = std::filesystem::path(templatePath_).filename().string();
        return makeFileError(
            kErrPathFileAccess, path_,
            "not a log of this kind (its fields are not those of " + templateName + ")",
            path_ + " (not a log made from " + templateName + ")");
    }
    groupStart_ = std::chrono::steady_clock::now();
    return {};
}

void LogFile::endGroup() {
    appender_.close();
    pendingRuns_ = 0;
    lastRunStart_ = -1;
    if (shared_) {
        lock_.release();
    }
}

TableError LogFile::add(const std::vector<LogRow>& rows, const CutReporter& reportCut) {
    if (!active()) {
        return makeTableError(kErrNoCurrentRecord, "no log active");
    }
    if (!appender_.isOpen()) {
        if (TableError error = startGroup()) {
            endGroup();
            return error;
        }
    }
    appender_.setCutHandler(reportCut);
    const long before = appender_.pendingRows();
    for (const LogRow& row : rows) {
        appender_.addRow();
        for (const auto& [field, value] : row) {
            if (TableError error = appender_.setField(field, value)) {
                appender_.dropRowsAfter(before);  // none of this run's rows
                return error;
            }
        }
    }
    lastRunStart_ = before;
    ++pendingRuns_;
    return {};
}

void LogFile::dropLastRun() {
    if (lastRunStart_ >= 0 && pendingRuns_ > 0) {
        appender_.dropRowsAfter(lastRunStart_);
        --pendingRuns_;
    }
    lastRunStart_ = -1;
}

bool LogFile::commitDue() const {
    return pendingRuns_ >= kLogGroupRuns ||
           (pendingRuns_ > 0 && std::chrono::steady_clock::now() - groupStart_ >= kLogGroupTime);
}

TableError LogFile::commit() {
    lastCommitFrom_ = lastCommitTo_ = -1;
    if (!appender_.isOpen()) {
        return {};
    }
    const long before = appender_.committedRows();
    const bool any = appender_.pendingRows() > 0;
    const TableError error = appender_.commit();
    if (!error && any) {
        lastCommitFrom_ = before;
        lastCommitTo_ = appender_.committedRows();
    }
    endGroup();
    return error;
}

void LogFile::discard() {
    appender_.discard();
    endGroup();
}

bool LogFile::withdrawLastCommit() {
    if (lastCommitTo_ < 0 || !active()) {
        return false;
    }
    bool withdrawn = false;
    if (!startGroup() && appender_.committedRows() == lastCommitTo_) {
        withdrawn = !appender_.truncateTo(lastCommitFrom_);
    }
    endGroup();
    lastCommitFrom_ = lastCommitTo_ = -1;
    return withdrawn;
}

void commitLogsTogether(LogFile& detailed, LogFile& summary, TableError& detailedError,
                        TableError& summaryError, bool& withdrawn) {
    withdrawn = false;
    const bool detailedRuns = detailed.pendingRuns() > 0;
    detailedError = detailed.commit();
    if (detailedError) {
        summary.discard();
        return;
    }
    summaryError = summary.commit();
    if (summaryError && detailedRuns) {
        withdrawn = detailed.withdrawLastCommit();
    }
}

TableError createLogFile(const std::string& templatePath, const std::string& folder,
                         const std::string& fileName) {
    LogFile log;
    return log.begin(templatePath, joinPath(folder, fileName));
}

std::string fileIoErrorText(const TableError& error) {
    std::string text = "File IO Error " + std::to_string(error.number) +
                       ".  File may already be open or pathname is corrupt.";
    if (!error.cause.empty()) {
        text += " " + plainFileError(error) + ".";
    }
    return text;
}

std::string logWriteErrorText(std::string_view logName, const TableError& error) {
    std::string text(logName);
    text += ": error " + std::to_string(error.number);
    if (!error.description.empty()) {
        text += " (" + error.description + ")";
    }
    return withCause(std::move(text), error);
}

std::string logWriteErrorLine(std::string_view logName, const TableError& error) {
    return "     ERROR - Run NOT saved to " + logWriteErrorText(logName, error);
}

}  // namespace bx
