// SPDX-License-Identifier: MIT
#include "app/execute.h"

#include <algorithm>

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
// asks the user, and the analysis runs on with the answer.
Comparison analyzeEntries(MainWindow& w, const EntryCheck& entries) {
    const bool ask = w.ui.NormalityPromptOn;
    Comparison result = analyze(entries.samples(), entries.options, w.tables(),
                                ask ? OverrideAnswer::Ask : OverrideAnswer::No);
    if (result.overrideQuestionDue) {
        const bool yes =
            w.desktop().messageBox(kOverrideTitle, kOverrideQuestion, MessageIcon::Question,
                                   MessageButtons::YesNo) == MessageAnswer::Yes;
        result = analyze(entries.samples(), entries.options, w.tables(),
                         yes ? OverrideAnswer::Yes : OverrideAnswer::No);
    }
    return result;
}

// The arcsine transformation reads percentages: values that are all fractions of one were most
// likely entered as proportions.
bool arcSinOfFractions(const EntryCheck& entries) {
    if (entries.options.transformation != Transformation::ArcSine) {
        return false;
    }
    const auto fraction = [](double v) { return v >= 0.0 && v <= 1.0; };
    const auto test = entries.test.begin();
    const auto reference = entries.reference.begin();
    return std::all_of(test, test + entries.testCount, fraction) &&
           std::all_of(reference, reference + entries.referenceCount, fraction);
}

}  // namespace

bool ChkEntry(MainWindow& w) {
    WindowState& ui = w.ui;
    AnalysisState& a = w.analysis;
    GridToArray(ui.Grid1, a.SampRaw);
    GridToArray(ui.Grid2, a.RefRaw);

    EntryCheck check = checkEntries({a.SampRaw, a.RefRaw, ui.cbHypoAlt.text, ui.cbHypoNull.text,
                                     ui.cbAlphaLevel.text, ui.cbTransMethod.text, ui.OneSampleOn,
                                     ui.strictNumbers});
    if (check.transformationDefaulted) {
        ui.cbTransMethod.text = transformationCaption(Transformation::None);
    }
    if (check.refusal) {
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
    check.options.minimumDifference = leadingNumber(ui.txtDiff_levl.text);
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
    w.lastRunLogFailures.clear();
    if (!tablesUsable(w)) {
        return;
    }
    w.postStatus("*** Executing Stats ...");
    if (!ChkEntry(w)) {
        ClearResultDisplays(w);
        w.postStatus("*** Stats complete.");
        return;
    }
    const EntryCheck& entries = w.analysis.checked;
    if (w.ui.onScreen && arcSinOfFractions(entries)) {
        w.postStatus(kArcSinFractionsLine);
    }
    Comparison analysed = analyzeEntries(w, entries);
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
    if (w.ui.detailedLogging) {
        WriteDetailLog(w);
    }
    if (w.ui.summaryLogging) {
        WriteSummaryLog(w);
    }
    w.postStatus("*** Stats complete.");
}

void mnuLoadExec_Click(MainWindow& w) {
    cmdExecute_Click(w);
}

}  // namespace bx
