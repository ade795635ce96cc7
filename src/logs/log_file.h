#pragma once
// What the detailed and the summary log share: the start-up of a new log file from its
// template, the messages of a failed start, and the opening of the active file for a run.

#include <string>
#include <string_view>

#include "tables/dbf_table.h"
#include "tables/table_error.h"

namespace bx {

class MainWindow;

// "File IO Error <n>.  File may already be open or pathname is corrupt." for a file error.
std::string fileIoErrorText(int number);

// Replaces the file at `path` by a copy of the template and opens it with one blank row:
// nothing of an earlier file is lost unless the copy is complete.
TableError createLogFile(const MainWindow& w, std::string_view templateName,
                         const std::string& folder, const std::string& fileName);

// Opens an active log for appending a run; every value that does not fit its field is
// reported in the status list.
TableError openLogForRun(MainWindow& w, DbfTable& table, const std::string& folder,
                         const std::string& fileName);

// The status line of a run that could not be written to a log (the log stays active).
std::string logWriteErrorLine(std::string_view logName, const TableError& error);

}  // namespace bx
