#include "drawing/cairo/cairo_canvas.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <string>

namespace bx::drawing {
namespace {

void setColour(cairo_t* cr, Colour c) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

}  // namespace

void CairoCanvas::line(double x1, double y1, double x2, double y2, Colour colour, double width,
                       std::string_view /*role*/) {
    cairo_new_path(cr_);
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    setColour(cr_, colour);
    cairo_set_line_width(cr_, width);
    cairo_stroke(cr_);
}

void CairoCanvas::box(double x, double y, double w, double h, std::optional<Colour> fill,
                      std::optional<Colour> stroke, double width, std::string_view /*role*/) {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x, y, w, h);
    if (fill) {
        setColour(cr_, *fill);
        stroke ? cairo_fill_preserve(cr_) : cairo_fill(cr_);
    }
    if (stroke) {
        setColour(cr_, *stroke);
        cairo_set_line_width(cr_, width);
        cairo_stroke(cr_);
    }
    cairo_new_path(cr_);
}

void CairoCanvas::circle(double cx, double cy, double r, std::optional<Colour> fill, Colour stroke,
                         double width, std::string_view /*role*/) {
    cairo_new_path(cr_);
    cairo_arc(cr_, cx, cy, r, 0.0, 2.0 * M_PI);
    if (fill) {
        setColour(cr_, *fill);
        cairo_fill_preserve(cr_);
    }
    setColour(cr_, stroke);
    cairo_set_line_width(cr_, width);
    cairo_stroke(cr_);
}

void CairoCanvas::text(double x, double y, std::string_view text, const Font& font, Colour colour,
                       Align align) {
    PangoLayout* layout = pango_cairo_create_layout(cr_);
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, "Sans");
    pango_font_description_set_absolute_size(desc, font.size * PANGO_SCALE);
    pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    int width = 0;
    int height = 0;
    pango_layout_get_size(layout, &width, &height);
    const double w = static_cast<double>(width) / PANGO_SCALE;
    const double h = static_cast<double>(height) / PANGO_SCALE;
    const double left = align == Align::Left ? x : align == Align::Centre ? x - w / 2.0 : x - w;
    setColour(cr_, colour);
    cairo_move_to(cr_, left, y - h / 2.0);
    pango_cairo_show_layout(cr_, layout);
    g_object_unref(layout);
    cairo_new_path(cr_);
}

double CairoCanvas::textWidth(std::string_view text, const Font& font) {
    return pangoTextWidth(text, font);
}

double pangoTextWidth(std::string_view text, const Font& font) {
    // One layout context for the thread, over a surface that is never drawn on.
    struct Measure {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* cr = cairo_create(surface);
        PangoLayout* layout = pango_cairo_create_layout(cr);
        ~Measure() {
            g_object_unref(layout);
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
        }
    };
    thread_local Measure m;
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, "Sans");
    pango_font_description_set_absolute_size(desc, font.size * PANGO_SCALE);
    pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(m.layout, desc);
    pango_font_description_free(desc);
    pango_layout_set_text(m.layout, text.data(), static_cast<int>(text.size()));
    int width = 0;
    int height = 0;
    pango_layout_get_size(m.layout, &width, &height);
    return static_cast<double>(width) / PANGO_SCALE;
}

cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace bx::drawing
