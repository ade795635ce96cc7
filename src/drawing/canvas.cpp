#include "drawing/canvas.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace bx::drawing {

Colour mix(Colour c, Colour towards, double amount) {
    return {c.r + (towards.r - c.r) * amount, c.g + (towards.g - c.g) * amount,
            c.b + (towards.b - c.b) * amount};
}

Colour grey(Colour c) {
    const double y = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    return {y, y, y};
}

std::string hexColour(Colour c) {
    const auto byte = [](double v) {
        return static_cast<unsigned>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5);
    };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(c.r), byte(c.g), byte(c.b));
    return text;
}

double measureText(std::string_view text, const Font& font) {
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

}  // namespace bx::drawing
