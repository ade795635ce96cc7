// SPDX-License-Identifier: MIT
#include "app/clearing.h"

#include "app/entry_changes.h"
#include "app/main_window.h"
#include "app/result_display.h"
#include "reports/report_database.h"

namespace bx {

TableError InitReportDatabase(MainWindow& w) {
    w.postStatus("     Initializing Report Database...");
    // An installed program keeps its report table in the per-user data folder, never beside
    // its shared tables; a build tree keeps it in the program folder.
    if (!w.ui.dataFolder.empty()) {
        return initReportDatabase(w.ui.programFolder, w.ui.dataFolder, w.ui.scratchFolder);
    }
    return initReportDatabase(w.ui.programFolder, w.ui.scratchFolder);
}

void cmdClearSamp_Click(MainWindow& w) {
    w.ui.txtSampId.text.clear();
    w.ui.txtSampAlias.text.clear();
    ClearGrid(w.ui.Grid1);
}

void cmdClearRef_Click(MainWindow& w) {
    w.ui.txtRefId.text.clear();
    w.ui.txtRefAlias.text.clear();
    ClearGrid(w.ui.Grid2);
}

void mnuClearAll_Click(MainWindow& w) {
    WindowState& ui = w.ui;
    for (Field* f :
         {&ui.txtSampId, &ui.txtSampAlias, &ui.txtRefId, &ui.txtRefAlias, &ui.txtProjectName}) {
        f->text.clear();
    }
    ClearGrid(ui.Grid1);
    ClearGrid(ui.Grid2);
    BlankResultFields(ui);
    EnableTestPanels(w);
    noteResultsBlank(ui);
    // Empty entries belong to no sample data file and have nothing to lose.
    noteEntriesSaved(ui, "");

    const TableError error = InitReportDatabase(w);

    ui.Status.clear();
    w.postStatus("Values Reset/Cleared");
    if (error) {
        // The re-creation failed: say so rather than lose the reason with the status list.
        w.postStatus(withCause(
            "     Report Database NOT initialized: error " + std::to_string(error.number) +
                (error.description.empty() ? "" : " (" + error.description + ")"),
            error));
    }
    ui.focus = FocusTarget::ProjectName;
}

void requestClearSamp(MainWindow& w) {
    if (confirmDiscard(w, EntryPart::Test, "Clear Test Data",
                       "The test data were changed since they were last saved. Clear them "
                       "anyway?")) {
        cmdClearSamp_Click(w);
    }
}

void requestClearRef(MainWindow& w) {
    if (confirmDiscard(w, EntryPart::Reference, "Clear Reference Data",
                       "The reference data were changed since they were last saved. Clear them "
                       "anyway?")) {
        cmdClearRef_Click(w);
    }
}

void requestClearAll(MainWindow& w) {
    if (confirmDiscard(w, EntryPart::All, "Clear All",
                       "The entries were changed since they were last saved. Clear them "
                       "anyway?")) {
        mnuClearAll_Click(w);
    }
}

bool requestExit(MainWindow& w) {
    return confirmDiscard(w, EntryPart::All, "Exit",
                          "The entries were changed since they were last saved. Exit anyway?");
}

}  // namespace bx
