// SPDX-License-Identifier: MIT
#include "gui/replicate_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "app/analysis_state.h"
#include "app/window_state.h"
#include "base/text_format.h"
#include "statistics/descriptive.h"

namespace bx::gui {
namespace {

const QColor kTestColour(200, 90, 20);
const QColor kReferenceColour(30, 100, 180);

PlotSeries seriesFromColumn(const Grid& grid, int col) {
    ValueArray columnValues;
    for (int row = 1; row <= kMaxReplicates; ++row) {
        columnValues[row] = grid.cell(row, col);
    }
    PlotSeries series;
    std::array<double, kMaxReplicates> numbers{};
    const int n = valuesOf(columnValues, numbers);
    for (int i = 0; i < n; ++i) {
        series.values.push_back(numbers[static_cast<std::size_t>(i)]);
    }
    if (n > 0) {
        series.mean = MeanOfValues(columnValues);
        series.hasMean = std::isfinite(series.mean);
    }
    return series;
}

// The value range of a group, widened a little so no point sits on the frame.
std::pair<double, double> valueRange(const PlotGroup& group) {
    double lo = INFINITY;
    double hi = -INFINITY;
    for (const PlotSeries* s : {&group.test, &group.reference}) {
        for (double v : s->values) {
            if (std::isfinite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
    }
    if (!std::isfinite(lo)) {
        return {0.0, 1.0};
    }
    if (hi - lo < 1e-12 * std::max(1.0, std::fabs(hi))) {
        const double half = std::max(0.5, std::fabs(hi) * 0.1);
        return {lo - half, hi + half};
    }
    const double pad = (hi - lo) * 0.08;
    return {lo - pad, hi + pad};
}

void paintSeries(QPainter& p, const PlotSeries& series, const QColor& colour, double centreX,
                 const std::function<double(double)>& toY) {
    const double radius = 3.5;
    // Equal values are set beside each other instead of on top of each other.
    std::vector<double> drawn;
    p.setPen(QPen(colour.darker(130), 1.0));
    p.setBrush(colour);
    for (double v : series.values) {
        if (!std::isfinite(v)) {
            continue;
        }
        const auto same = std::count(drawn.begin(), drawn.end(), v);
        drawn.push_back(v);
        const double step = 2.2 * radius;
        const double offset =
            (same % 2 == 0 ? 1.0 : -1.0) * static_cast<double>((same + 1) / 2) * step;
        p.drawEllipse(QPointF(centreX + offset, toY(v)), radius, radius);
    }
    if (series.hasMean) {
        p.setPen(QPen(colour, 2.0));
        const double y = toY(series.mean);
        p.drawLine(QPointF(centreX - 16.0, y), QPointF(centreX + 16.0, y));
    }
}

void paintGroup(QPainter& p, const PlotGroup& group, const QRectF& area) {
    const QFontMetricsF metrics(p.font());
    const double lineHeight = metrics.height();
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.top(), area.width(), lineHeight), Qt::AlignHCenter,
               group.title);
    const auto [lo, hi] = valueRange(group);
    const QString top = QString::fromStdString(formatNumber(hi, "##0.0##"));
    const QString bottom = QString::fromStdString(formatNumber(lo, "##0.0##"));
    const double axisWidth =
        std::max(metrics.horizontalAdvance(top), metrics.horizontalAdvance(bottom)) + 4.0;
    const QRectF plot(area.left() + axisWidth, area.top() + lineHeight + 4.0,
                      area.width() - axisWidth - 2.0, area.height() - 2.0 * lineHeight - 8.0);
    if (plot.height() < 10.0 || plot.width() < 20.0) {
        return;
    }
    p.setPen(QPen(QColor(150, 150, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    if (group.empty()) {
        p.setPen(QColor(120, 120, 120));
        p.drawText(plot, Qt::AlignCenter, "no values");
        return;
    }
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRectF(area.left(), plot.top() - lineHeight / 2.0, axisWidth - 3.0, lineHeight),
               Qt::AlignRight | Qt::AlignVCenter, top);
    p.drawText(QRectF(area.left(), plot.bottom() - lineHeight / 2.0, axisWidth - 3.0, lineHeight),
               Qt::AlignRight | Qt::AlignVCenter, bottom);
    const auto toY = [&](double v) { return plot.bottom() - (v - lo) / (hi - lo) * plot.height(); };
    if (group.stale) {
        p.setOpacity(0.3);
    }
    const double x1 = plot.left() + plot.width() / 3.0;
    const double x2 = plot.left() + 2.0 * plot.width() / 3.0;
    paintSeries(p, group.test, kTestColour, x1, toY);
    paintSeries(p, group.reference, kReferenceColour, x2, toY);
    p.setPen(kTestColour);
    p.drawText(QRectF(x1 - 20.0, plot.bottom() + 2.0, 40.0, lineHeight), Qt::AlignHCenter, "x1");
    p.setPen(kReferenceColour);
    p.drawText(QRectF(x2 - 20.0, plot.bottom() + 2.0, 40.0, lineHeight), Qt::AlignHCenter, "x2");
    p.setOpacity(1.0);
}

}  // namespace

PlotData plotDataFrom(const WindowState& ui, const AnalysisState& analysis) {
    PlotData data;
    data.entered.title = "Data";
    data.entered.test = seriesFromColumn(ui.Grid1, Grid::kDataCol);
    data.entered.reference = seriesFromColumn(ui.Grid2, Grid::kDataCol);
    data.transformed.title = analysis.RankitUsed ? "Rankits" : "Transform";
    data.transformed.test = seriesFromColumn(ui.Grid1, Grid::kTransformCol);
    data.transformed.reference = seriesFromColumn(ui.Grid2, Grid::kTransformCol);
    data.transformed.stale = ui.transformsStale;
    return data;
}

ReplicatePlot::ReplicatePlot(const WindowState& ui, const AnalysisState& analysis, QWidget* parent)
    : QWidget(parent), ui_(ui), analysis_(analysis) {
    setObjectName("picReplicates");
    setToolTip("Replicates of the test (x1) and reference (x2) samples with their means");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ReplicatePlot::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const PlotData plot = data();
    const QRectF whole = QRectF(rect()).adjusted(4.0, 4.0, -4.0, -4.0);
    const double half = whole.width() / 2.0;
    paintGroup(p, plot.entered, QRectF(whole.left(), whole.top(), half - 4.0, whole.height()));
    paintGroup(p, plot.transformed,
               QRectF(whole.left() + half + 4.0, whole.top(), half - 4.0, whole.height()));
}

}  // namespace bx::gui
