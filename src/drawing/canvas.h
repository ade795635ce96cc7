#pragma once
// The surface every picture of the program is drawn on: lines, boxes, round and square marks and
// text, in points from the top left corner. Two kinds stand behind it: cairo with pango (the
// window's plot, PNG and PDF; cairo/, the desktop's) and plain SVG elements (the plots inline in
// an HTML report, whose texts stay text and whose marks keep their centres; builds anywhere, the
// browser edition too). A picture's drawing code is written once, against this class.

#include <optional>
#include <string>
#include <string_view>

namespace bx::drawing {

struct Colour {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    bool operator==(const Colour&) const = default;
};

// `c` blended towards `towards` by `amount` (0: c, 1: towards).
Colour mix(Colour c, Colour towards, double amount);
// The same lightness in grey (Rec. 709 luma).
Colour grey(Colour c);
// "#rrggbb".
std::string hexColour(Colour c);

enum class Align { Left, Centre, Right };

struct Font {
    double size = 8.0;  // points
    bool bold = false;
};

class Canvas {
  public:
    virtual ~Canvas() = default;
    // `role` names what a mark or line stands for (the SVG keeps it as the element's class).
    virtual void line(double x1, double y1, double x2, double y2, Colour colour, double width,
                      std::string_view role = {}) = 0;
    virtual void box(double x, double y, double w, double h, std::optional<Colour> fill,
                     std::optional<Colour> stroke, double width, std::string_view role = {}) = 0;
    virtual void circle(double cx, double cy, double r, std::optional<Colour> fill, Colour stroke,
                        double width, std::string_view role = {}) = 0;
    // One line of text whose vertical middle is at `y`, anchored at `x` by `align`.
    virtual void text(double x, double y, std::string_view text, const Font& font, Colour colour,
                      Align align = Align::Left) = 0;
    // The width of one line of text.
    virtual double textWidth(std::string_view text, const Font& font) = 0;
    double lineHeight(const Font& font) const { return font.size * 1.25; }
};

// The width of one line of text in the sans-serif face every canvas uses: pango's layout on the
// desktop (pangoTextWidth, cairo/cairo_canvas.h), the face's own advance widths where there is
// no pango (tabulatedTextWidth, font_metrics.h).
using TextMeasure = double (*)(std::string_view text, const Font& font);

}  // namespace bx::drawing
