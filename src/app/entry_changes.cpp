// SPDX-License-Identifier: MIT
#include "app/entry_changes.h"

#include <algorithm>
#include <vector>

#include "app/main_window.h"

namespace bx {
namespace {

std::array<std::string, kMaxReplicates> dataColumn(const Grid& grid) {
    std::array<std::string, kMaxReplicates> texts{};
    for (int row = 1; row <= kMaxReplicates; ++row) {
        texts.at(static_cast<std::size_t>(row - 1)) = grid.cell(row, Grid::kDataCol);
    }
    return texts;
}

// The texts of one part of the entries, in a fixed order.
std::vector<std::string> partTexts(const SampleEntries& e, EntryPart part) {
    std::vector<std::string> texts;
    if (part == EntryPart::All) {
        texts.push_back(e.project);
    }
    if (part != EntryPart::Reference) {
        texts.push_back(e.sampleId);
        texts.push_back(e.sampleAlias);
        texts.insert(texts.end(), e.test.begin(), e.test.end());
    }
    if (part != EntryPart::Test) {
        texts.push_back(e.referenceId);
        texts.push_back(e.referenceAlias);
        texts.insert(texts.end(), e.reference.begin(), e.reference.end());
    }
    return texts;
}

// The Transform columns depend on the Data columns and the transformation only.
bool sameTransformInputs(const RunInputs& a, const RunInputs& b) {
    return a.test == b.test && a.reference == b.reference && a.transformation == b.transformation;
}

// A transformation other than none is chosen in the list.
bool transformationChosen(const OptionList& list) {
    return std::find(list.entries.begin() + 1, list.entries.end(), list.text) != list.entries.end();
}

}  // namespace

SampleEntries sampleEntries(const WindowState& ui) {
    SampleEntries e;
    e.project = ui.txtProjectName.text;
    e.sampleId = ui.txtSampId.text;
    e.sampleAlias = ui.txtSampAlias.text;
    e.referenceId = ui.txtRefId.text;
    e.referenceAlias = ui.txtRefAlias.text;
    e.test = dataColumn(ui.Grid1);
    e.reference = dataColumn(ui.Grid2);
    return e;
}

RunInputs runInputs(const WindowState& ui) {
    RunInputs r;
    r.test = dataColumn(ui.Grid1);
    r.reference = dataColumn(ui.Grid2);
    r.alternative = ui.cbHypoAlt.text;
    r.nullHypothesis = ui.cbHypoNull.text;
    r.alpha = ui.cbAlphaLevel.text;
    // An empty list runs as "No Transformation" (the rankits leave it empty).
    r.transformation =
        ui.cbTransMethod.text.empty() ? ui.cbTransMethod.entries.front() : ui.cbTransMethod.text;
    r.minimumDifference = ui.txtDiff_levl.text;
    r.normalityPrompt = ui.NormalityPromptOn;
    r.power = ui.PowerCalcOn;
    r.oneSample = ui.OneSampleOn;
    return r;
}

void noteResultsShown(WindowState& ui) {
    ui.resultInputs = runInputs(ui);
    ui.resultsStale = false;
    noteTransformsShown(ui);
}

void noteTransformsShown(WindowState& ui) {
    ui.transformInputs = runInputs(ui);
    ui.transformsStale = false;
}

void noteResultsBlank(WindowState& ui) {
    ui.resultInputs.reset();
    ui.transformInputs.reset();
    ui.resultsStale = false;
    ui.transformsStale = false;
}

void noteEntriesSaved(WindowState& ui, const std::string& path) {
    ui.sampleFilePath = path;
    ui.savedEntries = sampleEntries(ui);
}

void afterUserAction(MainWindow& w) {
    WindowState& ui = w.ui;
    const RunInputs now = runInputs(ui);
    if (ui.transformInputs && !ui.transformsStale &&
        !sameTransformInputs(*ui.transformInputs, now)) {
        ui.transformsStale = true;
    }
    if (ui.resultInputs && !ui.resultsStale && *ui.resultInputs != now) {
        ui.resultsStale = true;
        w.postStatus(kStaleResultsLine);
    }
    ui.lblDiff_levl.caption =
        transformationChosen(ui.cbTransMethod) ? kDifferenceCaptionTransformed : kDifferenceCaption;
}

bool hasUnsavedEntries(const WindowState& ui, EntryPart part) {
    const std::vector<std::string> now = partTexts(sampleEntries(ui), part);
    const bool holdsSomething =
        std::any_of(now.begin(), now.end(), [](const std::string& t) { return !t.empty(); });
    return holdsSomething && now != partTexts(ui.savedEntries, part);
}

bool confirmDiscard(MainWindow& w, EntryPart part, const std::string& title,
                    const std::string& question) {
    if (!w.ui.askBeforeDiscarding || !hasUnsavedEntries(w.ui, part)) {
        return true;
    }
    const Confirmation answer = w.desktop().confirm(title, question);
    // "Don't ask again" counts with Yes only: with No nothing was thrown away, and a later
    // Clear must not go ahead unasked on the strength of it.
    if (answer.yes && answer.dontAskAgain) {
        w.ui.askBeforeDiscarding = false;
    }
    return answer.yes;
}

}  // namespace bx
