#include "logs/detailed_log.h"

#include "app/main_window.h"
#include "datafiles/file_dialog.h"
#include "logs/log_file.h"
#include "logs/log_rows.h"

namespace bx {
namespace {

const LogKind kDetailLog{
    .templateName = "sslog.dbf",
    .dialogCaption = "New Detailed Log File",
    .dialogPurpose = kPurposeDetailLog,
    .beginCaption = "Begin Detailed Data Logging",
    .stopCaption = "STOP Detailed Logging to ",
    .logName = "Detailed Log File",
    .activeTitle = "Detail Log File Status",
    .numberInOtherError = true,
    .logging = &WindowState::detailedLogging,
    .fileName = &WindowState::detailedLogFileName,
    .folder = &WindowState::detailedLogFolder,
    .path = &WindowState::detailedLogPath,
    .otherLogFileName = &WindowState::summaryLogFileName,
    .menu = &WindowState::mnuLogDetail,
};

}  // namespace

void mnuLogDetail_Click(MainWindow& w) {
    toggleLog(w, kDetailLog);
}

void WriteDetailLog(MainWindow& w) {
    WindowState& ui = w.ui;
    w.postStatus("     Saving to Log File...");
    // The Balanced verdict is shown in the test panel as it is logged.
    ui.txtTstBalanced.text = w.analysis.Balanced ? "Yes" : "No ";
    appendLogRows(w, ui.detailedLogPath, detailLogRows(ui, w.analysis), "Log File");
}

}  // namespace bx
