#pragma once
// What the detailed and the summary log share: starting a new log file from its template
// and stopping it from the Log menu, the messages of a failed start, and appending the rows
// of a run to the active file.

#include <string>
#include <string_view>
#include <vector>

#include "logs/log_rows.h"
#include "tables/dbf_table.h"
#include "tables/table_error.h"

namespace bx {

class MainWindow;
struct WindowState;
struct MenuEntry;

// One log's texts and the window fields that hold its state.
struct LogKind {
    const char* templateName = "";    // the blank log in the program folder
    const char* dialogCaption = "";   // the file dialog's caption
    const char* dialogPurpose = "";   // which folder the dialog offers
    const char* beginCaption = "";    // the menu entry while the log is stopped
    const char* stopCaption = "";     // ...and its start while the log is active
    const char* logName = "";         // "Detailed Log File" / "Summary Log File"
    const char* activeTitle = "";     // title of the "Now Active." message
    bool numberInOtherError = false;  // the table error number follows "Error!!!"
    bool WindowState::*logging = nullptr;
    std::string WindowState::*fileName = nullptr;
    std::string WindowState::*folder = nullptr;
    std::string WindowState::*path = nullptr;
    std::string WindowState::*otherLogFileName = nullptr;  // may not be chosen for this log
    MenuEntry WindowState::*menu = nullptr;
};

// The Log menu entry of `kind`: stops the active log, or asks for a new file and starts it.
void toggleLog(MainWindow& w, const LogKind& kind);

// Appends `rows` to the log at `path`; the first failure ends the run's writing and is
// reported in the status list as not saved to `logName`.
void appendLogRows(MainWindow& w, const std::string& path, const std::vector<LogRow>& rows,
                   std::string_view logName);

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
