// SPDX-License-Identifier: MIT
#include "app/sample_commands.h"

#include "app/clearing.h"
#include "app/entry_changes.h"
#include "app/execute.h"
#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/result_display.h"
#include "app/startup.h"
#include "datafiles/sample_file.h"

namespace bx {
namespace {

constexpr const char* kTemplate = "stat.dbf";
constexpr const char* kSaveTitle = "Save as File Selection";
constexpr const char* kNotLoaded = "*** Data NOT Loaded!";

}  // namespace

void mnuSaveAs_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.fileDialogPurpose = kPurposeSave;
    showFileDialog(w, "Save As...");
    if (ui.ChosenFileName == kUserCancelled) {
        return;
    }
    if (chosenNameIsEmpty(ui.ChosenFileName, ".dbf")) {
        w.desktop().messageBox(kSaveTitle, "No file selected...", MessageIcon::Exclamation,
                               MessageButtons::Ok);
        return;
    }
    ui.currentSampleFileName = ui.ChosenFileName;
    ui.saveFolder = ui.ChosenFolder;
    if (isProgramTable(w, ui.ChosenPath)) {
        w.desktop().messageBox(kSaveTitle, "File already Selected!", MessageIcon::Exclamation,
                               MessageButtons::Ok);
        return;
    }
    if (!confirmReplace(w, kSaveTitle, {ui.ChosenPath})) {
        w.postStatus("Save of Sample Data to <" + ui.ChosenPath + "> cancelled: the file is kept.");
        return;
    }

    AnalysisState& a = w.analysis;
    GridToArray(ui.Grid1, a.SampRaw);
    GridToArray(ui.Grid2, a.RefRaw);
    TransformEntries(w, false);

    const SampleData data{ui.txtProjectName.text,
                          ui.txtSampId.text,
                          ui.txtSampAlias.text,
                          ui.txtRefId.text,
                          ui.txtRefAlias.text,
                          a.SampRaw,
                          a.SampTrans,
                          a.RefRaw,
                          a.RefTrans};
    removeLeftoverFiles(w, ui.ChosenFolder);
    if (TableError error = writeSampleFile(
            w.programFile(kTemplate), ui.ChosenFolder, ui.ChosenFileName, data,
            [&w](const FieldCut& cut) { w.postStatus(describeCut(cut)); }, !ui.outputsMustBeNew)) {
        w.postStatus("*** Save of Sample Data to <" + ui.ChosenPath +
                     "> FAILED: " + errorDetail(error));
        return;
    }
    noteEntriesSaved(ui, ui.ChosenPath);
    w.postStatus("Save of Sample Data to <" + ui.ChosenPath + "> complete.");
}

void mnuLoadFrom_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.dataErrorFlag = false;
    ui.fileDialogPurpose = kPurposeLoad;
    showFileDialog(w, "Load From...");
    if (ui.ChosenFileName == kUserCancelled || chosenNameIsEmpty(ui.ChosenFileName, ".dbf")) {
        return;
    }
    loadSampleFile(w, ui.ChosenFolder, ui.ChosenFileName);
}

void loadSampleFile(MainWindow& w, const std::string& folder, const std::string& fileName) {
    WindowState& ui = w.ui;
    ui.dataErrorFlag = false;
    ui.currentSampleFileName = fileName;
    ui.loadFolder = folder;

    SampleFileRead read = readSampleFile(folder, fileName);
    if (read.accessError) {
        w.desktop().messageBox(
            "",
            withCause("Data error event hit err:" + read.accessError->description,
                      *read.accessError),
            MessageIcon::None, MessageButtons::Ok);
        w.postStatus(kNotLoaded);
        return;
    }
    if (read.invalidFile) {
        w.desktop().messageBox("ERROR", "Invalid Data File Selected! " + read.problem,
                               MessageIcon::Critical, MessageButtons::Ok);
        ui.dataErrorFlag = true;
        w.postStatus(std::string(kNotLoaded) + " " + read.problem);
        return;
    }
    if (!read.data) {
        w.postStatus(read.problem);
        return;
    }

    mnuClearAll_Click(w);
    SampleData& data = *read.data;
    ui.txtSampId.text = data.sampleId;
    ui.txtSampAlias.text = data.sampleAlias;
    ui.txtRefId.text = data.referenceId;
    ui.txtRefAlias.text = data.referenceAlias;
    ui.txtProjectName.text = data.project;
    AnalysisState& a = w.analysis;
    a.SampRaw = std::move(data.sampRaw);
    a.SampTrans = std::move(data.sampTrans);
    a.RefRaw = std::move(data.refRaw);
    a.RefTrans = std::move(data.refTrans);
    ArrayToGrid(ui.Grid1, a.SampRaw, a.SampTrans);
    ArrayToGrid(ui.Grid2, a.RefRaw, a.RefTrans);
    if (ui.onScreen) {
        // The command-line tool keeps the file's numbers as they were always shown.
        showLoadedTransforms(w);
    }
    noteEntriesSaved(ui, joinPath(folder, fileName));
    noteTransformsShown(ui);
    w.postStatus("Data Entry Loaded from file <" + joinPath(folder, fileName) + ">.");
    for (const std::string& warning : read.warnings) {
        w.postStatus("     WARNING - " + warning);
        w.desktop().messageBox("Load From", warning, MessageIcon::Exclamation, MessageButtons::Ok);
    }
}

}  // namespace bx
