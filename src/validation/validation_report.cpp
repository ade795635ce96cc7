// SPDX-License-Identifier: MIT
#include "validation/validation_report.h"

#include "base/text_format.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace bx {
namespace {

const char* const kTitle = "Benthix installation and operational qualification";

const char* const kScope =
    "What this shows: the installed tables and templates are byte for byte those the build "
    "wrote (size and SHA-256 against tables.manifest); table values agree with the published "
    "tables; and the installed program's analysis gives, for a fixed set of data covering every "
    "test, both alternatives, both alpha levels, every transformation and the power, the test, "
    "statistic, critical value, degrees of freedom, p-value, verdict and power that R computes "
    "independently. What it does not show: that data are entered correctly, that the chosen "
    "options suit the study, or that other copies or later versions behave the same.";

std::string pad(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string passText(bool pass) {
    return pass ? "PASS" : "FAIL";
}

std::string valueOf(const CaseOutcome& c, const char* field) {
    for (const FieldCheck& f : c.fields) {
        if (f.name == field) {
            return f.actual;
        }
    }
    return "";
}

std::vector<std::pair<std::string, std::string>> facts(const ValidationResult& r) {
    const Environment& e = r.environment;
    return {{"Date", e.dateTime},
            {"Program", e.version + " (released " + e.releaseDate + ", built " + e.buildDate + ")"},
            {"Compiler", e.compiler},
            {"Libraries", e.libraries},
            {"System", e.system},
            {"Runs from", e.executable},
            {"Tables from", e.programFolder}};
}

}  // namespace

std::string validationText(const ValidationResult& r) {
    std::ostringstream out;
    out << kTitle << "\n\n";
    for (const auto& [label, value] : facts(r)) {
        out << pad(label + ":", 13) << value << '\n';
    }
    out << "\nTables and templates against tables.manifest (size, SHA-256)\n";
    if (!r.manifestProblem.empty()) {
        out << "  FAIL  " << r.manifestProblem << '\n';
    }
    for (const FileOutcome& f : r.files) {
        out << "  " << passText(f.pass()) << "  " << pad(f.fileName, 16) << pad(f.actualSize, 8)
            << f.actualSha256 << '\n';
        if (!f.pass()) {
            out << "        " << f.problem << ": expected " << f.expectedSize << " bytes, "
                << f.expectedSha256 << '\n';
        }
    }
    out << "\nTable values against the published tables\n";
    for (const TableValueOutcome& v : r.tableValues) {
        std::string key = v.value.table + " " + validationNumber(v.value.first);
        if (v.value.table != "POWERT") {
            key += " " + validationNumber(v.value.second);
        }
        if (v.value.level != 0.0) {
            key += " at " + validationNumber(v.value.level);
        }
        out << "  " << passText(v.pass) << "  " << pad(key, 22) << pad(v.actual, 10) << "published "
            << pad(v.value.expected, 9) << v.value.source << '\n';
    }
    out << "\nReference comparisons (expected values by R: validation/reference.R)\n";
    out << "        " << pad("case", 5) << pad("path", 13) << pad("options", 33) << pad("test", 14)
        << pad("statistic", 15) << pad("critical", 9) << pad("df", 4) << pad("p-value", 13)
        << pad("verdict", 8) << "power %\n";
    for (const CaseOutcome& c : r.cases) {
        out << "  " << passText(c.pass()) << "  " << pad(std::to_string(c.reference.id), 5)
            << pad(c.reference.path, 13) << pad(caseOptionsText(c.reference), 33)
            << pad(valueOf(c, "test"), 14) << pad(valueOf(c, "statistic"), 17)
            << pad(valueOf(c, "critical"), 9) << pad(valueOf(c, "df"), 5)
            << pad(valueOf(c, "p-value"), 17) << pad(valueOf(c, "verdict"), 8)
            << valueOf(c, "power %") << '\n';
        if (!c.problem.empty()) {
            out << "        " << c.problem << '\n';
        }
        for (const FieldCheck& f : c.fields) {
            if (!f.pass) {
                out << "        " << f.name << ": " << f.actual << ", expected " << f.expected
                    << " (tolerance " << f.tolerance << ")\n";
            }
        }
    }
    out << "\nTolerances: statistic 1e-9 relative, p-value 1e-9 absolute, critical t 0.0005 "
           "(three decimals), critical U exact, df and verdict exact, power 0.005 percent.\n";
    out << "\nSummary: " << r.summary() << '\n';
    out << (r.passed() ? "VALIDATION PASSED" : "VALIDATION FAILED") << '\n';
    return out.str();
}

std::string validationHtml(const ValidationResult& r) {
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>" << kTitle
        << "</title>\n<style>\n"
           "body{font-family:sans-serif;font-size:10pt;margin:2em}\n"
           "table{border-collapse:collapse;margin:0.5em 0 1.5em}\n"
           "th,td{border:1px solid #999;padding:2px 5px;text-align:left;vertical-align:top}\n"
           "td.n{text-align:right;font-family:monospace}\n"
           ".pass{color:#060;font-weight:bold}.fail{color:#b00;font-weight:bold}\n"
           "small{color:#555}\n.sign td{height:2.5em;min-width:14em}\n"
           "@media print{body{margin:0}}\n</style></head><body>\n";
    out << "<h1>" << kTitle << "</h1>\n<table>\n";
    for (const auto& [label, value] : facts(r)) {
        out << "<tr><th>" << xmlEscaped(label) << "</th><td>" << xmlEscaped(value)
            << "</td></tr>\n";
    }
    out << "</table>\n<p>" << xmlEscaped(kScope) << "</p>\n";
    out << "<h2>Summary</h2>\n<p class=\"" << (r.passed() ? "pass" : "fail") << "\">"
        << (r.passed() ? "VALIDATION PASSED" : "VALIDATION FAILED") << ": "
        << xmlEscaped(r.summary()) << "</p>\n";

    const auto mark = [](bool pass) {
        return std::string("<td class=\"") + (pass ? "pass\">PASS" : "fail\">FAIL") + "</td>";
    };
    out << "<h2>Tables and templates against tables.manifest</h2>\n";
    if (!r.manifestProblem.empty()) {
        out << "<p class=\"fail\">" << xmlEscaped(r.manifestProblem) << "</p>\n";
    }
    out << "<table><tr><th>Result</th><th>File</th><th>Size</th><th>SHA-256</th>"
           "<th>Problem</th></tr>\n";
    for (const FileOutcome& f : r.files) {
        out << "<tr>" << mark(f.pass()) << "<td>" << xmlEscaped(f.fileName)
            << "</td><td class=\"n\">" << xmlEscaped(f.actualSize) << "</td><td class=\"n\">"
            << xmlEscaped(f.actualSha256) << "</td><td>" << xmlEscaped(f.problem) << "</td></tr>\n";
    }
    out << "</table>\n<h2>Table values against the published tables</h2>\n"
           "<table><tr><th>Result</th><th>Table</th><th>Key</th><th>Installed</th>"
           "<th>Published</th><th>Tolerance</th><th>Source</th></tr>\n";
    for (const TableValueOutcome& v : r.tableValues) {
        std::string key = validationNumber(v.value.first);
        if (v.value.table != "POWERT") {
            key += ", " + validationNumber(v.value.second);
        }
        if (v.value.level != 0.0) {
            key += " at " + validationNumber(v.value.level);
        }
        out << "<tr>" << mark(v.pass) << "<td>" << xmlEscaped(v.value.table) << "</td><td>"
            << xmlEscaped(key) << "</td><td class=\"n\">" << xmlEscaped(v.actual)
            << "</td><td class=\"n\">" << xmlEscaped(v.value.expected) << "</td><td class=\"n\">"
            << xmlEscaped(v.tolerance) << "</td><td>" << xmlEscaped(v.value.source)
            << "</td></tr>\n";
    }
    out << "</table>\n<h2>Reference comparisons</h2>\n<p>Expected values computed by R "
           "(validation/reference.R); each cell shows the installed program's value and, below "
           "it, R's. Tolerances: statistic 1e-9 relative, p-value 1e-9 absolute, critical t "
           "0.0005, critical U, df, test and verdict exact, power 0.005 percent.</p>\n"
           "<table><tr><th>Result</th><th>Case</th><th>Path</th><th>Test values</th>"
           "<th>Reference values</th><th>Options</th>";
    if (!r.cases.empty()) {
        for (const FieldCheck& f : r.cases.front().fields) {
            out << "<th>" << xmlEscaped(f.name) << "</th>";
        }
    }
    out << "</tr>\n";
    for (const CaseOutcome& c : r.cases) {
        std::string test, reference;
        for (const double v : c.reference.test) {
            test += (test.empty() ? "" : " ") + validationNumber(v);
        }
        for (const double v : c.reference.reference) {
            reference += (reference.empty() ? "" : " ") + validationNumber(v);
        }
        out << "<tr>" << mark(c.pass()) << "<td class=\"n\">" << c.reference.id << "</td><td>"
            << xmlEscaped(c.reference.path) << "</td><td>" << xmlEscaped(test) << "</td><td>"
            << xmlEscaped(reference) << "</td><td>" << xmlEscaped(caseOptionsText(c.reference));
        if (!c.problem.empty()) {
            out << "<br><span class=\"fail\">" << xmlEscaped(c.problem) << "</span>";
        }
        out << "</td>";
        for (const FieldCheck& f : c.fields) {
            out << "<td class=\"n" << (f.pass ? "" : " fail") << "\">" << xmlEscaped(f.actual)
                << "<br><small>" << xmlEscaped(f.expected) << "</small></td>";
        }
        out << "</tr>\n";
    }
    out << "</table>\n<h2>Signatures</h2>\n<table class=\"sign\">"
           "<tr><th></th><th>Name</th><th>Signature</th><th>Date</th></tr>\n"
           "<tr><th>Performed by</th><td></td><td></td><td></td></tr>\n"
           "<tr><th>Reviewed by</th><td></td><td></td><td></td></tr>\n"
           "</table>\n</body></html>\n";
    return out.str();
}

std::string writeValidationPdf(const ValidationResult& r, const std::string& path) {
    // A4 landscape in points, the text in a monospaced face small enough for the widest line.
    constexpr double kWidth = 842.0;
    constexpr double kHeight = 595.0;
    constexpr double kMargin = 36.0;
    constexpr double kFontSize = 7.2;
    constexpr double kLineHeight = 8.8;
    cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), kWidth, kHeight);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        const std::string cause = cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return cause;
    }
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, kTitle);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "monospace", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kFontSize);

    std::vector<std::string> lines;
    std::istringstream text(validationText(r) + "\n" + kScope + "\n\n" +
                            "Performed by (name, signature, date): ______________________"
                            "__________________________\n\n" +
                            "Reviewed by (name, signature, date):  ______________________"
                            "__________________________\n");
    for (std::string line; std::getline(text, line);) {
        // The scope paragraph is one line; break it at blanks to the page's width.
        while (line.size() > 190) {
            std::size_t cut = line.rfind(' ', 190);
            if (cut == std::string::npos) {
                cut = 190;
            }
            lines.push_back(line.substr(0, cut));
            line = line.substr(cut + 1);
        }
        lines.push_back(line);
    }
    const auto perPage = static_cast<std::size_t>((kHeight - 2 * kMargin) / kLineHeight) - 2;
    const std::size_t pages = (lines.size() + perPage - 1) / perPage;
    for (std::size_t page = 0; page < pages; ++page) {
        double y = kMargin;
        for (std::size_t i = page * perPage; i < lines.size() && i < (page + 1) * perPage; ++i) {
            cairo_move_to(cr, kMargin, y);
            cairo_show_text(cr, lines[i].c_str());
            y += kLineHeight;
        }
        const std::string footer = std::string(kTitle) + ", " + r.environment.dateTime + ", page " +
                                   std::to_string(page + 1) + " of " + std::to_string(pages);
        cairo_move_to(cr, kMargin, kHeight - kMargin / 2);
        cairo_show_text(cr, footer.c_str());
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    return status == CAIRO_STATUS_SUCCESS ? std::string() : cairo_status_to_string(status);
}

std::string writeValidationHtml(const ValidationResult& result, const std::string& path) {
    const std::string temp = path + ".part";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << validationHtml(result);
        file.flush();
        if (!file) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return "cannot write " + temp;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        const std::string cause = ec.message();
        std::filesystem::remove(temp, ec);
        return cause;
    }
    return {};
}

bool isValidationReportName(const std::string& path, bool& pdf) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    pdf = extension == ".pdf";
    return pdf || extension == ".html" || extension == ".htm";
}

std::string writeValidationReport(const ValidationResult& result, const std::string& path) {
    bool pdf = false;
    if (!isValidationReportName(path, pdf)) {
        return "not a .pdf or .html file";
    }
    return pdf ? writeValidationPdf(result, path) : writeValidationHtml(result, path);
}

}  // namespace bx
