// SPDX-License-Identifier: MIT
#pragma once
// The survey report as PDF, laid out by pango on A4 or US Letter: the same contents as the HTML
// page (drawing/survey_report.h), in pages.

#include <string>

#include "drawing/survey_report.h"

namespace bx::drawing {

enum class Paper { A4, Letter };
// The paper of the locale's LC_PAPER (US Letter where it is 216 mm wide), A4 otherwise.
Paper defaultPaper();

std::string surveyReportPdf(const SurveyReport& report, Paper paper);

}  // namespace bx::drawing
