#include "logs/detailed_log.h"

#include <filesystem>

#include "app/main_window.h"
#include "app/text_format.h"
#include "datafiles/file_dialog.h"
#include "logs/log_file.h"
#include "logs/log_rows.h"

namespace bx {
namespace {

constexpr const char* kTemplate = "sslog.dbf";
constexpr const char* kCaption = "New Detailed Log File";
constexpr const char* kBeginCaption = "Begin Detailed Data Logging";
constexpr const char* kStopCaption = "STOP Detailed Logging to ";

void startDetailLog(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.detailedLogging = true;
    ui.fileDialogPurpose = kPurposeDetailLog;
    showFileDialog(w, kCaption);
    if (ui.ChosenFileName == kUserCancelled) {
        ui.detailedLogging = false;
        return;
    }
    if (chosenNameIsEmpty(ui.ChosenFileName, ".dbf") ||
        ui.ChosenFileName == ui.summaryLogFileName || isProgramTable(w, ui.ChosenPath)) {
        ui.detailedLogging = false;
        w.desktop().messageBox("Log File Selection", "Incorrect Filename Chosen, Try again.",
                               MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    ui.detailedLogFileName = ui.ChosenFileName;
    ui.detailedLogFolder = ui.ChosenFolder;
    ui.detailedLogPath = ui.ChosenPath;

    if (TableError error = createLogFile(w, kTemplate, ui.ChosenFolder, ui.ChosenFileName)) {
        // Nothing is active: the flag goes down and the name is free for the summary log.
        ui.detailedLogging = false;
        ui.detailedLogFileName.clear();
        ui.detailedLogPath.clear();
        if (error.isFileError()) {
            w.desktop().messageBox("Log File Status", fileIoErrorText(error.number),
                                   MessageIcon::Exclamation, MessageButtons::Ok);
            w.postStatus("Detailed Log File NOT active.");
        } else {
            w.desktop().messageBox("File Status", "Error!!!" + std::to_string(error.number),
                                   MessageIcon::Exclamation, MessageButtons::Ok);
        }
        return;
    }
    w.desktop().messageBox("Detail Log File Status",
                           "Detailed Log File <" + ui.ChosenPath + "> Now Active.",
                           MessageIcon::Information, MessageButtons::Ok);
    w.postStatus("Detailed Log File <" + ui.ChosenPath + "> now active.");
    ui.mnuLogDetail.caption = kStopCaption + ui.detailedLogFileName;
}

void stopDetailLog(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.detailedLogging = false;
    ui.mnuLogDetail.caption = kBeginCaption;
    w.postStatus("Detailed Log File <" + ui.detailedLogFileName + "> closed.");
    ui.detailedLogFileName.clear();
    ui.detailedLogPath.clear();
}

}  // namespace

void mnuLogDetail_Click(MainWindow& w) {
    if (w.ui.detailedLogging) {
        stopDetailLog(w);
    } else {
        startDetailLog(w);
    }
}

void WriteDetailLog(MainWindow& w) {
    WindowState& ui = w.ui;
    w.postStatus("     Saving to Log File...");
    // The Balanced verdict is shown in the test panel as it is logged.
    ui.txtTstBalanced.text = w.analysis.Balanced ? "Yes" : "No ";
    const std::vector<LogRow> rows = detailLogRows(ui, w.analysis);

    const std::filesystem::path path(ui.detailedLogPath);
    DbfTable table;
    TableError error =
        openLogForRun(w, table, path.parent_path().string(), path.filename().string());
    for (const LogRow& row : rows) {
        if (error) {
            break;
        }
        error = table.addNew();
        for (const auto& [field, value] : row) {
            if (error) {
                break;
            }
            error = table.writeField(field, value);
        }
        if (!error) {
            error = table.store();
        }
    }
    if (error) {
        w.postStatus(logWriteErrorLine("Log File <" + ui.detailedLogPath + ">", error));
    }
}

}  // namespace bx
