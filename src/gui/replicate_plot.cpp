// SPDX-License-Identifier: MIT
#include "gui/replicate_plot.h"

#include <QAction>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/analysis_state.h"
#include "app/desktop.h"
#include "app/replicate_panels.h"
#include "app/window_state.h"
#include "drawing/cairo/plot_image.h"

namespace bx::gui {
namespace {

drawing::Colour colourOf(const QColor& c) {
    return {c.redF(), c.greenF(), c.blueF()};
}

}  // namespace

void paintPlot(QWidget& widget, const std::vector<drawing::PlotPanel>& panels) {
    drawing::PlotStyle style;
    style.background = colourOf(widget.palette().color(QPalette::Base));
    style.ink = colourOf(widget.palette().color(QPalette::Text));
    style.font.size = widget.font().pointSizeF() > 0 ? widget.font().pointSizeF() : 9.0;
    const double scale = widget.devicePixelRatioF();
    const drawing::RasterImage image =
        drawing::renderReplicatePlot(panels, widget.width(), widget.height(), style, scale);
    const QImage picture(image.pixels.data(), image.width, image.height, image.stride,
                         QImage::Format_ARGB32_Premultiplied);
    QImage shown = picture.copy();
    shown.setDevicePixelRatio(scale);
    QPainter p(&widget);
    p.drawImage(QPointF(0.0, 0.0), shown);
}

std::string savePlot(const std::string& path, const std::vector<drawing::PlotPanel>& panels,
                     Desktop& desktop) {
    const std::optional<drawing::ImageFormat> format = drawing::imageFormatOf(path);
    if (!format) {
        return "Plot not saved: " + path + " is not .svg, .png or .pdf";
    }
    std::error_code ignored;
    const std::string full = std::filesystem::absolute(path, ignored).string();
    if (std::filesystem::exists(full, ignored) &&
        !desktop.confirm("Save Plot As", full + " exists. Replace it?").yes) {
        return "Plot not saved: " + full + " kept as it was";
    }
    const std::string bytes =
        drawing::replicatePlotFile(*format, panels, 360.0, 240.0, drawing::PlotStyle{});
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out ? "Plot saved to " + full : "Plot not saved: writing " + full + " failed";
}

void addSavePlotAction(QWidget& plot, Desktop& desktop,
                       std::function<std::vector<drawing::PlotPanel>()> panels,
                       std::function<void(const std::string&)> report) {
    auto* save = new QAction("Save Plot As...", &plot);
    save->setObjectName("mnuSavePlot");
    plot.addAction(save);
    plot.setContextMenuPolicy(Qt::ActionsContextMenu);
    QObject::connect(save, &QAction::triggered, &plot, [&desktop, panels, report] {
        const std::optional<FileDialogAnswer> answer =
            desktop.fileDialog("Save Plot As (.svg, .png or .pdf)", "");
        if (answer && !answer->entryText.empty()) {
            report(savePlot((std::filesystem::path(answer->folder) / answer->entryText).string(),
                            panels(), desktop));
        }
    });
}

ReplicatePlot::ReplicatePlot(const WindowState& ui, const AnalysisState& analysis, QWidget* parent)
    : QWidget(parent), ui_(ui), analysis_(analysis) {
    setObjectName("picReplicates");
    setToolTip(
        "Replicates of the test (x1, circles) and reference (x2, squares) samples with "
        "their means");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

std::vector<drawing::PlotPanel> ReplicatePlot::data() const {
    return replicatePanels(ui_, analysis_);
}

void ReplicatePlot::paintEvent(QPaintEvent* /*event*/) {
    paintPlot(*this, data());
}

}  // namespace bx::gui
