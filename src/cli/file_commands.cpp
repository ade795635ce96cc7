// SPDX-License-Identifier: MIT
#include "cli/file_commands.h"

#include <string_view>

#include "app/log_commands.h"
#include "app/main_window.h"
#include "app/report_command.h"
#include "app/sample_commands.h"
#include "cli/cli_desktop.h"
#include "cli/result_output.h"

namespace bx::cli {
namespace {

// True when a line that begins with `prefix` was posted after the first `before` characters
// of the status list.
bool postedSince(const WindowState& ui, std::size_t before, std::string_view prefix) {
    const std::vector<std::string> lines = statusLines(ui.Status.substr(before));
    for (const std::string& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool runFileCommand(MainWindow& w, CliDesktop& desktop, FileCommand command,
                    const std::string& path) {
    desktop.setNextFile(path);
    const std::size_t before = w.ui.Status.size();
    bool done = false;
    switch (command) {
        case FileCommand::Load:
            mnuLoadFrom_Click(w);
            done = postedSince(w.ui, before, "Data Entry Loaded from file <");
            break;
        case FileCommand::Save:
            mnuSaveAs_Click(w);
            done = postedSince(w.ui, before, "Save of Sample Data to <") &&
                   !postedSince(w.ui, before, "*** Save of Sample Data to <");
            break;
        case FileCommand::DetailedLog:
            if (!w.ui.detailedLogging) {
                mnuLogDetail_Click(w);
            }
            done = w.ui.detailedLogging;
            break;
        case FileCommand::SummaryLog:
            if (!w.ui.summaryLogging) {
                mnuLogSummary_Click(w);
            }
            done = w.ui.summaryLogging;
            break;
        case FileCommand::SharedDetailedLog:
            shareDetailLog(w);
            done = w.ui.detailedLogging;
            break;
        case FileCommand::SharedSummaryLog:
            shareSummaryLog(w);
            done = w.ui.summaryLogging;
            break;
        case FileCommand::Report:
            mnuFileReport_Click(w);
            done = postedSince(w.ui, before, "*** Report Complete.");
            break;
    }
    // A dialog the command did not open must not answer a later one.
    desktop.setNextFile(std::nullopt);
    return done;
}

}  // namespace bx::cli
