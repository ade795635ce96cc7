// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include <filesystem>
#include <string>

#include "app/main_window.h"
#include "base/text_format.h"
#include "base/version.h"
#include "entry/grid.h"
#include "tables/stat_tables.h"
#include "tables/temp_files.h"

namespace bx {
namespace {

namespace fs = std::filesystem;

// A working folder under the program folder, or the scratch folder when it is missing.
std::string workingFolder(const WindowState& ui, const char* name) {
    std::error_code ec;
    const std::string candidate = joinPath(ui.programFolder, name);
    return fs::is_directory(candidate, ec) ? candidate : ui.scratchFolder;
}

void layOutGrid(Grid& grid) {
    grid.setCell(0, 0, "Rep");
    grid.setCell(0, 1, "Data");
    grid.setCell(0, 2, "Transform");
    for (int row = 1; row < Grid::kRows; ++row) {
        grid.setCell(row, 0, "   " + numberToTextSigned(row));
    }
    grid.setCurrent(1, Grid::kDataCol);
}

}  // namespace

void removeLeftoverFiles(MainWindow& w, const std::string& folder) {
    if (!folder.empty() && w.tidiedFolders.insert(folder).second) {
        removeStaleTemporaryFiles(folder);
    }
}

void Form_Load(MainWindow& w) {
    WindowState& ui = w.ui;
    // The scratch folder is made when something is first written there (a file dialog starting
    // in it, the report table when its own folder cannot be written), never at start-up.
    ui.detailedLogFolder = workingFolder(ui, "detailed logs");
    ui.summaryLogFolder = workingFolder(ui, "summary logs");
    ui.saveFolder = workingFolder(ui, "save");
    ui.loadFolder = workingFolder(ui, "load");
    ui.reportFolder = workingFolder(ui, "reports");
    if (ui.reportFolder.empty() || ui.reportFolder.back() != '/') {
        ui.reportFolder += '/';
    }

    ui.fileDialogPurpose = "save";

    // The folders the program writes to by itself (the report table's among them).
    for (const std::string* folder :
         {&ui.programFolder, &ui.dataFolder, &ui.scratchFolder, &ui.detailedLogFolder,
          &ui.summaryLogFolder, &ui.saveFolder, &ui.reportFolder}) {
        removeLeftoverFiles(w, *folder);
    }

    layOutGrid(ui.Grid1);
    layOutGrid(ui.Grid2);

    w.analysis.SampRaw = ValueArray::zeros();
    w.analysis.RefRaw = ValueArray::zeros();
    w.analysis.SampTrans = ValueArray::zeros();
    w.analysis.RefTrans = ValueArray::zeros();

    for (OptionList* list : {&ui.cbHypoNull, &ui.cbHypoAlt, &ui.cbTransMethod, &ui.cbAlphaLevel}) {
        list->selStart = 0;
        list->selLength = 0;
    }

    ui.currentSampleFileName = "stat1.dbf";

    ui.imgWtestPassFail = Picture::Question;
    ui.imgSced = Picture::Question;
    ui.imgTestPassFail = Picture::Question;

    ui.detailedLogging = false;
    ui.CellFresh = true;
    ui.dataErrorFlag = false;
    ui.NormalityPromptOn = false;
    ui.OneSampleOn = false;
    ui.PowerCalcOn = false;
    ui.mnuNormalPrompt.checked = false;
    ui.mnuOneSampleTTest.checked = false;
    ui.mnuPowerCalculation.checked = false;

    // The override field appears with its option only.
    ui.lblOverride.enabled = false;
    ui.txtOverride.visible = false;

    // The power fields are hidden until the power option is switched on.
    ui.Frame13.visible = false;
    ui.txtTstPower.visible = false;
    ui.lblTstPower.enabled = false;

    w.analysis.RankitUsed = false;

    // Stand-ins for a missing or altered table would give verdicts that look valid.
    const std::string& problem = w.tables().installationProblem();
    ui.cmdExecuteEnabled = problem.empty();
    ui.mnuFileReportEnabled = problem.empty();
    if (!problem.empty()) {
        w.postStatus("*** " + problem + ".");
        w.desktop().messageBox(kTablesTitle, problem + ".", MessageIcon::Critical,
                               MessageButtons::Ok);
    }
}

void mnuHelpVersion_Click(MainWindow& w) {
    w.desktop().messageBox("Version Number",
                           std::string("Benthix Version: ") + kVersion + " (" + kReleaseDate + ")",
                           MessageIcon::Information, MessageButtons::Ok);
}

void mnuHelpAbout_Click(MainWindow& w) {
    w.desktop().showAbout();
}

}  // namespace bx
