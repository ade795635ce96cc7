// SPDX-License-Identifier: MIT
#pragma once
// A small picture of both samples' replicates in the results area: the values as entered and,
// once an analysis or Transform has filled the Transform columns, the transformed values (or
// the rankits), each sample's points side by side with a bar at its mean. An outlier shows at a
// glance before anyone reads a W value. The picture is the drawing layer's replicate plot, the
// same one the reports and the exported files hold.

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "drawing/replicate_plot.h"

namespace bx {
class Desktop;
struct WindowState;
struct AnalysisState;
}  // namespace bx

namespace bx::gui {

class ReplicatePlot : public QWidget {
    Q_OBJECT
  public:
    ReplicatePlot(const WindowState& ui, const AnalysisState& analysis, QWidget* parent = nullptr);

    // The panels shown: "Data", then "Transform" (or "Rankits").
    std::vector<drawing::PlotPanel> data() const;

    QSize sizeHint() const override { return {300, 200}; }
    QSize minimumSizeHint() const override { return {240, 150}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const WindowState& ui_;
    const AnalysisState& analysis_;
};

// Draws panels over a widget's whole area in its palette's colours.
void paintPlot(QWidget& widget, const std::vector<drawing::PlotPanel>& panels);

// Writes panels to `path` as SVG, PNG or PDF (by its extension), asking through `desktop`
// before replacing a file. Returns the line that says what was done (the file's full path) or
// why nothing was written.
std::string savePlot(const std::string& path, const std::vector<drawing::PlotPanel>& panels,
                     Desktop& desktop);

// Gives a plot widget the context menu entry "Save Plot As...": the file chosen through
// `desktop`'s dialog, the panels from `panels`, the outcome's line handed to `report`.
void addSavePlotAction(QWidget& plot, Desktop& desktop,
                       std::function<std::vector<drawing::PlotPanel>()> panels,
                       std::function<void(const std::string&)> report);

}  // namespace bx::gui
