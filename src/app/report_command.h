// SPDX-License-Identifier: MIT
#pragma once
// File > "&Report": the analysis run once more, its comma-separated report, the report table
// re-created, and the report laid out as a spreadsheet workbook beside it.

namespace bx {

class MainWindow;

// File > "&Report".
void mnuFileReport_Click(MainWindow& w);

// The whole command: file dialog ("New Report File"), validation, the run (with the log
// writes of the active logs), <name>.csv, the report table, <name>.xlsx, and the request to
// open the workbook. On screen (WindowState::onScreen) a status line names both files, and
// when no program opens the workbook a message box says where they are. File errors show
// "File IO Error <n>.  File may already be open or pathname is corrupt." (title "Log File
// Status"), others "Error!!!<n>" (title "File Status").
void CreateReport(MainWindow& w);

}  // namespace bx
