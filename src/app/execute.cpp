// SPDX-License-Identifier: MIT
#include "app/execute.h"

#include "app/entry_changes.h"
#include "app/log_commands.h"
#include "app/main_window.h"
#include "app/result_display.h"
#include "base/text_format.h"
#include "statistics/analyze.h"
#include "tables/stat_tables.h"

namespace bx {
namespace {

constexpr const char* kOverrideTitle = "Normality Override";
constexpr const char* kOverrideQuestion =
    "Data Failed Shapiro-Wilk test. Do you want to override this conclusion of non-normality?";

// The analysis of the checked entries. With the override option on, a failed normality test
// asks the user, unless the answer was given beforehand (a survey plan's), and the analysis
// runs on with the answer.
Comparison analyzeEntries(MainWindow& w, const EntryCheck& entries,
                          std::optional<bool> givenAnswer) {
    const bool ask = w.ui.NormalityPromptOn;
    Comparison result = analyze(entries.samples(), entries.options, w.tables(),
                                ask ? OverrideAnswer::Ask : OverrideAnswer::No);
    if (result.overrideQuestionDue) {
        const bool yes = givenAnswer ? *givenAnswer
                                     : w.desktop().messageBox(
                                           kOverrideTitle, kOverrideQuestion, MessageIcon::Question,
                                           MessageButtons::YesNo) == MessageAnswer::Yes;
        result = analyze(entries.samples(), entries.options, w.tables(),
                         yes ? OverrideAnswer::Yes : OverrideAnswer::No);
    }
    return result;
}

// Makes the Data cell of `row` in grid `gridIndex` the current cell and asks for the focus
// there, so that the user lands on the replicate a refusal names.
void selectDataCell(WindowState& ui, int gridIndex, int row) {
    Grid& grid = gridIndex == 2 ? ui.Grid2 : ui.Grid1;
    grid.setCurrent(row, Grid::kDataCol);
    ui.ActiveGrid = gridIndex;
    ui.CellFresh = true;
    ui.focus = gridIndex == 2 ? FocusTarget::Grid2 : FocusTarget::Grid1;
}

// The first empty Data cell of `grid` with a value below it (0 for none): the values below
// the gap would not count, while the user sees them in the grid.
int gapRow(const Grid& grid) {
    int empty = 0;
    for (int row = 1; row < Grid::kRows; ++row) {
        const bool blank = trimBlanks(grid.cell(row, Grid::kDataCol)).empty();
        if (blank && empty == 0) {
            empty = row;
        } else if (!blank && empty != 0) {
            return empty;
        }
    }
    return 0;
}

// The line that refuses entries with an empty cell above values (selecting that cell), or ""
// when neither grid has one.
std::string gapRefusal(WindowState& ui) {
    for (const int gridIndex : {1, 2}) {
        const int row = gapRow(gridIndex == 2 ? ui.Grid2 : ui.Grid1);
        if (row != 0) {
            selectDataCell(ui, gridIndex, row);
            return std::string(gridIndex == 2 ? "Reference" : "Test") + " Data row " +
                   std::to_string(row) +
                   " is empty; values below it would be ignored. Data NOT analysed.";
        }
    }
    return {};
}

}  // namespace

bool ChkEntry(MainWindow& w) {
    WindowState& ui = w.ui;
    AnalysisState& a = w.analysis;
    GridToArray(ui.Grid1, a.SampRaw);
    GridToArray(ui.Grid2, a.RefRaw);
    if (ui.onScreen) {
        std::string gap = gapRefusal(ui);
        if (!gap.empty()) {
            a.checked = EntryCheck{};
            a.checked.refusal = gap;
            a.checked.refusedSample = ui.ActiveGrid;
            a.checked.refusedRow = (ui.ActiveGrid == 2 ? ui.Grid2 : ui.Grid1).row();
            w.postStatus(gap);
            return false;
        }
    }

    EntryCheck check = checkEntries({a.SampRaw, a.RefRaw, ui.cbHypoAlt.text, ui.cbHypoNull.text,
                                     ui.cbAlphaLevel.text, ui.cbTransMethod.text, ui.OneSampleOn,
                                     ui.strictNumbers});
    if (check.transformationDefaulted) {
        ui.cbTransMethod.text = transformationCaption(Transformation::None);
    }
    if (check.refusal) {
        if (ui.onScreen && check.refusedSample != 0) {
            selectDataCell(ui, check.refusedSample, check.refusedRow);
        }
        a.checked = check;
        w.postStatus(*check.refusal);
        if (check.referenceIncomplete) {
            w.desktop().messageBox(kAppTitle, kReferenceIncompleteText, MessageIcon::Information,
                                   MessageButtons::Ok);
        }
        return false;
    }
    for (const std::string& line : check.warnings) {
        w.postStatus(line);
    }
    check.options.power = ui.mnuPowerCalculation.checked;
    const LeadingNumber difference = parseLeadingNumber(ui.txtDiff_levl.text);
    // The difference follows the replicates' number rules: "2,5" is not read as 2.
    if (check.options.power && ui.strictNumbers && !difference.wholeText &&
        !trimBlanks(ui.txtDiff_levl.text).empty()) {
        check.refusal = "Minimum Difference for Power Calculation: \"" + ui.txtDiff_levl.text +
                        "\" is not a number. Data NOT analysed.";
        check.refusalCode = EntryRefusal::NotANumber;
        a.checked = check;
        w.postStatus(*check.refusal);
        return false;
    }
    check.options.minimumDifference = difference.value;
    a.checked = std::move(check);
    return true;
}

void TransformEntries(MainWindow& w, bool showMessage) {
    if (!ChkEntry(w)) {
        return;
    }
    showTransformed(w, w.analysis.checked);
    noteTransformsShown(w.ui);
    if (showMessage) {
        w.postStatus("Transformation Complete");
    }
}

void mnuTransform_Click(MainWindow& w) {
    TransformEntries(w, true);
}

bool tablesUsable(MainWindow& w) {
    const std::string& problem = w.tables().installationProblem();
    if (problem.empty()) {
        return true;
    }
    w.postStatus("*** " + problem + ".");
    return false;
}

void cmdExecute_Click(MainWindow& w) {
    executeWithOverrideAnswer(w, std::nullopt);
}

void executeWithOverrideAnswer(MainWindow& w, std::optional<bool> overrideAnswer) {
    w.lastRunLogFailures.clear();
    if (!tablesUsable(w)) {
        return;
    }
    w.postStatus("*** Executing Stats ...");
    if (!ChkEntry(w)) {
        ClearResultDisplays(w);
        // Clearing moved the grids' cursors home: the replicate refused is selected again.
        const EntryCheck& refused = w.analysis.checked;
        if (w.ui.onScreen && refused.refusedSample != 0) {
            selectDataCell(w.ui, refused.refusedSample, refused.refusedRow);
        }
        w.postStatus("*** Stats complete.");
        return;
    }
    const EntryCheck& entries = w.analysis.checked;
    Comparison analysed = analyzeEntries(w, entries, overrideAnswer);
    // A comparison the analysis refused shows no results and is not logged; its note says why.
    if (analysed.refusal) {
        ClearResultDisplays(w);
        w.postStatus(analysed.refusal->text);
        w.analysis.result = std::move(analysed);
        w.postStatus("*** Stats complete.");
        return;
    }
    keepRun(w, std::move(analysed), entries.options);
    const Comparison& result = *w.analysis.result;
    showRun(w, result, entries.options);
    applyRunToOptions(w, result);
    noteResultsShown(w.ui);
    if (w.ui.detailedLogging || w.ui.summaryLogging) {
        WriteLogs(w);
    }
    w.postStatus("*** Stats complete.");
}

void mnuLoadExec_Click(MainWindow& w) {
    cmdExecute_Click(w);
}

}  // namespace bx
