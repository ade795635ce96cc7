// SPDX-License-Identifier: MIT
#include "drawing/cairo/survey_report_pdf.h"

#include <cairo-pdf.h>
#include <langinfo.h>
#include <locale.h>
#include <pango/pangocairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/cairo/cairo_canvas.h"
#include "drawing/replicate_plot.h"
#include "drawing/report_text.h"

namespace bx::drawing {
namespace {

using namespace report_text;

class PdfDocument {
  public:
    PdfDocument(std::string& bytes, Paper paper, std::string footer)
        : width_(paper == Paper::A4 ? 595.28 : 612.0),
          height_(paper == Paper::A4 ? 841.89 : 792.0),
          footer_(std::move(footer)) {
        surface_ = cairo_pdf_surface_create_for_stream(appendToString, &bytes, width_, height_);
        cr_ = cairo_create(surface_);
        y_ = kMargin;
    }
    ~PdfDocument() {
        finishPage();
        cairo_destroy(cr_);
        cairo_surface_finish(surface_);
        cairo_surface_destroy(surface_);
    }
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    double contentWidth() const { return width_ - 2.0 * kMargin; }
    double left() const { return kMargin; }
    double y() const { return y_; }
    void advance(double dy) { y_ += dy; }
    cairo_t* context() const { return cr_; }

    bool fits(double space) const { return y_ + space <= height_ - kMargin - 14.0; }
    // Starts a new page unless `space` points are left on this one.
    void need(double space) {
        if (!fits(space)) {
            newPage();
        }
    }
    void newPage() {
        finishPage();
        cairo_show_page(cr_);
        ++page_;
        y_ = kMargin;
    }

    // Text wrapped to `width` from `x` at the current line; returns its height (the caller
    // advances). With `cut` one line, ended by an ellipsis when too long.
    double text(double x, double width, const std::string& text, const Font& font, bool cut = false,
                Align align = Align::Left, Colour colour = {}) {
        PangoLayout* layout = layoutFor(text, font);
        pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
        if (cut) {
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        } else {
            pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        }
        pango_layout_set_alignment(layout, align == Align::Right    ? PANGO_ALIGN_RIGHT
                                           : align == Align::Centre ? PANGO_ALIGN_CENTER
                                                                    : PANGO_ALIGN_LEFT);
        int w = 0;
        int h = 0;
        pango_layout_get_size(layout, &w, &h);
        cairo_set_source_rgb(cr_, colour.r, colour.g, colour.b);
        cairo_move_to(cr_, x, y_);
        pango_cairo_show_layout(cr_, layout);
        cairo_new_path(cr_);
        g_object_unref(layout);
        return static_cast<double>(h) / PANGO_SCALE;
    }
    // A paragraph across the page, then a small gap.
    void paragraph(const std::string& t, const Font& font, double gap = 4.0) {
        need(font.size * 2.5);
        y_ += text(left(), contentWidth(), t, font) + gap;
    }
    void rule() {
        cairo_set_source_rgb(cr_, 0.5, 0.5, 0.5);
        cairo_set_line_width(cr_, 0.5);
        cairo_move_to(cr_, left(), y_);
        cairo_line_to(cr_, left() + contentWidth(), y_);
        cairo_stroke(cr_);
    }

    // One table row: cells laid out in columns of `widths` (fractions of the content width).
    void row(const std::vector<std::string>& cells, const std::vector<double>& widths,
             const std::vector<bool>& numeric, const Font& font, bool header) {
        const double h = font.size * 1.5;
        need(h);
        if (header) {
            cairo_set_source_rgb(cr_, 0.9, 0.9, 0.9);
            cairo_rectangle(cr_, left(), y_, contentWidth(), h);
            cairo_fill(cr_);
        }
        double x = left();
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const double w = widths[i] * contentWidth();
            const double saved = y_;
            y_ += font.size * 0.2;
            text(x + 2.0, w - 4.0, cells[i], font, true,
                 numeric[i] && !header ? Align::Right : Align::Left);
            y_ = saved;
            x += w;
        }
        y_ += h;
        cairo_set_source_rgb(cr_, 0.7, 0.7, 0.7);
        cairo_set_line_width(cr_, 0.4);
        cairo_move_to(cr_, left(), y_);
        cairo_line_to(cr_, left() + contentWidth(), y_);
        cairo_stroke(cr_);
    }

  private:
    static constexpr double kMargin = 42.0;

    PangoLayout* layoutFor(const std::string& text, const Font& font) {
        PangoLayout* layout = pango_cairo_create_layout(cr_);
        PangoFontDescription* desc = pango_font_description_new();
        pango_font_description_set_family(desc, "Sans");
        pango_font_description_set_absolute_size(desc, font.size * PANGO_SCALE);
        pango_font_description_set_weight(desc,
                                          font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_layout_set_font_description(layout, desc);
        pango_font_description_free(desc);
        pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
        return layout;
    }

    void finishPage() {
        const double saved = y_;
        y_ = height_ - kMargin;
        text(left(), contentWidth(), footer_ + " — page " + std::to_string(page_), Font{7.0}, false,
             Align::Right, Colour{0.35, 0.35, 0.35});
        y_ = saved;
    }

    double width_;
    double height_;
    std::string footer_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    double y_ = 0.0;
    int page_ = 1;
};

void pdfEndpoint(PdfDocument& doc, const ReportEndpoint& e, PAdjust adjust) {
    doc.newPage();
    doc.paragraph("Endpoint " + e.name, Font{13.0, true}, 2.0);
    doc.rule();
    doc.advance(4.0);
    doc.paragraph("Reference station " + e.settings.reference + ": n " +
                      std::to_string(e.referenceValues.size()) + ", mean ± SD " +
                      number(e.referenceMean) + " ± " + number(e.referenceSd) + "; alternative " +
                      alternativeWords(e.settings.alternative) + " at alpha " + e.settings.alpha +
                      ", transformation " +
                      std::string(transformationCaption(e.settings.transformation)) + ".",
                  Font{9.0});
    std::vector<std::string> head = {"Station", "n",         "Mean ± SD", "% ref",
                                     "Test",    "Statistic", "p"};
    std::vector<double> widths = {0.12, 0.04, 0.13, 0.08, 0.15, 0.08, 0.07};
    std::vector<bool> numeric = {false, true, true, true, false, true, true};
    if (adjust != PAdjust::None) {
        head.emplace_back("Adj. p");
        widths.push_back(0.07);
        numeric.push_back(true);
    }
    head.emplace_back("Verdict");
    double used = 0.0;
    for (const double w : widths) {
        used += w;
    }
    widths.push_back(1.0 - used);
    numeric.push_back(false);
    const Font cell{7.5};
    doc.row(head, widths, numeric, Font{7.5, true}, true);
    std::vector<std::string> notes;
    for (const ReportStation& s : e.stations) {
        std::vector<std::string> cells = {s.station,
                                          std::to_string(s.n),
                                          meanSd(s),
                                          percentText(s.percentOfReference),
                                          s.test.empty() ? "–" : s.test,
                                          number(s.statistic),
                                          pText(s.p)};
        if (adjust != PAdjust::None) {
            cells.push_back(pText(s.pAdjusted));
        }
        cells.push_back(verdictCell(s, e, adjust));
        // A table that runs on to the next page repeats its header there.
        if (!doc.fits(cell.size * 1.5)) {
            doc.newPage();
            doc.row(head, widths, numeric, Font{7.5, true}, true);
        }
        doc.row(cells, widths, numeric, cell, false);
        if (s.refused) {
            notes.push_back(s.station + ": refused: " + s.refusal);
        }
        for (const std::string& w : s.warnings) {
            notes.push_back(s.station + ": " + w);
        }
    }
    doc.advance(6.0);
    if (!notes.empty()) {
        doc.paragraph("Notes", Font{10.0, true}, 2.0);
        for (const std::string& n : notes) {
            doc.paragraph("• " + n, Font{8.0}, 1.0);
        }
        doc.advance(4.0);
    }
    doc.paragraph("Replicate plots (● station, □ reference, bars at the means)", Font{10.0, true},
                  3.0);
    const int columns = 4;
    const double w = doc.contentWidth() / columns;
    const double h = w * 0.78;
    PlotStyle style;
    style.font.size = 6.5;
    for (std::size_t i = 0; i < e.stations.size(); ++i) {
        const int col = static_cast<int>(i % columns);
        if (col == 0) {
            doc.need(h);
        }
        CairoCanvas canvas(doc.context());
        drawReplicatePlot(canvas, {panelOf(e.stations[i], e)},
                          Area{doc.left() + col * w, doc.y(), w, h}, style);
        if (col == columns - 1 || i + 1 == e.stations.size()) {
            doc.advance(h);
        }
    }
    doc.advance(6.0);
    doc.paragraph("How each test was chosen", Font{10.0, true}, 2.0);
    for (const ReportStation& s : e.stations) {
        doc.paragraph(s.station + ": " + (s.refused ? "refused (" + s.refusal + ")" : s.trail),
                      Font{7.5}, 1.0);
    }
}

}  // namespace

Paper defaultPaper() {
    locale_t loc = newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) {
        return Paper::A4;
    }
    // glibc gives the paper's width in millimetres as an integer in the pointer's place.
    const auto width = reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_WIDTH, loc));
    freelocale(loc);
    return width == 216 ? Paper::Letter : Paper::A4;
}

std::string surveyReportPdf(const SurveyReport& report, Paper paper) {
    std::string bytes;
    {
        PdfDocument doc(bytes, paper, report.project + " — " + report.createdAt);
        doc.paragraph(report.title + ": " + report.project, Font{16.0, true}, 6.0);
        const std::vector<double> metaWidths = {0.22, 0.78};
        const std::vector<bool> plain = {false, false};
        for (const auto& [what, text] : headerRows(report)) {
            doc.row({what, text}, metaWidths, plain, Font{8.5}, false);
        }
        doc.advance(10.0);
        doc.paragraph("Plan as applied", Font{12.0, true}, 3.0);
        const std::vector<double> w = {0.2, 0.16, 0.16, 0.22, 0.1, 0.16};
        const std::vector<bool> n(6, false);
        doc.row({"Endpoint", "Reference", "Transformation", "Alternative", "Alpha", "Power"}, w, n,
                Font{8.0, true}, true);
        for (const ReportEndpoint& e : report.endpoints) {
            const SettingRow r = settingRow(e);
            doc.row({r.endpoint, r.reference, r.transformation, r.alternative, r.alpha, r.power}, w,
                    n, Font{8.0}, false);
        }
        doc.advance(10.0);
        doc.paragraph("Reading this report", Font{12.0, true}, 3.0);
        for (const char* p : kReading) {
            doc.paragraph(p, Font{8.5});
        }
        for (const ReportEndpoint& e : report.endpoints) {
            pdfEndpoint(doc, e, report.pAdjust);
        }
    }
    return bytes;
}

}  // namespace bx::drawing
