// SPDX-License-Identifier: MIT
#pragma once
// The files of the detailed and the summary log. A log is either begun (the file replaced by a
// fresh copy of its template, and locked for as long as it stays active) or shared (runs added
// to the file as it is, each group of runs under a lock taken for that group alone), and its
// runs go to disk in groups: a group's rows first, then the header that counts them.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "logs/log_rows.h"
#include "tables/dbf_table.h"
#include "tables/file_lock.h"
#include "tables/table_error.h"

namespace bx {

// Called for every value that does not fit its field.
using CutReporter = std::function<void(const FieldCut&)>;

// A batch commits its runs to a log at least this often.
inline constexpr long kLogGroupRuns = 1000;
inline constexpr std::chrono::seconds kLogGroupTime{1};

class LogFile {
  public:
    // Replaces the file `path` by a copy of the template with one blank row, and keeps it
    // locked until stop(): nothing of an earlier file is lost unless the copy is complete, and
    // while another program holds the file (an active log, a run being appended) it fails at
    // once with 70 and leaves the file as it is.
    // Without `replace` the file must not exist: when it does (or appears meanwhile) this
    // fails with 58 and leaves it as it is.
    TableError begin(const std::string& templatePath, const std::string& path, bool replace = true);

    // Adds runs to the file `path` as it is: the file, when it exists, must be a log made from
    // `templatePath` (the same fields); when it is missing the first group creates it from
    // the template with one blank row. Each group is written under a lock held for that group
    // only, waiting up to `wait` while another program holds the file.
    TableError share(const std::string& templatePath, const std::string& path,
                     std::chrono::milliseconds wait = kSharedFileWait);

    // Commits what is pending and lets the file go.
    TableError stop();

    bool active() const { return !path_.empty(); }
    bool shared() const { return shared_; }
    const std::string& path() const { return path_; }

    // Lays out the rows of one run at the end of the current group (starting a group first:
    // the file is checked and, when shared, locked). Nothing reaches the file before commit().
    TableError add(const std::vector<LogRow>& rows, const CutReporter& reportCut);
    // Runs added since the last commit.
    long pendingRuns() const { return pendingRuns_; }
    // Whether a batch should commit now: kLogGroupRuns runs pending, or the group older than
    // kLogGroupTime.
    bool commitDue() const;
    // Writes the pending runs and forces them to disk, then the header that counts them; a
    // shared log's lock is released. On failure those runs are not in the log (the file is as
    // after the last commit) and the error says why.
    TableError commit();
    // Drops the pending runs without writing them; a shared log's lock is released.
    void discard();
    // Drops the run add() laid out last (the other log did not take it).
    void dropLastRun();
    // Takes back the runs of the last commit (when the other log could not take the same runs),
    // unless another program has added rows since. False when they stay.
    bool withdrawLastCommit();

    // What was found and mended on opening the file, as lines to show once: rows past the
    // header's count that were removed. Empty when there was nothing.
    std::string takeNotes() { return std::exchange(notes_, std::string()); }

  private:
    TableError startGroup();
    void endGroup();

    std::string templatePath_;
    std::string path_;
    bool shared_ = false;
    std::chrono::milliseconds wait_{0};
    FileLock lock_;
    DbfAppender appender_;
    std::vector<DbfField> templateFields_;
    long pendingRuns_ = 0;
    long lastRunStart_ = -1;    // the pending rows before the last run added; -1: none
    long lastCommitFrom_ = -1;  // the rows before and after the last commit; -1: none
    long lastCommitTo_ = -1;
    std::string notes_;
    std::chrono::steady_clock::time_point groupStart_{};
};

// Commits the pending runs of the detailed log and then, only when they are in, those of the
// summary log, so that the two hold the same runs: when the detailed log fails the summary
// log's pending runs are dropped, and when the summary log fails the detailed log's are taken
// back. `detailedError` and `summaryError` say what failed; `withdrawn` whether the detailed
// log's runs were taken back.
void commitLogsTogether(LogFile& detailed, LogFile& summary, TableError& detailedError,
                        TableError& summaryError, bool& withdrawn);
// True when the table at `path` has the fields of the template at `templatePath` (a log of
// that kind, or a sample data file for its template); false for another table, another file
// or one that cannot be read.
bool hasLayoutOf(const std::string& templatePath, const std::string& path);

// Replaces the file `fileName` in `folder` by a copy of the template with one blank row (a
// log begun and stopped at once).
TableError createLogFile(const std::string& templatePath, const std::string& folder,
                         const std::string& fileName);

// "File IO Error <n>.  File may already be open or pathname is corrupt." for a file error,
// followed by the file and the cause in plain words when they are known
// ("... corrupt. /data/log.dbf: in use by another program.").
std::string fileIoErrorText(const TableError& error);

// The status line of a run that could not be written to a log (the log stays active):
// "ERROR - Run NOT saved to " and the text of logWriteErrorText().
std::string logWriteErrorLine(std::string_view logName, const TableError& error);
// The log, the error number and the cause: "Log File <log.dbf>: error 61 (...)".
std::string logWriteErrorText(std::string_view logName, const TableError& error);

// A run that a log did not take.
struct LogWriteFailure {
    std::string log;  // "Log File <path>", "Summary Log File <path>"
    TableError error;
};

}  // namespace bx
