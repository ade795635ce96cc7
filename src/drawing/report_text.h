// SPDX-License-Identifier: MIT
#pragma once
// The texts both writers of the survey report set, HTML (survey_report.cpp) and PDF
// (cairo/survey_report_pdf.cpp): the numbers and cells of a station's row, the plan's rows, a
// station's plot panel and the account of how to read the report.

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "drawing/replicate_plot.h"
#include "drawing/survey_report.h"

namespace bx::drawing::report_text {

// Four significant digits; "–" for a number that is not there.
std::string number(double v);
// Four decimals, "< 0.0001" below; "–" when not there.
std::string pText(double p);
// "mean ± SD"; "–" without values.
std::string meanSd(const ReportStation& s);
// "87.5 %"; "–" when not there.
std::string percentText(const std::optional<double>& p);
// The mark and words of a verdict, "(adj.: n.s.)" when the adjusted p is above alpha.
std::string verdictCell(const ReportStation& s, const ReportEndpoint& e, PAdjust adjust);
// "none", "Holm", "Bonferroni".
std::string adjustName(PAdjust a);
// "x1 < x2 (station below reference)".
std::string alternativeWords(Alternative a);
// A station's replicate plot beside its endpoint's reference.
PlotPanel panelOf(const ReportStation& s, const ReportEndpoint& e);

// The title block's rows: what, and its text.
std::vector<std::pair<const char*, std::string>> headerRows(const SurveyReport& report);

struct SettingRow {
    std::string endpoint, reference, transformation, alternative, alpha, power;
};
SettingRow settingRow(const ReportEndpoint& e);

// The paragraphs of "Reading this report".
extern const std::array<const char*, 4> kReading;

}  // namespace bx::drawing::report_text
