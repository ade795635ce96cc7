#include "logs/summary_log.h"

#include "app/main_window.h"
#include "datafiles/file_dialog.h"
#include "logs/log_file.h"
#include "logs/log_rows.h"

namespace bx {
namespace {

const LogKind kSummaryLog{
    .templateName = "sslogsum.dbf",
    .dialogCaption = "New Summary Log File Selection",
    .dialogPurpose = kPurposeSummaryLog,
    .beginCaption = "Begin Summary Log File",
    .stopCaption = "STOP Summary Data Logging to ",
    .logName = "Summary Log File",
    .activeTitle = "Summary Log File Status",
    .numberInOtherError = false,
    .logging = &WindowState::summaryLogging,
    .fileName = &WindowState::summaryLogFileName,
    .folder = &WindowState::summaryLogFolder,
    .path = &WindowState::summaryLogPath,
    .otherLogFileName = &WindowState::detailedLogFileName,
    .menu = &WindowState::mnuLogSummary,
};

}  // namespace

void mnuLogSummary_Click(MainWindow& w) {
    toggleLog(w, kSummaryLog);
}

void WriteSummaryLog(MainWindow& w) {
    WindowState& ui = w.ui;
    w.postStatus("     Saving to Summary Log File...");
    appendLogRows(w, ui.summaryLogPath, {summaryLogRow(ui)}, "Summary Log File");
}

}  // namespace bx
