#include "app/survey_comparison.h"

#include "app/clearing.h"
#include "app/entry_changes.h"
#include "app/execute.h"
#include "app/main_window.h"
#include "app/options.h"
#include "entry/grid.h"

namespace bx {
namespace {

void putValues(Grid& grid, const std::vector<std::string>& values) {
    int row = 1;
    for (const std::string& text : values) {
        if (row >= Grid::kRows) {
            break;
        }
        grid.setCell(row++, Grid::kDataCol, text);
    }
}

}  // namespace

bool openSurveyComparison(MainWindow& w, const SurveySample& test, const SurveySample& reference,
                          const ComparisonSettings& settings, const std::string& project) {
    if (!confirmDiscard(w, EntryPart::All, "Open Comparison",
                        "The entries were changed since they were last saved. Replace them with "
                        "the survey's comparison anyway?")) {
        return false;
    }
    mnuClearAll_Click(w);
    w.ui.txtProjectName.text = project;
    w.ui.txtSampId.text = test.id;
    w.ui.txtRefId.text = reference.id;
    putValues(w.ui.Grid1, test.values);
    putValues(w.ui.Grid2, reference.values);
    pickHypoAlt(w, std::string(alternativeCaption(settings.alternative)));
    w.ui.cbAlphaLevel.text = settings.alpha;
    w.ui.cbTransMethod.text = std::string(transformationCaption(settings.transformation));
    if (w.ui.NormalityPromptOn != settings.overrideAnswer.has_value()) {
        mnuNormalPrompt_Click(w);
    }
    if (w.ui.PowerCalcOn != settings.powerDifference.has_value()) {
        mnuPowerCalculation_Click(w);
    }
    if (w.ui.OneSampleOn != settings.oneSample) {
        mnuOneSampleTTest_Click(w);
    }
    if (settings.powerDifference) {
        w.ui.txtDiff_levl.text = *settings.powerDifference;
    }
    w.ui.savedEntries = sampleEntries(w.ui);
    // The plan's override answer stands for the question, as it does in the batch.
    executeWithOverrideAnswer(w, settings.overrideAnswer);
    return true;
}

}  // namespace bx
