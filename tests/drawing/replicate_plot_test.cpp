// The replicate plot puts each value where it belongs on the value axis, in colour and in
// greyscale, and every output form of it is what its name says.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "drawing/cairo/cairo_canvas.h"
#include "drawing/cairo/plot_image.h"
#include "drawing/font_metrics.h"
#include "drawing/replicate_plot.h"
#include "drawing/svg_canvas.h"

namespace bx::drawing::test {
namespace {

struct Mark {
    std::string role;
    double x = 0.0;  // centre
    double y = 0.0;
    std::string fill;
    std::string stroke;
};

double attribute(const std::string& element, const std::string& name) {
    const std::regex re(" " + name + "=\"([-0-9.]+)\"");
    std::smatch m;
    return std::regex_search(element, m, re) ? std::stod(m[1]) : NAN;
}

std::string text(const std::string& element, const std::string& name) {
    const std::regex re(" " + name + "=\"([^\"]*)\"");
    std::smatch m;
    return std::regex_search(element, m, re) ? std::string(m[1]) : std::string();
}

// The marks, mean lines and the frame of an SVG, centres worked out from its elements.
std::vector<Mark> marksOf(const std::string& svg) {
    std::vector<Mark> marks;
    const std::regex element("<(circle|rect|line) class=\"([a-z-]+)\"[^>]*>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element);
         it != std::sregex_iterator(); ++it) {
        const std::string e = (*it)[0];
        const std::string kind = (*it)[1];
        Mark m{(*it)[2], 0.0, 0.0, text(e, "fill"), text(e, "stroke")};
        if (kind == "circle") {
            m.x = attribute(e, "cx");
            m.y = attribute(e, "cy");
        } else if (kind == "line") {
            m.x = (attribute(e, "x1") + attribute(e, "x2")) / 2.0;
            m.y = attribute(e, "y1");
        } else if (m.role == "frame") {
            m.x = attribute(e, "x");  // the frame: its top left corner, size below
            m.y = attribute(e, "y");
            m.fill = std::to_string(attribute(e, "width"));
            m.stroke = std::to_string(attribute(e, "height"));
        } else {
            m.x = attribute(e, "x") + attribute(e, "width") / 2.0;
            m.y = attribute(e, "y") + attribute(e, "height") / 2.0;
        }
        marks.push_back(m);
    }
    return marks;
}

bool isGrey(const std::string& hex) {
    return hex.substr(1, 2) == hex.substr(3, 2) && hex.substr(3, 2) == hex.substr(5, 2);
}

PlotPanel knownPanel() {
    PlotPanel p;
    p.title = "ST01";
    p.test = {"ST01", {10, 11, 12}, 11.0};
    p.reference = {"REF", {14, 15, 16}, 15.0};
    return p;
}

TEST(ReplicatePlot, PointsSitWhereTheValuesSayInColourAndGreyscale) {
    for (const bool greyscale : {false, true}) {
        PlotStyle style;
        style.greyscale = greyscale;
        SvgCanvas canvas(300, 200, tabulatedTextWidth);
        drawReplicatePlot(canvas, {knownPanel()}, Area{0, 0, 300, 200}, style);
        const std::vector<Mark> marks = marksOf(canvas.svg());
        const auto frame = std::find_if(marks.begin(), marks.end(),
                                        [](const Mark& m) { return m.role == "frame"; });
        ASSERT_NE(frame, marks.end());
        const double top = frame->y;
        const double height = std::stod(frame->stroke);
        // The axis runs from 10 - 8 % of 6 = 9.52 (bottom) to 16 + 0.48 = 16.48 (top).
        const auto yOf = [&](double v) { return top + height - (v - 9.52) / 6.96 * height; };
        std::vector<double> test, reference;
        double testX = 0.0, referenceX = 0.0;
        for (const Mark& m : marks) {
            if (m.role == "test") {
                test.push_back(m.y);
                testX = m.x;
            } else if (m.role == "reference") {
                reference.push_back(m.y);
                referenceX = m.x;
                EXPECT_EQ(m.fill, "#ffffff");  // open squares
            } else if (m.role == "test-mean") {
                EXPECT_NEAR(m.y, yOf(11.0), 0.01);
            } else if (m.role == "reference-mean") {
                EXPECT_NEAR(m.y, yOf(15.0), 0.01);
            }
            if (m.role != "frame" && m.role != "reference") {
                EXPECT_EQ(isGrey(m.stroke), greyscale) << m.role << " " << m.stroke;
            }
        }
        ASSERT_EQ(test.size(), 3U);
        ASSERT_EQ(reference.size(), 3U);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(test[i], yOf(10.0 + i), 0.01);
            EXPECT_NEAR(reference[i], yOf(14.0 + i), 0.01);
        }
        EXPECT_LT(testX, referenceX);  // the station left of its reference
    }
}

TEST(ReplicatePlot, EqualValuesStandSideBySideAndEachFormIsItsKind) {
    PlotPanel p;
    p.test = {"x1", {5, 5, 5}, 5.0};
    SvgCanvas canvas(200, 150, pangoTextWidth);
    drawReplicatePlot(canvas, {p}, Area{0, 0, 200, 150}, PlotStyle{});
    std::vector<double> xs;
    for (const Mark& m : marksOf(canvas.svg())) {
        if (m.role == "test") {
            xs.push_back(m.x);
        }
    }
    ASSERT_EQ(xs.size(), 3U);
    EXPECT_NE(xs[0], xs[1]);
    EXPECT_NE(xs[1], xs[2]);
    EXPECT_NE(xs[0], xs[2]);

    EXPECT_EQ(imageFormatOf("plot.SVG"), ImageFormat::Svg);
    EXPECT_EQ(imageFormatOf("a.b/plot"), std::nullopt);
    EXPECT_EQ(replicatePlotFile(ImageFormat::Png, {knownPanel()}, 100, 80, {}).substr(1, 3), "PNG");
    EXPECT_EQ(replicatePlotFile(ImageFormat::Pdf, {knownPanel()}, 100, 80, {}).substr(0, 5),
              "%PDF-");
    const std::string svg = replicatePlotFile(ImageFormat::Svg, {knownPanel()}, 100, 80, {});
    EXPECT_EQ(svg.rfind("<?xml", 0), 0U);
    EXPECT_NE(svg.find("<text"), std::string::npos);
}

}  // namespace
}  // namespace bx::drawing::test
