#include "app/comparison_document.h"

#include <cctype>

#include "app/main_window.h"
#include "base/text_format.h"
#include "drawing/cairo/cairo_canvas.h"

namespace bx {
namespace {

std::string extensionOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return ext;
}

std::string orDefault(const std::string& text, const char* fallback) {
    const std::string_view trimmed = trimBlanks(text);
    return trimmed.empty() ? std::string(fallback) : std::string(trimmed);
}

}  // namespace

drawing::SurveyReport comparisonDocument(const MainWindow& w, const std::string& source) {
    drawing::SurveyReport report;
    report.title = "Comparison report";
    report.project = orDefault(w.ui.txtProjectName.text, "comparison");
    report.surveyFile = source.empty() ? std::string("(values entered)") : source;
    report.surveySha256 = "(not applicable)";
    report.createdAt = drawing::reportTimestamp();
    const std::string station = orDefault(w.ui.txtSampId.text, "x1");
    drawing::ReportEndpoint endpoint;
    endpoint.name = "comparison";
    endpoint.settings =
        drawing::settingsOfRun(w.analysis.options, orDefault(w.ui.txtRefId.text, "x2"));
    const std::optional<Comparison>& result = w.analysis.result;
    const bool ran = result && result->completed() && !w.analysis.checked.refusal;
    drawing::ReportStation row;
    row.station = station;
    if (ran) {
        row = drawing::reportStation(station, *result);
        const SampleStatistics& ref = result->referenceSample;
        endpoint.referenceValues.assign(ref.values.begin(), ref.values.begin() + ref.count);
        endpoint.referenceMean = ref.mean;
        endpoint.referenceSd = ref.sd;
    } else {
        row.refused = true;
        row.refusal = w.analysis.checked.refusal
                          ? std::string(trimBlanks(*w.analysis.checked.refusal))
                      : result && result->refusal ? std::string(trimBlanks(result->refusal->text))
                                                  : std::string("no test ran");
    }
    endpoint.stations.push_back(std::move(row));
    report.endpoints.push_back(std::move(endpoint));
    return report;
}

bool isDocumentName(const std::string& path) {
    const std::string ext = extensionOf(path);
    return ext == "pdf" || ext == "html" || ext == "htm";
}

std::string comparisonDocumentBytes(const drawing::SurveyReport& report, const std::string& path,
                                    drawing::Paper paper) {
    return extensionOf(path) == "pdf" ? drawing::surveyReportPdf(report, paper)
                                      : drawing::surveyReportHtml(report, drawing::pangoTextWidth);
}

}  // namespace bx
