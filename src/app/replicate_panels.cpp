#include "app/replicate_panels.h"

#include <array>
#include <cmath>

#include "app/analysis_state.h"
#include "app/window_state.h"
#include "statistics/descriptive.h"

namespace bx {
namespace {

drawing::PlotSeries seriesFromColumn(const Grid& grid, int col, const char* label) {
    ValueArray columnValues;
    for (int row = 1; row <= kMaxReplicates; ++row) {
        columnValues[row] = grid.cell(row, col);
    }
    drawing::PlotSeries series;
    series.label = label;
    std::array<double, kMaxReplicates> numbers{};
    const int n = valuesOf(columnValues, numbers);
    for (int i = 0; i < n; ++i) {
        series.values.push_back(numbers[static_cast<std::size_t>(i)]);
    }
    if (n > 0) {
        const double mean = MeanOfValues(columnValues);
        if (std::isfinite(mean)) {
            series.mean = mean;
        }
    }
    return series;
}

}  // namespace

std::vector<drawing::PlotPanel> replicatePanels(const WindowState& ui,
                                                const AnalysisState& analysis) {
    drawing::PlotPanel entered;
    entered.title = "Data";
    entered.test = seriesFromColumn(ui.Grid1, Grid::kDataCol, "x1");
    entered.reference = seriesFromColumn(ui.Grid2, Grid::kDataCol, "x2");
    drawing::PlotPanel transformed;
    transformed.title = analysis.RankitUsed ? "Rankits" : "Transform";
    transformed.test = seriesFromColumn(ui.Grid1, Grid::kTransformCol, "x1");
    transformed.reference = seriesFromColumn(ui.Grid2, Grid::kTransformCol, "x2");
    transformed.faint = ui.transformsStale;
    return {entered, transformed};
}

}  // namespace bx
