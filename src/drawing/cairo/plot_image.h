// SPDX-License-Identifier: MIT
#pragma once
// The replicate plot as an image for the window and as a file (SVG, PNG, PDF), drawn by cairo
// and measured by pango.

#include <optional>
#include <string>
#include <vector>

#include "drawing/replicate_plot.h"

namespace bx::drawing {

// An image of the plot for a screen: premultiplied 32-bit ARGB in native byte order (as
// QImage::Format_ARGB32_Premultiplied), `scale` pixels per point.
struct RasterImage {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<unsigned char> pixels;
};
RasterImage renderReplicatePlot(const std::vector<PlotPanel>& panels, int width, int height,
                                const PlotStyle& style, double scale = 1.0);

enum class ImageFormat { Svg, Png, Pdf };
// The format a file's extension names (.svg, .png, .pdf, any case).
std::optional<ImageFormat> imageFormatOf(const std::string& path);

// The plot as a file's bytes, `width` × `height` points (PNG: at 2 pixels a point).
std::string replicatePlotFile(ImageFormat format, const std::vector<PlotPanel>& panels,
                              double width, double height, const PlotStyle& style);

}  // namespace bx::drawing
