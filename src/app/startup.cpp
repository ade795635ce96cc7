#include "app/startup.h"

#include <filesystem>
#include <string>

#include "app/main_window.h"
#include "base/text_format.h"
#include "base/version.h"
#include "entry/grid.h"

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

void Form_Load(MainWindow& w) {
    WindowState& ui = w.ui;
    std::error_code ec;
    if (!ui.scratchFolder.empty() && !fs::is_directory(ui.scratchFolder, ec)) {
        fs::create_directories(ui.scratchFolder, ec);
    }

    ui.detailedLogFolder = workingFolder(ui, "detailed logs");
    ui.summaryLogFolder = workingFolder(ui, "summary logs");
    ui.saveFolder = workingFolder(ui, "save");
    ui.loadFolder = workingFolder(ui, "load");
    ui.reportFolder = workingFolder(ui, "reports");
    if (ui.reportFolder.empty() || ui.reportFolder.back() != '/') {
        ui.reportFolder += '/';
    }

    ui.fileDialogPurpose = "save";

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
