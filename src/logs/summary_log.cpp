#include "logs/summary_log.h"

#include <filesystem>

#include "app/main_window.h"
#include "datafiles/file_dialog.h"
#include "logs/log_file.h"
#include "logs/log_rows.h"

namespace bx {
namespace {

constexpr const char* kTemplate = "sslogsum.dbf";
constexpr const char* kCaption = "New Summary Log File Selection";
constexpr const char* kBeginCaption = "Begin Summary Log File";
constexpr const char* kStopCaption = "STOP Summary Data Logging to ";

void startSummaryLog(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.summaryLogging = true;
    ui.fileDialogPurpose = kPurposeSummaryLog;
    showFileDialog(w, kCaption);
    if (ui.ChosenFileName == kUserCancelled) {
        ui.summaryLogging = false;
        return;
    }
    if (chosenNameIsEmpty(ui.ChosenFileName, ".dbf") ||
        ui.ChosenFileName == ui.detailedLogFileName || isProgramTable(w, ui.ChosenPath)) {
        ui.summaryLogging = false;
        w.desktop().messageBox("Log File Selection", "Incorrect Filename Chosen, Try again.",
                               MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    ui.summaryLogFileName = ui.ChosenFileName;
    ui.summaryLogFolder = ui.ChosenFolder;
    ui.summaryLogPath = ui.ChosenPath;

    if (TableError error = createLogFile(w, kTemplate, ui.ChosenFolder, ui.ChosenFileName)) {
        ui.summaryLogging = false;
        ui.summaryLogFileName.clear();
        ui.summaryLogPath.clear();
        if (error.isFileError()) {
            w.desktop().messageBox("Log File Status", fileIoErrorText(error.number),
                                   MessageIcon::Exclamation, MessageButtons::Ok);
            w.postStatus("Summary Log File NOT active.");
        } else {
            w.desktop().messageBox("File Status", "Error!!!", MessageIcon::Exclamation,
                                   MessageButtons::Ok);
        }
        return;
    }
    w.desktop().messageBox("Summary Log File Status",
                           "Summary Log File <" + ui.ChosenPath + "> Now Active.",
                           MessageIcon::Information, MessageButtons::Ok);
    w.postStatus("Summary Log File <" + ui.ChosenPath + "> now active.");
    ui.mnuLogSummary.caption = kStopCaption + ui.summaryLogFileName;
}

void stopSummaryLog(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.summaryLogging = false;
    ui.mnuLogSummary.caption = kBeginCaption;
    w.postStatus("Summary Log File <" + ui.summaryLogFileName + "> closed.");
    ui.summaryLogFileName.clear();
    ui.summaryLogPath.clear();
}

}  // namespace

void mnuLogSummary_Click(MainWindow& w) {
    if (w.ui.summaryLogging) {
        stopSummaryLog(w);
    } else {
        startSummaryLog(w);
    }
}

void WriteSummaryLog(MainWindow& w) {
    WindowState& ui = w.ui;
    w.postStatus("     Saving to Summary Log File...");
    const LogRow row = summaryLogRow(ui);

    const std::filesystem::path path(ui.summaryLogPath);
    DbfTable table;
    TableError error =
        openLogForRun(w, table, path.parent_path().string(), path.filename().string());
    if (!error) {
        error = table.addNew();
    }
    for (const auto& [field, value] : row) {
        if (error) {
            break;
        }
        error = table.writeField(field, value);
    }
    if (!error) {
        error = table.store();
    }
    if (error) {
        w.postStatus(logWriteErrorLine("Summary Log File <" + ui.summaryLogPath + ">", error));
    }
}

}  // namespace bx
