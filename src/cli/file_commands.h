// SPDX-License-Identifier: MIT
#pragma once
// The window's file commands run from the command line: the file dialog of each answers with
// a path given there, as if the user had chosen that folder and typed that name.

#include <string>

namespace bx {
class MainWindow;
}

namespace bx::cli {

class CliDesktop;

enum class FileCommand {
    Load,         // File > "&Load From..."
    Save,         // File > "&Save As..."
    DetailedLog,  // Log > "Begin Detail Data Logging"
    SummaryLog,   // Log > "Begin Summary Log File"
    Report,       // File > "&Report"
    // The logs as scripts share them: every run added to the file as it is (app/log_commands.h)
    SharedDetailedLog,
    SharedSummaryLog,
};

// Runs `command` on `w` with `path` as the dialog's answer. Returns true when the command did
// what it was asked: the data loaded or saved, the log active, the report complete. The
// command reports failures itself, in the status list and in message boxes.
bool runFileCommand(MainWindow& w, CliDesktop& desktop, FileCommand command,
                    const std::string& path);

}  // namespace bx::cli
