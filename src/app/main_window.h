// SPDX-License-Identifier: MIT
#pragma once
// The headless main window: the whole state of the window and the analysis, the connection to
// the desktop (message boxes, dialogs, clipboard) and to the statistical tables. Front ends
// (the Qt window, the command-line tool, the tests) create one, call Form_Load(), then forward
// every user action to the commands declared in the subsystem headers, all of which take a
// MainWindow&. Nothing here is global: several windows may run side by side.

#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "app/analysis_state.h"
#include "app/desktop.h"
#include "app/window_state.h"
#include "base/paths.h"
#include "base/status_sink.h"
#include "base/version.h"
#include "logs/log_file.h"

namespace bx {

class StatTables;

inline constexpr const char* kAppTitle = "Benthix";
// The title of the message that the statistical tables are missing or damaged.
inline constexpr const char* kTablesTitle = "Statistical Tables";

class MainWindow : public StatusSink {
  public:
    // `tables` may be shared between windows; when null they are read from the program folder.
    MainWindow(Desktop& desktop, StartupFolders folders,
               std::shared_ptr<const StatTables> tables = nullptr);

    // Appends a line to the status list (PostStatus).
    void postStatus(std::string_view line) override;

    Desktop& desktop() { return desktop_; }
    const StatTables& tables() const { return *tables_; }
    const std::shared_ptr<const StatTables>& sharedTables() const { return tables_; }

    // Path of a file in the program folder, e.g. programFile("stat.dbf").
    std::string programFile(std::string_view name) const;

    WindowState ui;
    AnalysisState analysis;

    // Table files already reported unreadable in this window's status list: each is reported
    // once per window.
    std::set<std::string> reportedTables;

    // The files of the active logs (held locked while active; see logs/log_file.h).
    LogFile detailedLog;
    LogFile summaryLog;
    // The logs that did not take the last run of Execute.
    std::vector<LogWriteFailure> lastRunLogFailures;

    // Folders already cleared of temporary files that killed runs left behind.
    std::set<std::string> tidiedFolders;

  private:
    Desktop& desktop_;
    std::shared_ptr<const StatTables> tables_;
};

}  // namespace bx
