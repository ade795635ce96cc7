// SPDX-License-Identifier: MIT
#include "drawing/cairo/plot_image.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "drawing/cairo/cairo_canvas.h"
#include "drawing/svg_canvas.h"

namespace bx::drawing {

RasterImage renderReplicatePlot(const std::vector<PlotPanel>& panels, int width, int height,
                                const PlotStyle& style, double scale) {
    RasterImage image;
    const int w = std::max(1, static_cast<int>(std::lround(width * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(height * scale)));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    CairoCanvas canvas(cr);
    drawReplicatePlot(canvas, panels, Area{0.0, 0.0, double(width), double(height)}, style);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    image.width = w;
    image.height = h;
    image.stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    image.pixels.assign(data, data + static_cast<std::size_t>(image.stride) * h);
    cairo_surface_destroy(surface);
    return image;
}

std::optional<ImageFormat> imageFormatOf(const std::string& path) {
    const auto dot = path.rfind('.');
    if (dot == std::string::npos) {
        return std::nullopt;
    }
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (ext == "svg") {
        return ImageFormat::Svg;
    }
    if (ext == "png") {
        return ImageFormat::Png;
    }
    if (ext == "pdf") {
        return ImageFormat::Pdf;
    }
    return std::nullopt;
}

std::string replicatePlotFile(ImageFormat format, const std::vector<PlotPanel>& panels,
                              double width, double height, const PlotStyle& style) {
    const Area area{0.0, 0.0, width, height};
    if (format == ImageFormat::Svg) {
        SvgCanvas canvas(width, height, pangoTextWidth);
        drawReplicatePlot(canvas, panels, area, style);
        return canvas.svg(true);
    }
    std::string bytes;
    if (format == ImageFormat::Png) {
        const double scale = 2.0;
        cairo_surface_t* surface = cairo_image_surface_create(
            CAIRO_FORMAT_RGB24, static_cast<int>(std::lround(width * scale)),
            static_cast<int>(std::lround(height * scale)));
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, scale, scale);
        CairoCanvas canvas(cr);
        drawReplicatePlot(canvas, panels, area, style);
        cairo_destroy(cr);
        cairo_surface_write_to_png_stream(surface, appendToString, &bytes);
        cairo_surface_destroy(surface);
        return bytes;
    }
    cairo_surface_t* surface =
        cairo_pdf_surface_create_for_stream(appendToString, &bytes, width, height);
    cairo_t* cr = cairo_create(surface);
    CairoCanvas canvas(cr);
    drawReplicatePlot(canvas, panels, area, style);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
    return bytes;
}

}  // namespace bx::drawing
