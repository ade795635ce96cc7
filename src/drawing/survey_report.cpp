#include "drawing/survey_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>

#include "base/text_format.h"
#include "base/version.h"
#include "drawing/replicate_plot.h"
#include "drawing/report_text.h"
#include "drawing/svg_canvas.h"
#include "statistics/decision_trail.h"

namespace bx::drawing {
namespace {

std::string format(const char* pattern, double v) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, v);
    return text;
}

}  // namespace

namespace report_text {

std::string number(double v) {
    return std::isfinite(v) ? format("%.4g", v) : "–";
}

std::string pText(double p) {
    if (!std::isfinite(p)) {
        return "–";
    }
    return p < 0.0001 ? "< 0.0001" : format("%.4f", p);
}

std::string meanSd(const ReportStation& s) {
    if (s.n == 0 || !std::isfinite(s.mean)) {
        return "–";
    }
    return number(s.mean) + " ± " + number(s.sd);
}

std::string percentText(const std::optional<double>& p) {
    return p && std::isfinite(*p) ? format("%.1f %%", *p) : "–";
}

}  // namespace report_text

using namespace report_text;

namespace {

// Every number of a value text, read whole; others are left out of the plot.
std::vector<double> numbersOf(const std::vector<std::string>& texts) {
    std::vector<double> out;
    for (const std::string& t : texts) {
        char* end = nullptr;
        const double v = std::strtod(t.c_str(), &end);
        if (end != t.c_str() && *end == '\0' && std::isfinite(v)) {
            out.push_back(v);
        }
    }
    return out;
}

std::pair<double, double> meanAndSd(const std::vector<double>& v) {
    if (v.empty()) {
        return {kNaN, kNaN};
    }
    double sum = 0.0;
    for (const double x : v) {
        sum += x;
    }
    const double mean = sum / static_cast<double>(v.size());
    if (v.size() < 2) {
        return {mean, kNaN};
    }
    double ss = 0.0;
    for (const double x : v) {
        ss += (x - mean) * (x - mean);
    }
    return {mean, std::sqrt(ss / static_cast<double>(v.size() - 1))};
}

std::string stepWords(const DecisionStep& s, const Comparison& c) {
    const auto with = [&](const char* what, const char* symbol) {
        std::string w = what;
        if (s.statistic && s.criticalValue) {
            w += std::string(" (") + symbol + " " + number(*s.statistic) + ", critical " +
                 number(*s.criticalValue) + ")";
        }
        return w;
    };
    switch (s.step) {
        case Step::ReferenceWithoutSpread:
            return "reference without spread";
        case Step::ShapiroWilk:
            return s.outcome == Outcome::Normal      ? with("residuals normal", "W")
                   : s.outcome == Outcome::NotNormal ? with("residuals not normal", "W")
                                                     : "normality not testable";
        case Step::Override:
            return s.outcome == Outcome::OverrideAccepted ? "normality overridden"
                                                          : "override declined";
        case Step::Levene:
            return s.outcome == Outcome::EqualVariances ? with("equal variances", "Levene t")
                                                        : with("unequal variances", "Levene t");
        case Step::Rankits:
            return "rankits";
        case Step::LeveneOnRankits:
            return s.outcome == Outcome::EqualVariances
                       ? with("rankits' variances equal", "Levene t")
                       : with("rankits' variances unequal", "Levene t");
        case Step::Test:
            return std::string(c.test ? testName(*c.test) : "") +
                   (s.outcome == Outcome::RejectNull ? " rejects the null hypothesis"
                                                     : " keeps the null hypothesis");
    }
    return "";
}

std::string trailOf(const Comparison& c) {
    std::string out;
    for (const DecisionStep& s : decisionSteps(c)) {
        out += (out.empty() ? "" : " → ") + stepWords(s, c);
    }
    return out;
}

std::string verdictMark(const ReportStation& s, Alternative alternative) {
    if (s.refused) {
        return "✕";
    }
    if (!s.rejectNull) {
        return "=";
    }
    return alternative == Alternative::Less ? "▼" : "▲";
}

std::string shortLabel(const std::string& s) {
    // At most 12 characters (of UTF-8 text: cut only before a lead byte).
    if (s.size() <= 12) {
        return s;
    }
    std::size_t cut = 11;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return s.substr(0, cut) + "…";
}

}  // namespace

namespace report_text {

std::string verdictCell(const ReportStation& s, const ReportEndpoint& e, PAdjust adjust) {
    std::string out =
        verdictMark(s, e.settings.alternative) + " " + verdictWords(s, e.settings.alternative);
    if (adjust != PAdjust::None && s.rejectNull && std::isfinite(s.pAdjusted) &&
        s.pAdjusted > std::strtod(e.settings.alpha.c_str(), nullptr)) {
        out += " (adj.: n.s.)";
    }
    return out;
}

std::string adjustName(PAdjust a) {
    return a == PAdjust::Holm ? "Holm" : a == PAdjust::Bonferroni ? "Bonferroni" : "none";
}

PlotPanel panelOf(const ReportStation& s, const ReportEndpoint& e) {
    PlotPanel p;
    p.title = s.station + ": " + verdictMark(s, e.settings.alternative);
    p.test.label = shortLabel(s.station);
    p.test.values = s.values;
    p.test.mean = meanAndSd(s.values).first;
    if (!std::isfinite(*p.test.mean)) {
        p.test.mean.reset();
    }
    p.reference.label = shortLabel(e.settings.reference);
    p.reference.values = e.referenceValues;
    if (std::isfinite(e.referenceMean)) {
        p.reference.mean = e.referenceMean;
    }
    return p;
}

// "x1 < x2 (station below reference)".
std::string alternativeWords(Alternative a) {
    return std::string(alternativeCaption(a)) +
           (a == Alternative::Less ? " (station below reference)" : " (station above reference)");
}

std::vector<std::pair<const char*, std::string>> headerRows(const SurveyReport& report) {
    return {{"Project", report.project},
            {"Survey file", report.surveyFile},
            {"SHA-256", report.surveySha256},
            {"Date and time", report.createdAt},
            {"Program", std::string(kProgramName) + " " + kVersion},
            {"p-value adjustment", adjustName(report.pAdjust)}};
}

SettingRow settingRow(const ReportEndpoint& e) {
    return {e.name,
            e.settings.reference,
            std::string(transformationCaption(e.settings.transformation)),
            alternativeWords(e.settings.alternative),
            e.settings.alpha,
            e.settings.powerDifference ? "D = " + *e.settings.powerDifference : "off"};
}

const std::array<const char*, 4> kReading = {
    "Each station is compared with its endpoint's reference station by a one-sided test of the "
    "hypothesis the plan names (the station's mean below, or above, the reference's).",
    "The test is chosen step by step: the residuals are tested for normality (Shapiro-Wilk); if "
    "they pass, the variances are compared (Levene's test) and Student's t (equal variances) or "
    "the approximate t (unequal variances) decides. If they fail, the Mann-Whitney rank test "
    "decides, or with enough replicates the values are replaced by rankits and tested again. A "
    "reference without spread leads to the one-sample t-test. The line under each endpoint "
    "shows the steps each station took.",
    "The verdict compares the test statistic with its critical value at the plan's alpha: "
    "\"Lower than reference\" (or \"Higher\") means the difference is significant at that level; "
    "\"No significant difference\" means the data do not show one, which is not proof that the "
    "samples are alike.",
    "The p-value is the chance, were there no difference, of a statistic at least as extreme as "
    "the one found. The adjusted p accounts for the many comparisons of a survey, when the run "
    "asked for an adjustment; \"(adj.: n.s.)\" marks a verdict whose adjusted p is above alpha.",
};

}  // namespace report_text

namespace {

// ----------------------------------------------------------------- HTML

const char* const kStyle = R"(
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 10pt; color: #000;
       margin: 1.5em; }
h1 { font-size: 16pt; margin: 0 0 .4em; }
h2 { font-size: 13pt; border-bottom: 1px solid #888; margin-top: 1.6em; }
h3 { font-size: 11pt; margin: 1em 0 .3em; }
table { border-collapse: collapse; margin: .3em 0 .8em; }
th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; vertical-align: top; }
th { background: #eee; }
td.num { text-align: right; font-variant-numeric: tabular-nums; }
table.meta th { width: 11em; }
.plots { display: flex; flex-wrap: wrap; gap: 6px; }
figure { margin: 0; break-inside: avoid; page-break-inside: avoid; }
ul.trail li, ul.notes li { margin: .1em 0; }
@media print {
  body { margin: 0; font-size: 9pt; }
  section.endpoint { break-before: page; page-break-before: always; }
  thead { display: table-header-group; }
  tr, figure { break-inside: avoid; page-break-inside: avoid; }
  th { background: none; }
}
@page { margin: 15mm; }
)";

std::string esc(std::string_view s) {
    return xmlEscaped(s);
}

void htmlEndpoint(std::string& out, const ReportEndpoint& e, PAdjust adjust, TextMeasure measure) {
    out += "<section class=\"endpoint\">\n<h2>Endpoint " + esc(e.name) + "</h2>\n";
    const auto [rm, rs] = std::pair(e.referenceMean, e.referenceSd);
    out += "<p>Reference station <b>" + esc(e.settings.reference) + "</b>: n " +
           std::to_string(e.referenceValues.size()) + ", mean ± SD " + number(rm) + " ± " +
           number(rs) + "; alternative " + esc(alternativeWords(e.settings.alternative)) +
           " at alpha " + esc(e.settings.alpha) + ", transformation " +
           esc(transformationCaption(e.settings.transformation)) + ".</p>\n";
    out +=
        "<table class=\"results\">\n<thead><tr><th>Station</th><th>n</th><th>Mean ± SD</th>"
        "<th>% of reference</th><th>Test</th><th>Statistic</th><th>p</th>";
    if (adjust != PAdjust::None) {
        out += "<th>Adjusted p</th>";
    }
    out += "<th>Verdict</th></tr></thead>\n<tbody>\n";
    std::string notes;
    for (const ReportStation& s : e.stations) {
        out += "<tr><td>" + esc(s.station) + "</td><td class=\"num\">" + std::to_string(s.n) +
               "</td><td class=\"num\">" + esc(meanSd(s)) + "</td><td class=\"num\">" +
               esc(percentText(s.percentOfReference)) + "</td><td>" +
               esc(s.test.empty() ? "–" : s.test) + "</td><td class=\"num\">" +
               number(s.statistic) + "</td><td class=\"num\">" + esc(pText(s.p)) + "</td>";
        if (adjust != PAdjust::None) {
            out += "<td class=\"num\">" + esc(pText(s.pAdjusted)) + "</td>";
        }
        out += "<td>" + esc(verdictCell(s, e, adjust)) + "</td></tr>\n";
        if (s.refused) {
            notes += "<li>" + esc(s.station) + ": refused: " + esc(s.refusal) + "</li>\n";
        }
        for (const std::string& w : s.warnings) {
            notes += "<li>" + esc(s.station) + ": " + esc(w) + "</li>\n";
        }
    }
    out += "</tbody>\n</table>\n";
    if (!notes.empty()) {
        out += "<h3>Notes</h3>\n<ul class=\"notes\">\n" + notes + "</ul>\n";
    }
    out += "<h3>Replicate plots</h3>\n<div class=\"plots\">\n";
    PlotStyle style;
    style.font.size = 7.0;
    for (const ReportStation& s : e.stations) {
        SvgCanvas canvas(150.0, 115.0, measure);
        drawReplicatePlot(canvas, {panelOf(s, e)}, Area{0, 0, 150.0, 115.0}, style);
        out += "<figure>" + canvas.svg() + "</figure>\n";
    }
    out += "</div>\n<h3>How each test was chosen</h3>\n<ul class=\"trail\">\n";
    for (const ReportStation& s : e.stations) {
        out += "<li>" + esc(s.station) + ": " +
               esc(s.refused ? "refused (" + s.refusal + ")" : s.trail) + "</li>\n";
    }
    out += "</ul>\n</section>\n";
}

}  // namespace

ReportStation reportStation(const std::string& station, const Comparison& c) {
    ReportStation s;
    s.station = station;
    if (!c.completed()) {
        return s;
    }
    const SampleStatistics& t = c.testSample;
    s.n = t.count;
    s.values.assign(t.values.begin(), t.values.begin() + t.count);
    s.mean = t.mean;
    s.sd = t.sd;
    s.percentOfReference = c.percentOfReference();
    s.test = std::string(testName(*c.test));
    if (c.rankitsUsed() && c.test != TestKind::MannWhitney) {
        s.test += " on rankits";
    }
    s.statistic = c.statistic();
    s.critical = c.criticalValue();
    s.p = c.pValue();
    s.rejectNull = !c.acceptNull();
    s.trail = trailOf(c);
    return s;
}

ComparisonSettings settingsOfRun(const AnalysisOptions& options, const std::string& reference) {
    ComparisonSettings s;
    s.reference = reference;
    s.alternative = options.alternative;
    s.alpha = format("%g", options.alpha);
    s.transformation = options.transformation;
    if (options.power && options.minimumDifference != 0.0) {
        s.powerDifference = format("%g", options.minimumDifference);
    }
    return s;
}

std::string verdictWords(const ReportStation& s, Alternative alternative) {
    if (s.refused) {
        return "Refused";
    }
    if (!s.rejectNull) {
        return "No significant difference";
    }
    return alternative == Alternative::Less ? "Lower than reference" : "Higher than reference";
}

SurveyReportBuilder::SurveyReportBuilder(const Survey& survey, const SurveyRun& run,
                                         SurveyReport header)
    : survey_(survey), report_(std::move(header)) {
    for (std::size_t g = 0; g < survey.groups().size(); ++g) {
        ReportEndpoint e;
        for (const std::string& part : survey.groups()[g]) {
            e.name += (e.name.empty() ? "" : "/") + part;
        }
        if (e.name.empty()) {
            e.name = "all samples";
        }
        e.settings = run.settingsOf(g);
        if (const std::optional<std::size_t> ref = survey.find(e.settings.reference, g)) {
            e.referenceValues = numbersOf(survey.sample(*ref).values);
            std::tie(e.referenceMean, e.referenceSd) = meanAndSd(e.referenceValues);
        }
        report_.endpoints.push_back(std::move(e));
    }
    referenceSet_.assign(report_.endpoints.size(), false);
}

void SurveyReportBuilder::add(const ComparisonResult& r) {
    if (r.group >= report_.endpoints.size()) {
        return;
    }
    ReportEndpoint& e = report_.endpoints[r.group];
    ReportStation s;
    s.station = r.sampleId;
    s.refused = r.refused();
    s.refusal = r.refusal;
    s.p = r.pValue;
    s.pAdjusted = r.pAdjusted;
    s.rejectNull = r.rejectNull;
    std::size_t start = 0;
    while (start < r.messages.size()) {
        std::size_t end = r.messages.find('\n', start);
        if (end == std::string::npos) {
            end = r.messages.size();
        }
        if (end > start) {
            s.warnings.push_back(r.messages.substr(start, end - start));
        }
        start = end + 1;
    }
    const Comparison* c = r.record ? &r.record->result : nullptr;
    if (c != nullptr && c->completed()) {
        ReportStation full = reportStation(s.station, *c);
        full.refused = s.refused;
        full.refusal = s.refusal;
        full.p = s.p;
        full.pAdjusted = s.pAdjusted;
        full.rejectNull = s.rejectNull;
        full.warnings = std::move(s.warnings);
        s = std::move(full);
        // The reference as the runs analysed it (its leading ten values at most).
        if (!referenceSet_[r.group]) {
            const SampleStatistics& ref = c->referenceSample;
            e.referenceValues.assign(ref.values.begin(), ref.values.begin() + ref.count);
            e.referenceMean = ref.mean;
            e.referenceSd = ref.sd;
            referenceSet_[r.group] = true;
        }
    } else if (const std::optional<std::size_t> i = survey_.find(r.sampleId, r.group)) {
        s.values = numbersOf(survey_.sample(*i).values);
        s.n = static_cast<int>(s.values.size());
        std::tie(s.mean, s.sd) = meanAndSd(s.values);
    }
    e.stations.push_back(std::move(s));
}

std::string reportTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
    return text;
}

std::string surveyReportHtml(const SurveyReport& report, TextMeasure measure) {
    std::string out;
    out.reserve(4096 + report.endpoints.size() * 65536);
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           esc(report.title) + ": " + esc(report.project) + "</title>\n<style>" + kStyle +
           "</style>\n</head>\n<body>\n";
    out += "<header>\n<h1>" + esc(report.title) + ": " + esc(report.project) +
           "</h1>\n<table class=\"meta\">";
    for (const auto& [what, text] : headerRows(report)) {
        out += "<tr><th>" + std::string(what) + "</th><td>" + esc(text) + "</td></tr>\n";
    }
    out +=
        "</table>\n<h2>Plan as applied</h2>\n<table class=\"plan\"><thead><tr><th>Endpoint"
        "</th><th>Reference</th><th>Transformation</th><th>Alternative</th><th>Alpha</th>"
        "<th>Power</th></tr></thead>\n<tbody>\n";
    for (const ReportEndpoint& e : report.endpoints) {
        const SettingRow r = settingRow(e);
        out += "<tr><td>" + esc(r.endpoint) + "</td><td>" + esc(r.reference) + "</td><td>" +
               esc(r.transformation) + "</td><td>" + esc(r.alternative) + "</td><td>" +
               esc(r.alpha) + "</td><td>" + esc(r.power) + "</td></tr>\n";
    }
    out += "</tbody></table>\n</header>\n";
    for (const ReportEndpoint& e : report.endpoints) {
        htmlEndpoint(out, e, report.pAdjust, measure);
    }
    out += "<section class=\"reading\">\n<h2>Reading this report</h2>\n";
    for (const char* p : kReading) {
        out += "<p>" + esc(p) + "</p>\n";
    }
    out += "</section>\n</body>\n</html>\n";
    return out;
}

}  // namespace bx::drawing
