// SPDX-License-Identifier: MIT
#include "cli/analysis_options.h"

#include "app/main_window.h"
#include "app/options.h"
#include "entry/grid.h"

namespace bx::cli {

OptionChoices choicesOf(const AnalysisOptions& options) {
    const WindowState fresh;
    OptionChoices c;
    c.alternative = options.alternative.value_or(fresh.cbHypoAlt.text);
    c.nullHypothesis = options.alternative ? std::string(c.alternative == fresh.cbHypoAlt.entries[0]
                                                             ? fresh.cbHypoNull.entries[0]
                                                             : fresh.cbHypoNull.entries[1])
                                           : fresh.cbHypoNull.text;
    c.alpha = options.alpha.value_or(fresh.cbAlphaLevel.text);
    c.transformation = options.transform.value_or(fresh.cbTransMethod.text);
    c.normalityPrompt = options.overrideAnswer.has_value();
    c.overrideYes = options.overrideAnswer.value_or(false);
    c.power = options.powerDifference.has_value();
    c.minimumDifference = options.powerDifference.value_or(fresh.txtDiff_levl.text);
    c.oneSample = options.oneSample;
    return c;
}

void applyOptions(MainWindow& w, const AnalysisOptions& options) {
    if (options.alternative) {
        pickHypoAlt(w, *options.alternative);
    }
    if (options.alpha) {
        w.ui.cbAlphaLevel.text = *options.alpha;
    }
    if (options.transform) {
        w.ui.cbTransMethod.text = *options.transform;
    }
    if (options.overrideAnswer) {
        mnuNormalPrompt_Click(w);
    }
    if (options.powerDifference) {
        mnuPowerCalculation_Click(w);
    }
    if (options.oneSample) {
        mnuOneSampleTTest_Click(w);
    }
    if (options.powerDifference) {
        w.ui.txtDiff_levl.text = *options.powerDifference;
    }
}

void putEntries(Grid& grid, const std::vector<std::string>& texts) {
    int row = 1;
    for (const std::string& text : texts) {
        if (row >= Grid::kRows) {
            break;
        }
        grid.setCell(row, Grid::kDataCol, text);
        ++row;
    }
}

std::vector<std::string> splitCellTexts(const std::string& list) {
    std::vector<std::string> texts;
    if (list.empty()) {
        return texts;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        texts.push_back(list.substr(start, comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return texts;
}

ComparisonSettings settingsOf(const AnalysisOptions& options, const std::string& reference) {
    ComparisonSettings s;
    s.reference = reference;
    if (options.alternative) {
        s.alternative = alternativeNamed(*options.alternative).value_or(Alternative::Less);
    }
    if (options.alpha) {
        s.alpha = *options.alpha;
    }
    if (options.transform) {
        s.transformation = transformationNamed(*options.transform).value_or(Transformation::None);
    }
    s.powerDifference = options.powerDifference;
    s.overrideAnswer = options.overrideAnswer;
    s.oneSample = options.oneSample;
    return s;
}

}  // namespace bx::cli
