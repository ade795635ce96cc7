#include "drawing/svg_canvas.h"

#include <cstdio>

#include "base/text_format.h"

namespace bx::drawing {
namespace {

// Coordinates to a hundredth of a point, without trailing zeros.
std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    while (!s.empty() && s.back() == '0') {
        s.pop_back();
    }
    if (!s.empty() && s.back() == '.') {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string roleAttribute(std::string_view role) {
    return role.empty() ? std::string() : " class=\"" + xmlEscaped(role) + "\"";
}

std::string paint(const char* what, const std::optional<Colour>& c) {
    return std::string(" ") + what + "=\"" + (c ? hexColour(*c) : "none") + "\"";
}

}  // namespace

SvgCanvas::SvgCanvas(double width, double height, TextMeasure measure)
    : width_(width), height_(height), measure_(measure) {}

void SvgCanvas::line(double x1, double y1, double x2, double y2, Colour colour, double width,
                     std::string_view role) {
    body_ += "<line" + roleAttribute(role) + " x1=\"" + num(x1) + "\" y1=\"" + num(y1) +
             "\" x2=\"" + num(x2) + "\" y2=\"" + num(y2) + "\" stroke=\"" + hexColour(colour) +
             "\" stroke-width=\"" + num(width) + "\"/>\n";
}

void SvgCanvas::box(double x, double y, double w, double h, std::optional<Colour> fill,
                    std::optional<Colour> stroke, double width, std::string_view role) {
    body_ += "<rect" + roleAttribute(role) + " x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" +
             num(w) + "\" height=\"" + num(h) + "\"" + paint("fill", fill) +
             paint("stroke", stroke) + " stroke-width=\"" + num(width) + "\"/>\n";
}

void SvgCanvas::circle(double cx, double cy, double r, std::optional<Colour> fill, Colour stroke,
                       double width, std::string_view role) {
    body_ += "<circle" + roleAttribute(role) + " cx=\"" + num(cx) + "\" cy=\"" + num(cy) +
             "\" r=\"" + num(r) + "\"" + paint("fill", fill) + paint("stroke", stroke) +
             " stroke-width=\"" + num(width) + "\"/>\n";
}

void SvgCanvas::text(double x, double y, std::string_view text, const Font& font, Colour colour,
                     Align align) {
    const char* anchor = align == Align::Left ? "start" : align == Align::Centre ? "middle" : "end";
    // The middle of the line: a third of the size below it is the baseline of most faces.
    body_ += "<text x=\"" + num(x) + "\" y=\"" + num(y + font.size * 0.35) + "\" font-size=\"" +
             num(font.size) + "\"" + (font.bold ? " font-weight=\"bold\"" : "") +
             " text-anchor=\"" + anchor + "\" fill=\"" + hexColour(colour) + "\">" +
             xmlEscaped(text) + "</text>\n";
}

double SvgCanvas::textWidth(std::string_view text, const Font& font) {
    return measure_(text, font);
}

std::string SvgCanvas::svg(bool standalone) const {
    std::string out;
    if (standalone) {
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    }
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width_) + "pt\" height=\"" +
           num(height_) + "pt\" viewBox=\"0 0 " + num(width_) + " " + num(height_) +
           "\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\">\n";
    out += body_;
    out += "</svg>\n";
    return out;
}

}  // namespace bx::drawing
