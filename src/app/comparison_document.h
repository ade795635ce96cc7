#pragma once
// The report document of the window's last run: the survey report's form (title block, table,
// plot, how the test was chosen, how to read it) with the one comparison, as PDF or HTML.

#include <string>

#include "drawing/cairo/survey_report_pdf.h"
#include "drawing/survey_report.h"

namespace bx {

class MainWindow;

// The document of the run the window shows; `source` names where the values came from (a
// sample data file, or empty for values entered). A run the entry check or the analysis
// refused is listed with its reason and without numbers.
drawing::SurveyReport comparisonDocument(const MainWindow& w, const std::string& source);

// True for a name the document is written as (.pdf, .html or .htm, any case).
bool isDocumentName(const std::string& path);

// The document's bytes: PDF for a .pdf name, HTML otherwise.
std::string comparisonDocumentBytes(const drawing::SurveyReport& report, const std::string& path,
                                    drawing::Paper paper);

}  // namespace bx
