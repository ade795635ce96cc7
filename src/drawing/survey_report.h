#pragma once
// The survey report: one document per survey with every station's verdict beside its data and
// the settings used. A title block (project, survey file and its SHA-256, date, program
// version, the plan as applied), per endpoint a table of the stations and their notes, a
// replicate plot per station as small multiples, and a short account of how each test was
// chosen and what the verdict and the p-value mean. Written as a self-contained HTML page
// (inline SVG, a print style sheet, no scripts) here, or as PDF for A4 or US Letter
// (cairo/survey_report_pdf.h, the desktop's).

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "drawing/canvas.h"
#include "survey/runner.h"

namespace bx::drawing {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ReportStation {
    std::string station;
    bool refused = false;
    std::string refusal;
    int n = 0;
    double mean = kNaN;
    double sd = kNaN;
    std::optional<double> percentOfReference;
    std::string test;  // "Student's t", "Mann-Whitney", ...; empty when none ran
    double statistic = kNaN;
    double critical = kNaN;
    double p = kNaN;
    double pAdjusted = kNaN;
    bool rejectNull = false;
    std::vector<std::string> warnings;
    std::vector<double> values;
    std::string trail;  // how the test was chosen, in one line
};

struct ReportEndpoint {
    std::string name;  // the group's values joined by "/"; "all samples" without groups
    ComparisonSettings settings;
    std::vector<double> referenceValues;
    double referenceMean = kNaN;
    double referenceSd = kNaN;
    std::vector<ReportStation> stations;
};

struct SurveyReport {
    std::string title = "Survey report";
    std::string project;
    std::string surveyFile;
    std::string surveySha256;
    std::string createdAt;  // "2026-12-07 14:05 UTC"
    PAdjust pAdjust = PAdjust::None;
    std::vector<ReportEndpoint> endpoints;
};

// The verdict of a station in words: "Lower than reference", "Higher than reference",
// "No significant difference", "Refused".
std::string verdictWords(const ReportStation& s, Alternative alternative);

// A station's row from its comparison: the numbers of a completed run, the way the test was
// chosen; a refused one keeps only its name (the caller sets the refusal).
ReportStation reportStation(const std::string& station, const Comparison& c);

// The settings a comparison ran with, as a plan row would give them.
ComparisonSettings settingsOfRun(const AnalysisOptions& options, const std::string& reference);

// Collects a survey run's results into a report, an endpoint per group of the survey.
class SurveyReportBuilder {
  public:
    SurveyReportBuilder(const Survey& survey, const SurveyRun& run, SurveyReport header);
    // Adds one result (in the order the run hands them on); its record, when it has one, gives
    // the numbers.
    void add(const ComparisonResult& result);
    const SurveyReport& report() const { return report_; }
    SurveyReport take() { return std::move(report_); }

  private:
    const Survey& survey_;
    SurveyReport report_;
    std::vector<bool> referenceSet_;
};

// The report as an HTML page; the plots' layout follows the widths `measure` gives their texts.
std::string surveyReportHtml(const SurveyReport& report, TextMeasure measure);

// "now" as the report's date and time, in UTC.
std::string reportTimestamp();

}  // namespace bx::drawing
