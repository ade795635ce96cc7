// SPDX-License-Identifier: MIT
#pragma once
// A small picture of both samples' replicates in the results area: the values as entered and,
// once an analysis or Transform has filled the Transform columns, the transformed values (or
// the rankits), each sample's points side by side with a bar at its mean. An outlier shows at a
// glance before anyone reads a W value.

#include <QString>
#include <QWidget>
#include <vector>

namespace bx {
struct WindowState;
struct AnalysisState;
}  // namespace bx

namespace bx::gui {

struct PlotSeries {
    std::vector<double> values;  // the sample's leading values, in grid order
    double mean = 0.0;
    bool hasMean = false;  // at least one value
};

struct PlotGroup {
    QString title;
    PlotSeries test;       // x1
    PlotSeries reference;  // x2
    bool stale = false;    // from entries that have changed since: drawn faintly
    bool empty() const { return test.values.empty() && reference.values.empty(); }
};

struct PlotData {
    PlotGroup entered;
    PlotGroup transformed;
};

// What the plot shows for the window's current grids: the Data columns as entered and the
// Transform columns ("Transformed", or "Rankits" after the rankit transformation), stale while
// the window marks them so. Counting and means are the core's: values up to the first blank
// cell or end marker.
PlotData plotDataFrom(const WindowState& ui, const AnalysisState& analysis);

class ReplicatePlot : public QWidget {
    Q_OBJECT
  public:
    ReplicatePlot(const WindowState& ui, const AnalysisState& analysis, QWidget* parent = nullptr);

    PlotData data() const { return plotDataFrom(ui_, analysis_); }

    QSize sizeHint() const override { return {300, 200}; }
    QSize minimumSizeHint() const override { return {240, 150}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const WindowState& ui_;
    const AnalysisState& analysis_;
};

}  // namespace bx::gui
