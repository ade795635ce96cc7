#include "cli/analysis_options.h"

#include "app/main_window.h"
#include "app/options.h"
#include "entry/grid.h"

namespace bx::cli {

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

}  // namespace bx::cli
