// Text measured from the DejaVu Sans table, where there is no pango (the browser edition): its
// widths by hand, against pango's for every label the plots measure, and the survey report's
// HTML the same whichever measures it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/text_format.h"
#include "drawing/cairo/cairo_canvas.h"
#include "drawing/font_metrics.h"
#include "drawing/survey_report.h"

namespace bx::drawing::test {
namespace {

// By hand from the fonts' hmtx tables (DejaVu Sans 2.37, 2048 units an em): a digit 1303 units
// (bold 1425), "." 651, "-" 739 (bold 850), "M" 1767, "±" 1716; each advance rounded to a whole
// point. Exact.
TEST(TabulatedTextWidth, AdvancesRoundedToWholePoints) {
    // "12.5" at 7 pt: 3 × round(4.454) + round(2.225) = 12 + 2.
    EXPECT_EQ(tabulatedTextWidth("12.5", Font{7.0}), 14.0);
    // "-3" at 10 pt bold: round(4.150) + round(6.958) = 4 + 7.
    EXPECT_EQ(tabulatedTextWidth("-3", Font{10.0, true}), 11.0);
    // "-3" at 10 pt regular: round(3.608) + round(6.362) = 4 + 6.
    EXPECT_EQ(tabulatedTextWidth("-3", Font{10.0}), 10.0);
    // "±" (two bytes of UTF-8) at 8 pt: round(6.703) = 7.
    EXPECT_EQ(tabulatedTextWidth("±", Font{8.0}), 7.0);
    EXPECT_EQ(tabulatedTextWidth("", Font{8.0}), 0.0);
    // A character the table lacks, and a byte that is not UTF-8, count as an "M": round(6.902).
    EXPECT_EQ(tabulatedTextWidth("中", Font{8.0}), 7.0);
    EXPECT_EQ(tabulatedTextWidth("\xff", Font{8.0}), 7.0);
    EXPECT_EQ(tabulatedTextWidth("a\xe4", Font{8.0}), tabulatedTextWidth("aM", Font{8.0}));
}

// Expected: pango's own layout of the same text on this machine ("Sans" is DejaVu Sans, from
// fonts-dejavu-core). The plots measure only their value axis's labels (numbers in "##0.0##"),
// at 6.5 pt (PDF report), 7 pt (HTML report) and 8 pt (window, plot files). Exact.
TEST(TabulatedTextWidth, EqualsPangoForTheAxisLabelsOfEveryPlot) {
    std::vector<std::string> labels;
    for (int power = -4; power <= 6; ++power) {
        for (const double v : {-9.87654, -1.0, -0.0005, 0.0, 0.04, 1.0, 2.5, 3.14159, 7.777}) {
            labels.push_back(formatNumber(v * std::pow(10.0, power), "##0.0##"));
        }
    }
    int compared = 0;
    for (const double size : {6.5, 7.0, 8.0, 11.0}) {
        for (const bool bold : {false, true}) {
            for (const std::string& label : labels) {
                const Font font{size, bold};
                EXPECT_EQ(tabulatedTextWidth(label, font), pangoTextWidth(label, font))
                    << label << " at " << size << (bold ? " pt bold" : " pt");
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 8 * 11 * 9);
}

// The browser edition writes the report with the table, the desktop with pango: a report whose
// plots span small, large and negative values comes out byte for byte the same.
TEST(TabulatedTextWidth, TheSurveyReportIsTheSameAsWithPango) {
    SurveyReport report;
    report.project = "Creek";
    ReportEndpoint e;
    e.name = "growth";
    e.settings.reference = "REF";
    e.settings.alpha = "0.05";
    e.referenceValues = {14.0, 15.0, 16.0};
    e.referenceMean = 15.0;
    e.referenceSd = 1.0;
    const std::vector<std::vector<double>> values = {
        {10.0, 11.0, 12.0}, {0.0012, 0.0031}, {-250.5, 1234.75, 99999.0}, {}, {7.0, 7.0, 7.0}};
    for (std::size_t i = 0; i < values.size(); ++i) {
        ReportStation s;
        s.station = "ST0" + std::to_string(i + 1);
        s.values = values[i];
        s.n = static_cast<int>(values[i].size());
        e.stations.push_back(s);
    }
    report.endpoints.push_back(e);
    const std::string desktop = surveyReportHtml(report, pangoTextWidth);
    EXPECT_EQ(surveyReportHtml(report, tabulatedTextWidth), desktop);
    EXPECT_NE(desktop.find("<svg"), std::string::npos);
}

}  // namespace
}  // namespace bx::drawing::test
