// SPDX-License-Identifier: MIT
#include "app/report_command.h"

#include <filesystem>

#include "app/clearing.h"
#include "app/execute.h"
#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/result_display.h"
#include "app/startup.h"
#include "logs/log_file.h"
#include "reports/report_layout.h"
#include "reports/report_lines.h"
#include "reports/report_workbook.h"
#include "reports/run_record.h"
#include "reports/text_file.h"

namespace bx {
namespace {

constexpr const char* kCaption = "New Report File";
constexpr const char* kNameTitle = "Log File Selection";
constexpr const char* kNameMessage = "Incorrect Filename Chosen, Try again.";
constexpr const char* kFileErrorTitle = "Log File Status";
constexpr const char* kOtherErrorTitle = "File Status";
constexpr const char* kOpenFailedTitle = "Report";

void showReportError(MainWindow& w, const TableError& error) {
    if (error.isFileError()) {
        w.desktop().messageBox(kFileErrorTitle, fileIoErrorText(error), MessageIcon::Exclamation,
                               MessageButtons::Ok);
    } else {
        w.desktop().messageBox(kOtherErrorTitle, "Error!!!" + std::to_string(error.number),
                               MessageIcon::Exclamation, MessageButtons::Ok);
    }
}

}  // namespace

void CreateReport(MainWindow& w) {
    WindowState& ui = w.ui;
    if (!tablesUsable(w)) {
        return;
    }
    ui.fileDialogPurpose = kPurposeReport;
    showFileDialog(w, kCaption);
    if (ui.ChosenFileName == kUserCancelled) {
        return;
    }
    if (chosenNameIsEmpty(ui.ChosenFileName, ".csv")) {
        w.desktop().messageBox(kNameTitle, kNameMessage, MessageIcon::Exclamation,
                               MessageButtons::Ok);
        return;
    }
    ui.reportFolder = ui.ChosenFolder;
    if (ui.reportFolder.empty() || ui.reportFolder.back() != '/') {
        ui.reportFolder += '/';
    }
    const std::string reportPath = ui.reportFolder + ui.ChosenFileName;
    if (!confirmReplace(w, "Report", {reportPath, workbookPathFor(reportPath)})) {
        return;
    }
    removeLeftoverFiles(w, ui.ChosenFolder);

    if (!ChkEntry(w)) {
        return;
    }
    cmdExecute_Click(w);

    // Both files are written under temporary names and put in place together once both are
    // complete: a failure leaves neither (nor changes earlier ones).
    const std::vector<ReportLine> lines = buildReportLines(currentRun(w));
    PendingFile reportFile;
    if (TableError error = writeTextFileAside(reportPath, csvText(lines), reportFile)) {
        showReportError(w, error);
        return;
    }
    w.postStatus("*** Generating Report...");
    if (TableError error = InitReportDatabase(w)) {
        showReportError(w, error);
        return;
    }
    w.postStatus("*** Creating the Report");

    ReportWorkbook workbook;
    layOutReport(workbook);
    const std::string workbookPath = workbookPathFor(reportPath);
    const std::string sheetName = std::filesystem::path(reportPath).stem().string();
    PendingFile workbookFile;
    if (TableError error = workbook.saveAside(workbookPath, sheetName, lines, workbookFile)) {
        showReportError(w, error);
        return;
    }
    // Runs into one folder place their pairs in turn, so that a report and its workbook are
    // always of one run. Without the workbook the report is not made: its other half goes too,
    // unless it replaced an earlier report (which is then gone already).
    const bool replace = !ui.outputsMustBeNew;
    TableError placed;
    {
        const FolderTurn turn(ui.reportFolder);
        placed = reportFile.place(replace);
        if (!placed) {
            placed = workbookFile.place(replace);
            if (placed && !replace) {
                reportFile.withdraw();
            }
        }
    }
    if (placed) {
        showReportError(w, placed);
        return;
    }
    const bool opened = w.desktop().openExternally(workbookPath);
    if (!w.ui.onScreen) {
        if (!opened) {
            w.postStatus("     Report workbook saved as <" + workbookPath + ">.");
        }
    } else if (opened) {
        w.postStatus("     Report saved as <" + reportPath + "> and <" + workbookPath + ">.");
    } else {
        // Nothing shows the report: the user has to know where to find it.
        w.postStatus("     No program opened the report. It is saved as <" + reportPath +
                     "> and <" + workbookPath + ">.");
        w.desktop().messageBox(kOpenFailedTitle,
                               "No program could open the report workbook.\n\nThe report is "
                               "saved as\n" +
                                   reportPath + "\nand\n" + workbookPath,
                               MessageIcon::Information, MessageButtons::Ok);
    }
    w.postStatus("*** Report Complete.");
}

void mnuFileReport_Click(MainWindow& w) {
    CreateReport(w);
}

}  // namespace bx
