#pragma once
// A canvas that writes SVG elements: marks as <circle> and <rect> at their own coordinates, text
// as <text>, each mark's role as its class. The picture is self-contained (no fonts, links or
// scripts), for an HTML page or a file of its own. Text is measured by `measure`: the layout that
// depends on a width (the value axis's labels) follows it.

#include <string>

#include "drawing/canvas.h"

namespace bx::drawing {

class SvgCanvas : public Canvas {
  public:
    SvgCanvas(double width, double height, TextMeasure measure);

    void line(double x1, double y1, double x2, double y2, Colour colour, double width,
              std::string_view role = {}) override;
    void box(double x, double y, double w, double h, std::optional<Colour> fill,
             std::optional<Colour> stroke, double width, std::string_view role = {}) override;
    void circle(double cx, double cy, double r, std::optional<Colour> fill, Colour stroke,
                double width, std::string_view role = {}) override;
    void text(double x, double y, std::string_view text, const Font& font, Colour colour,
              Align align = Align::Left) override;
    double textWidth(std::string_view text, const Font& font) override;

    // The <svg> element; with `standalone` the XML declaration goes first (a file of its own).
    std::string svg(bool standalone = false) const;

  private:
    double width_;
    double height_;
    TextMeasure measure_;
    std::string body_;
};

}  // namespace bx::drawing
