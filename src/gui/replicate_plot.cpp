#include "gui/replicate_plot.h"

#include <QImage>
#include <QPainter>

#include "app/analysis_state.h"
#include "app/replicate_panels.h"
#include "app/window_state.h"

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
