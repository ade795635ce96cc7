// SPDX-License-Identifier: MIT
#include "app/log_commands.h"

#include <filesystem>

#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/result_display.h"
#include "app/startup.h"
#include "logs/log_file.h"
#include "logs/log_rows.h"
#include "reports/run_record.h"

namespace bx {
namespace {

// One log's texts and the window fields that hold its state.
struct LogKind {
    const char* templateName = "";   // the blank log in the program folder
    const char* dialogCaption = "";  // the file dialog's caption
    const char* dialogPurpose = "";  // which folder the dialog offers
    const char* beginCaption = "";   // the menu entry while the log is stopped
    const char* stopCaption = "";    // ...and its start while the log is active
    const char* logName = "";        // "Detailed Log File" / "Summary Log File"
    const char* activeTitle = "";    // title of the "Now Active." message
    const char* kindName = "";       // "detailed log" / "summary log"
    const char* otherTemplate = "";  // the other log's template
    const char* otherKindName = "";
    bool numberInOtherError = false;  // the table error number follows "Error!!!"
    LogFile MainWindow::*file = nullptr;
    bool WindowState::*logging = nullptr;
    std::string WindowState::*fileName = nullptr;
    std::string WindowState::*folder = nullptr;
    std::string WindowState::*path = nullptr;
    std::string WindowState::*otherLogFileName = nullptr;  // may not be chosen for this log
    MenuEntry WindowState::*menu = nullptr;
};

const LogKind kDetailLog{
    .templateName = "sslog.dbf",
    .dialogCaption = "New Detailed Log File",
    .dialogPurpose = kPurposeDetailLog,
    .beginCaption = "Begin Detailed Data Logging",
    .stopCaption = "STOP Detailed Logging to ",
    .logName = "Detailed Log File",
    .activeTitle = "Detail Log File Status",
    .kindName = "detailed log",
    .otherTemplate = "sslogsum.dbf",
    .otherKindName = "summary log",
    .numberInOtherError = true,
    .file = &MainWindow::detailedLog,
    .logging = &WindowState::detailedLogging,
    .fileName = &WindowState::detailedLogFileName,
    .folder = &WindowState::detailedLogFolder,
    .path = &WindowState::detailedLogPath,
    .otherLogFileName = &WindowState::summaryLogFileName,
    .menu = &WindowState::mnuLogDetail,
};

const LogKind kSummaryLog{
    .templateName = "sslogsum.dbf",
    .dialogCaption = "New Summary Log File Selection",
    .dialogPurpose = kPurposeSummaryLog,
    .beginCaption = "Begin Summary Log File",
    .stopCaption = "STOP Summary Data Logging to ",
    .logName = "Summary Log File",
    .activeTitle = "Summary Log File Status",
    .kindName = "summary log",
    .otherTemplate = "sslog.dbf",
    .otherKindName = "detailed log",
    .numberInOtherError = false,
    .file = &MainWindow::summaryLog,
    .logging = &WindowState::summaryLogging,
    .fileName = &WindowState::summaryLogFileName,
    .folder = &WindowState::summaryLogFolder,
    .path = &WindowState::summaryLogPath,
    .otherLogFileName = &WindowState::detailedLogFileName,
    .menu = &WindowState::mnuLogSummary,
};

// Why a log of `kind` may not begin on the existing file `path`, or "" when it may: a file
// that is neither empty nor a log of that kind is never replaced by a log.
std::string notALogProblem(MainWindow& w, const LogKind& kind, const std::string& path,
                           const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) || std::filesystem::file_size(path, ec) == 0) {
        return {};
    }
    if (hasLayoutOf(w.programFile(kind.templateName), path)) {
        return {};
    }
    const std::string what = hasLayoutOf(w.programFile("stat.dbf"), path) ? "a sample data file"
                             : hasLayoutOf(w.programFile(kind.otherTemplate), path)
                                 ? std::string("a ") + kind.otherKindName
                                 : "not a table of this program";
    return fileName + " is " + what + ", not a " + kind.kindName +
           ". Choose another name; the file is left as it is.";
}

// The Log menu entry of `kind`: stops the active log, or asks for a new file and starts it
// (begins it afresh, or with `share` adds runs to it as it is).
void toggleLog(MainWindow& w, const LogKind& kind, bool share = false) {
    WindowState& ui = w.ui;
    bool& logging = ui.*kind.logging;
    std::string& fileName = ui.*kind.fileName;
    std::string& path = ui.*kind.path;
    MenuEntry& menu = ui.*kind.menu;
    const std::string logName = kind.logName;

    if (logging) {
        logging = false;
        (w.*kind.file).stop();
        menu.caption = kind.beginCaption;
        w.postStatus(logName + " <" + fileName + "> closed.");
        fileName.clear();
        path.clear();
        return;
    }

    logging = true;
    ui.fileDialogPurpose = kind.dialogPurpose;
    showFileDialog(w, kind.dialogCaption);
    if (ui.ChosenFileName == kUserCancelled) {
        logging = false;
        return;
    }
    // The other log's file and the program's own tables are never a log's target.
    if (chosenNameIsEmpty(ui.ChosenFileName, ".dbf") ||
        ui.ChosenFileName == ui.*kind.otherLogFileName || isProgramTable(w, ui.ChosenPath)) {
        logging = false;
        w.desktop().messageBox("Log File Selection", "Incorrect Filename Chosen, Try again.",
                               MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    // On screen a log begun afresh replaces only an empty file or a log of its kind, and only
    // when the user agrees.
    if (!share && ui.onScreen) {
        const std::string problem = notALogProblem(w, kind, ui.ChosenPath, ui.ChosenFileName);
        if (!problem.empty()) {
            logging = false;
            w.desktop().messageBox("Log File Selection", problem, MessageIcon::Exclamation,
                                   MessageButtons::Ok);
            return;
        }
        if (!confirmReplace(w, "Log File Selection", {ui.ChosenPath})) {
            logging = false;
            return;
        }
    }
    fileName = ui.ChosenFileName;
    ui.*kind.folder = ui.ChosenFolder;
    path = ui.ChosenPath;

    removeLeftoverFiles(w, ui.ChosenFolder);
    LogFile& file = w.*kind.file;
    const std::string templatePath = w.programFile(kind.templateName);
    if (TableError error = share ? file.share(templatePath, ui.ChosenPath)
                                 : file.begin(templatePath, ui.ChosenPath, !ui.outputsMustBeNew)) {
        // Nothing is active: the flag goes down and the name is free for the other log.
        logging = false;
        fileName.clear();
        path.clear();
        if (error.isFileError()) {
            w.desktop().messageBox("Log File Status", fileIoErrorText(error),
                                   MessageIcon::Exclamation, MessageButtons::Ok);
            w.postStatus(logName + " NOT active.");
        } else {
            std::string text = "Error!!!";
            if (kind.numberInOtherError) {
                text += std::to_string(error.number);
            }
            w.desktop().messageBox("File Status", text, MessageIcon::Exclamation,
                                   MessageButtons::Ok);
        }
        return;
    }
    if (share) {
        w.postStatus(logName + " <" + ui.ChosenPath + "> now active: runs are added to it.");
    } else {
        w.desktop().messageBox(kind.activeTitle, logName + " <" + ui.ChosenPath + "> Now Active.",
                               MessageIcon::Information, MessageButtons::Ok);
        w.postStatus(logName + " <" + ui.ChosenPath + "> now active.");
    }
    menu.caption = kind.stopCaption + fileName;
}

// A run that `log` did not take: a status line, and the failure kept for the caller.
void noteLogFailure(MainWindow& w, const std::string& path, std::string_view logName,
                    const TableError& error) {
    LogWriteFailure failure{std::string(logName) + " <" + path + ">", error};
    w.postStatus(logWriteErrorLine(failure.log, error));
    w.lastRunLogFailures.push_back(std::move(failure));
}

// Lays out a run's rows in `log`; a value cut to its field posts a status line, and so does a
// failure (the log stays active). False when the log did not take the rows.
bool addToLog(MainWindow& w, LogFile& log, const std::string& path, const std::vector<LogRow>& rows,
              std::string_view logName) {
    const TableError error =
        log.add(rows, [&w](const FieldCut& cut) { w.postStatus(describeCut(cut)); });
    const std::string notes = log.takeNotes();
    for (std::size_t start = 0; start < notes.size();) {
        const std::size_t end = notes.find('\n', start);
        w.postStatus("     WARNING - " + notes.substr(start, end - start));
        start = end + 1;
    }
    if (error) {
        noteLogFailure(w, path, logName, error);
        return false;
    }
    return true;
}

}  // namespace

void mnuLogDetail_Click(MainWindow& w) {
    toggleLog(w, kDetailLog);
}

void mnuLogSummary_Click(MainWindow& w) {
    toggleLog(w, kSummaryLog);
}

void shareDetailLog(MainWindow& w) {
    if (!w.ui.detailedLogging) {
        toggleLog(w, kDetailLog, true);
    }
}

void shareSummaryLog(MainWindow& w) {
    if (!w.ui.summaryLogging) {
        toggleLog(w, kSummaryLog, true);
    }
}

void WriteLogs(MainWindow& w) {
    WindowState& ui = w.ui;
    const RunRecord run = currentRun(w);
    bool detailedTaken = true;
    if (ui.detailedLogging) {
        w.postStatus("     Saving to Log File...");
        // The Balanced verdict is shown in the test panel as it is logged.
        ui.txtTstBalanced.text = balancedText(run.result.balanced);
        detailedTaken =
            addToLog(w, w.detailedLog, ui.detailedLogPath, detailLogRows(run), "Log File");
    }
    if (ui.summaryLogging) {
        w.postStatus("     Saving to Summary Log File...");
        // The summary log holds only runs the detailed log holds too.
        if (!detailedTaken) {
            noteLogFailure(w, ui.summaryLogPath, "Summary Log File",
                           makeTableError(kErrPathFileAccess,
                                          "not written, since the detailed log did not take it"));
            w.summaryLog.discard();
        } else if (!addToLog(w, w.summaryLog, ui.summaryLogPath, {summaryLogRow(run)},
                             "Summary Log File") &&
                   ui.detailedLogging) {
            w.detailedLog.dropLastRun();
            noteLogFailure(w, ui.detailedLogPath, "Log File",
                           makeTableError(kErrPathFileAccess,
                                          "not written, since the summary log did not take it"));
        }
    }
    TableError detailedError;
    TableError summaryError;
    bool withdrawn = false;
    commitLogsTogether(w.detailedLog, w.summaryLog, detailedError, summaryError, withdrawn);
    if (detailedError) {
        noteLogFailure(w, ui.detailedLogPath, "Log File", detailedError);
        if (ui.summaryLogging && detailedTaken) {
            noteLogFailure(w, ui.summaryLogPath, "Summary Log File",
                           makeTableError(kErrPathFileAccess,
                                          "not written, since the detailed log did not take it"));
        }
    }
    if (summaryError) {
        noteLogFailure(w, ui.summaryLogPath, "Summary Log File", summaryError);
        if (withdrawn) {
            w.postStatus("     The run was taken back out of the Log File <" + ui.detailedLogPath +
                         ">, so that both logs hold the same runs.");
        }
    }
}

}  // namespace bx
