#include "drawing/replicate_plot.h"

#include <algorithm>
#include <cmath>

#include "base/text_format.h"

namespace bx::drawing {
namespace {

constexpr double kMark = 3.2;  // the radius of a mark, points

Colour faintOf(Colour c, const PlotPanel& panel, const PlotStyle& style) {
    return panel.faint ? mix(c, style.background, 0.7) : c;
}

// Equal values are set beside each other rather than on top of each other.
std::vector<double> offsets(const std::vector<double>& values) {
    std::vector<double> out;
    std::vector<double> drawn;
    for (const double v : values) {
        const auto same = std::count(drawn.begin(), drawn.end(), v);
        drawn.push_back(v);
        out.push_back((same % 2 == 0 ? 1.0 : -1.0) * static_cast<double>((same + 1) / 2) * 2.4 *
                      kMark);
    }
    return out;
}

void drawSeries(Canvas& canvas, const PlotSeries& series, bool isTest, Colour colour,
                double centreX, double lo, double hi, const Area& frame, const PlotStyle& style,
                const PlotPanel& panel) {
    const auto toY = [&](double v) {
        return frame.y + frame.height - (v - lo) / (hi - lo) * frame.height;
    };
    std::vector<double> finite;
    for (const double v : series.values) {
        if (std::isfinite(v)) {
            finite.push_back(v);
        }
    }
    const std::vector<double> dx = offsets(finite);
    const Colour c = faintOf(colour, panel, style);
    for (std::size_t i = 0; i < finite.size(); ++i) {
        const double x = centreX + dx[i];
        const double y = toY(finite[i]);
        if (isTest) {
            canvas.circle(x, y, kMark, c, c, 0.8, "test");
        } else {
            canvas.box(x - kMark, y - kMark, 2.0 * kMark, 2.0 * kMark, style.background, c, 1.2,
                       "reference");
        }
    }
    if (series.mean && std::isfinite(*series.mean)) {
        const double y = toY(*series.mean);
        canvas.line(centreX - 5.0 * kMark, y, centreX + 5.0 * kMark, y, c, 1.6,
                    isTest ? "test-mean" : "reference-mean");
    }
}

void drawPanel(Canvas& canvas, const PlotPanel& panel, const Area& area, const PlotStyle& style) {
    const Font& font = style.font;
    const double lineHeight = canvas.lineHeight(font);
    const Colour muted = mix(style.ink, style.background, 0.45);
    canvas.text(area.x + area.width / 2.0, area.y + lineHeight / 2.0, panel.title,
                Font{font.size, true}, style.ink, Align::Centre);
    const auto [lo, hi] = valueRange(panel);
    const std::string top = formatNumber(hi, "##0.0##");
    const std::string bottom = formatNumber(lo, "##0.0##");
    const double axisWidth =
        std::max(canvas.textWidth(top, font), canvas.textWidth(bottom, font)) + 4.0;
    const Area frame{area.x + axisWidth, area.y + lineHeight + 3.0, area.width - axisWidth - 2.0,
                     area.height - 2.0 * lineHeight - 6.0};
    if (frame.height < 10.0 || frame.width < 20.0) {
        return;
    }
    canvas.box(frame.x, frame.y, frame.width, frame.height, std::nullopt, muted, 0.6, "frame");
    if (panel.empty()) {
        canvas.text(frame.x + frame.width / 2.0, frame.y + frame.height / 2.0, "no values", font,
                    muted, Align::Centre);
        return;
    }
    canvas.text(frame.x - 3.0, frame.y, top, font, muted, Align::Right);
    canvas.text(frame.x - 3.0, frame.y + frame.height, bottom, font, muted, Align::Right);
    const double x1 = frame.x + frame.width / 3.0;
    const double x2 = frame.x + 2.0 * frame.width / 3.0;
    drawSeries(canvas, panel.test, true, testColour(style), x1, lo, hi, frame, style, panel);
    drawSeries(canvas, panel.reference, false, referenceColour(style), x2, lo, hi, frame, style,
               panel);
    const double labelY = frame.y + frame.height + 2.0 + lineHeight / 2.0;
    canvas.text(x1, labelY, panel.test.label, font, faintOf(testColour(style), panel, style),
                Align::Centre);
    canvas.text(x2, labelY, panel.reference.label, font,
                faintOf(referenceColour(style), panel, style), Align::Centre);
}

}  // namespace

Colour testColour(const PlotStyle& style) {
    const Colour c{0.78, 0.35, 0.08};
    return style.greyscale ? grey(mix(c, Colour{}, 0.3)) : c;
}

Colour referenceColour(const PlotStyle& style) {
    const Colour c{0.12, 0.39, 0.71};
    return style.greyscale ? grey(mix(c, Colour{}, 0.5)) : c;
}

std::pair<double, double> valueRange(const PlotPanel& panel) {
    double lo = INFINITY;
    double hi = -INFINITY;
    for (const PlotSeries* s : {&panel.test, &panel.reference}) {
        for (const double v : s->values) {
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

void drawReplicatePlot(Canvas& canvas, const std::vector<PlotPanel>& panels, const Area& area,
                       const PlotStyle& style) {
    canvas.box(area.x, area.y, area.width, area.height, style.background, std::nullopt, 0.0);
    if (panels.empty()) {
        return;
    }
    const double gap = 8.0;
    const double inner = area.width - 8.0;
    const double each =
        (inner - gap * static_cast<double>(panels.size() - 1)) / static_cast<double>(panels.size());
    for (std::size_t i = 0; i < panels.size(); ++i) {
        drawPanel(canvas, panels[i],
                  Area{area.x + 4.0 + static_cast<double>(i) * (each + gap), area.y + 4.0, each,
                       area.height - 8.0},
                  style);
    }
}

}  // namespace bx::drawing
