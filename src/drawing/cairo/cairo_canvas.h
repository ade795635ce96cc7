#pragma once
// A canvas over a cairo context, its text laid out by pango: the window's plot (an image),
// PNG and PDF. The desktop's part of the drawing, as are the rest of cairo/.

#include <cairo.h>

#include "drawing/canvas.h"

namespace bx::drawing {

class CairoCanvas : public Canvas {
  public:
    explicit CairoCanvas(cairo_t* cr) : cr_(cr) {}

    void line(double x1, double y1, double x2, double y2, Colour colour, double width,
              std::string_view role = {}) override;
    void box(double x, double y, double w, double h, std::optional<Colour> fill,
             std::optional<Colour> stroke, double width, std::string_view role = {}) override;
    void circle(double cx, double cy, double r, std::optional<Colour> fill, Colour stroke,
                double width, std::string_view role = {}) override;
    void text(double x, double y, std::string_view text, const Font& font, Colour colour,
              Align align = Align::Left) override;
    double textWidth(std::string_view text, const Font& font) override;

    cairo_t* context() const { return cr_; }

  private:
    cairo_t* cr_;
};

// Measures text as pango lays it out in the sans-serif face every canvas uses (a TextMeasure).
double pangoTextWidth(std::string_view text, const Font& font);

// Collects the bytes cairo writes to a stream (cairo_surface_write_to_png_stream,
// cairo_pdf_surface_create_for_stream).
cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length);

}  // namespace bx::drawing
