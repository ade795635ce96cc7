// SPDX-License-Identifier: MIT
#include "web/web_api.h"

#include <nlohmann/json.hpp>

#include <filesystem>

#include "app/execute.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "base/analysis_types.h"
#include "base/paths.h"
#include "cli/analysis_options.h"
#include "cli/explain.h"
#include "cli/result_output.h"
#include "drawing/font_metrics.h"
#include "drawing/survey_report.h"
#include "survey/csv.h"
#include "survey/plan.h"
#include "survey/result_json.h"
#include "survey/runner.h"
#include "survey/survey.h"
#include "tables/sha256.h"
#include "tables/stat_tables.h"

namespace bx::web {
namespace {

using Json = nlohmann::ordered_json;

// The browser's desktop: message boxes are kept for the page to show, the normality override
// question is answered in advance, and there are no files to choose or open.
class PageDesktop : public Desktop {
  public:
    explicit PageDesktop(std::optional<bool> overrideAnswer) : overrideAnswer_(overrideAnswer) {}

    MessageAnswer messageBox(const std::string& title, const std::string& text,
                             MessageIcon /*icon*/, MessageButtons buttons) override {
        messages_.push_back(
            {{"title", title.empty() ? std::string(kAppTitle) : title}, {"text", text}});
        if (buttons == MessageButtons::Ok) {
            return MessageAnswer::Ok;
        }
        return overrideAnswer_.value_or(false) ? MessageAnswer::Yes : MessageAnswer::No;
    }
    std::optional<FileDialogAnswer> fileDialog(const std::string& /*caption*/,
                                               const std::string& /*startFolder*/) override {
        return std::nullopt;
    }
    void setClipboardText(const std::string& text) override { clipboard_ = text; }
    std::string clipboardText() override { return clipboard_; }
    bool openExternally(const std::string& /*path*/) override { return false; }
    void showAbout() override {}

    const Json& messages() const { return messages_; }

  private:
    std::optional<bool> overrideAnswer_;
    Json messages_ = Json::array();
    std::string clipboard_;
};

std::string errorJson(const std::string& why) {
    return Json{{"error", why}}.dump();
}

// A member that is a text, or nothing when it is absent or null; `error` says why when it is
// of another type.
std::optional<std::string> textMember(const Json& j, const char* key, std::string& error) {
    const auto it = j.find(key);
    if (it == j.end() || it->is_null()) {
        return std::nullopt;
    }
    if (!it->is_string()) {
        error = std::string("\"") + key + "\" must be a text";
        return std::nullopt;
    }
    return it->get<std::string>();
}

std::vector<std::string> textsMember(const Json& j, const char* key, std::string& error) {
    std::vector<std::string> texts;
    const auto it = j.find(key);
    if (it == j.end() || it->is_null()) {
        return texts;
    }
    if (!it->is_array()) {
        error = std::string("\"") + key + "\" must be a list of texts";
        return texts;
    }
    for (const Json& v : *it) {
        if (v.is_string()) {
            texts.push_back(v.get<std::string>());
        } else if (v.is_number()) {
            texts.push_back(v.dump());
        } else {
            error = std::string("\"") + key + "\" must be a list of texts";
        }
    }
    return texts;
}

bool flagMember(const Json& j, const char* key, std::string& error) {
    const auto it = j.find(key);
    if (it == j.end() || it->is_null()) {
        return false;
    }
    if (!it->is_boolean()) {
        error = std::string("\"") + key + "\" must be true or false";
        return false;
    }
    return it->get<bool>();
}

// The analysis options of a request, named as on the command line; `error` says why when one
// is not a choice there is.
cli::AnalysisOptions analysisOptionsOf(const Json& j, std::string& error) {
    cli::AnalysisOptions o;
    if (const auto a = textMember(j, "alternative", error)) {
        if (const auto kind = alternativeNamed(*a)) {
            o.alternative = std::string(alternativeCaption(*kind));
        } else {
            error = "\"alternative\" is \"less\" or \"greater\", not \"" + *a + "\"";
        }
    }
    if (const auto a = textMember(j, "alpha", error)) {
        if (alphaOf(*a)) {
            o.alpha = *a;
        } else {
            error = "\"alpha\" is \"0.05\" or \"0.1\", not \"" + *a + "\"";
        }
    }
    if (const auto t = textMember(j, "transform", error)) {
        if (const auto kind = transformationNamed(*t)) {
            o.transform = std::string(transformationCaption(*kind));
        } else {
            error =
                "\"transform\" is \"none\", \"arcsine\", \"sqrt\" or \"log10\", not \"" + *t + "\"";
        }
    }
    o.powerDifference = textMember(j, "powerDifference", error);
    if (const auto answer = textMember(j, "override", error)) {
        if (*answer != "yes" && *answer != "no") {
            error = "\"override\" is \"yes\", \"no\" or null, not \"" + *answer + "\"";
        }
        o.overrideAnswer = *answer == "yes";
    }
    o.oneSample = flagMember(j, "oneSample", error);
    return o;
}

Json parsed(const std::string& text, std::string& error) {
    Json j = Json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
        error = "the request is not a JSON object";
        return Json::object();
    }
    return j;
}

}  // namespace

namespace {

// The window's folders lie in the module's own memory; nothing is written there.
StartupFolders pageFolders() {
    return {"/benthix", "/benthix/scratch"};
}

}  // namespace

StartedWindow startedWindow(const std::shared_ptr<const StatTables>& tables) {
    PageDesktop desktop(std::nullopt);
    MainWindow w(desktop, pageFolders(), tables);
    Form_Load(w);
    return {w.ui, w.analysis, w.reportedTables, w.tidiedFolders};
}

std::string analyzeJson(const std::shared_ptr<const StatTables>& tables,
                        const StartedWindow& started, const std::string& requestText) {
    std::string error;
    const Json request = parsed(requestText, error);
    const std::vector<std::string> test = textsMember(request, "test", error);
    const std::vector<std::string> reference = textsMember(request, "reference", error);
    const cli::AnalysisOptions options = analysisOptionsOf(request, error);
    const bool lenient = flagMember(request, "lenient", error);
    if (error.empty() && (test.size() > static_cast<std::size_t>(kMaxReplicates) ||
                          reference.size() > static_cast<std::size_t>(kMaxReplicates))) {
        error = "at most " + std::to_string(kMaxReplicates) + " values per treatment";
    }
    if (!error.empty()) {
        return errorJson(error);
    }

    PageDesktop desktop(options.overrideAnswer);
    MainWindow w(desktop, pageFolders(), tables);
    w.ui = started.ui;
    w.analysis = started.analysis;
    w.reportedTables = started.reportedTables;
    w.tidiedFolders = started.tidiedFolders;
    // As on the command line: a value must be wholly a number, unless asked to be lenient.
    w.ui.strictNumbers = !lenient;
    cli::putEntries(w.ui.Grid1, test);
    cli::putEntries(w.ui.Grid2, reference);
    cli::applyOptions(w, options);
    cmdExecute_Click(w);

    const std::optional<Comparison>& result = w.analysis.result;
    Json typed = resultObject(w.analysis.checked, result ? &*result : nullptr);
    addSampleSummaries(typed, w.analysis.checked, result ? &*result : nullptr);
    Json shown = cli::resultJson(w.ui);
    shown["result"] = std::move(typed);
    Json answer;
    answer["output"] = std::move(shown);
    answer["messages"] = desktop.messages();
    const bool ran = result && result->completed() && !w.analysis.checked.refusal;
    answer["explanation"] = ran ? cli::explanation(*result) : std::vector<std::string>{};
    return answer.dump(-1, ' ', false, Json::error_handler_t::replace);
}

namespace {

// A survey request read: the survey with its plan and how to run it. A request that cannot run
// leaves `failure` with the answer that says why.
struct SurveyRequest {
    cli::AnalysisOptions options;
    std::optional<std::string> reference;
    std::optional<SurveyPlan> plan;
    Survey survey;
    PAdjust pAdjust = PAdjust::None;
    AdjustFamily family = AdjustFamily::Group;
    bool lenient = false;
    bool csv = false;
    std::string failure;

    SurveyJob job() const {
        return SurveyJob{.settings = cli::settingsOf(options, reference.value_or("")),
                         .plan = plan ? &*plan : nullptr,
                         .format = csv ? ResultsFormat::Csv : ResultsFormat::Jsonl,
                         .pAdjust = pAdjust,
                         .adjustFamily = family,
                         .lenient = lenient};
    }
};

SurveyRequest surveyRequest(const std::string& surveyText, const Json& o, std::string& error) {
    SurveyRequest r;
    r.options = analysisOptionsOf(o, error);
    r.reference = textMember(o, "reference", error);
    const std::optional<std::string> planText = textMember(o, "plan", error);
    SurveyFormat format;
    format.groupColumns = textsMember(o, "group", error);
    if (const auto d = textMember(o, "delimiter", error)) {
        if (*d == "comma" || *d == ",") {
            format.delimiter = ',';
        } else if (*d == "semicolon" || *d == ";") {
            format.delimiter = ';';
        } else if (*d == "tab" || *d == "\t") {
            format.delimiter = '\t';
        } else if (!d->empty() && *d != "auto") {
            error = "\"delimiter\" is \"comma\", \"semicolon\", \"tab\" or \"auto\", not \"" + *d +
                    "\"";
        }
    }
    format.decimalComma = flagMember(o, "decimalComma", error);
    if (const auto c = textMember(o, "sampleColumn", error)) {
        format.sampleColumn = *c;
    }
    if (const auto c = textMember(o, "valueColumn", error)) {
        format.valueColumn = *c;
    }
    if (const auto p = textMember(o, "pAdjust", error)) {
        if (*p == "holm") {
            r.pAdjust = PAdjust::Holm;
        } else if (*p == "bonferroni") {
            r.pAdjust = PAdjust::Bonferroni;
        } else if (*p != "none") {
            error = "\"pAdjust\" is \"none\", \"holm\" or \"bonferroni\", not \"" + *p + "\"";
        }
    }
    if (const auto f = textMember(o, "pAdjustOver", error)) {
        if (*f == "all") {
            r.family = AdjustFamily::All;
        } else if (*f != "group") {
            error = "\"pAdjustOver\" is \"group\" or \"all\", not \"" + *f + "\"";
        }
    }
    r.lenient = flagMember(o, "lenient", error);
    r.csv = textMember(o, "format", error).value_or("jsonl") == "csv";
    if (error.empty() && !r.reference && !planText) {
        error = "a reference is required (or a plan that gives each group's reference)";
    }
    if (!error.empty()) {
        r.failure = errorJson(error);
        return r;
    }

    if (planText) {
        std::string why;
        r.plan = readPlan(*planText, why);
        if (!r.plan) {
            r.failure = errorJson("the plan: " + why);
            return r;
        }
        if (format.groupColumns.empty()) {
            format.groupColumns = r.plan->groupColumns;
        }
    }
    r.survey = readSurvey(std::string_view(surveyText), format);
    if (r.survey.errorCount > 0) {
        Json errors = Json::array();
        for (const CsvError& e : r.survey.errors) {
            errors.push_back("line " + std::to_string(e.line) + ": malformed line: " + e.reason);
        }
        r.failure = Json{{"error", "the survey has malformed lines"}, {"errors", errors}}.dump();
        return r;
    }
    if (r.plan && !alignPlan(*r.plan, r.survey.groupColumns)) {
        r.failure = errorJson("the plan groups by other columns than the survey run");
    }
    return r;
}

// The answer of a run that the runner refused, with every reason.
std::string runRefusal(const std::vector<std::string>& runErrors) {
    return Json{{"error", runErrors.front()}, {"errors", runErrors}}.dump();
}

}  // namespace

std::string surveyJson(const std::shared_ptr<const StatTables>& tables,
                       const std::string& surveyText, const std::string& optionsText) {
    std::string error;
    const Json o = parsed(optionsText, error);
    const SurveyRequest request = surveyRequest(surveyText, o, error);
    if (!request.failure.empty()) {
        return request.failure;
    }
    const Survey& survey = request.survey;
    std::vector<std::string> runErrors;
    std::vector<std::string> notices;
    const SurveyRun run(survey, tables, request.job(), runErrors, notices);
    if (!runErrors.empty()) {
        return runRefusal(runErrors);
    }
    const bool csv = request.csv;
    Json answer;
    answer["notices"] = notices;
    for (const std::string& note : survey.notes) {
        answer["notices"].push_back(note);
    }
    Json lines = Json::array();
    Json messages = Json::array();
    // The results file as the batch writes it: CSV with its header, or the JSON lines.
    std::string text;
    if (csv) {
        appendSpreadsheetRecord(text, resultsHeader(request.pAdjust, survey.groupColumns));
    }
    run.run(1, false, [&](ComparisonResult& r) {
        text += r.line;
        if (!csv) {
            lines.push_back(Json::parse(r.line));
        }
        if (!r.messages.empty()) {
            messages.push_back({{"sample", comparisonName(survey, r)}, {"text", r.messages}});
        }
    });
    // (An ordered_json holds its members in a vector: members are added once they are whole.)
    answer["lines"] = std::move(lines);
    answer["messages"] = std::move(messages);
    answer["text"] = std::move(text);
    return answer.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string surveyReportJson(const std::shared_ptr<const StatTables>& tables,
                             const std::string& surveyText, const std::string& optionsText) {
    std::string error;
    const Json o = parsed(optionsText, error);
    const std::optional<std::string> fileName = textMember(o, "fileName", error);
    const std::optional<std::string> project = textMember(o, "project", error);
    std::optional<std::string> sha256 = textMember(o, "sha256", error);
    if (sha256 && (sha256->size() != 64 ||
                   sha256->find_first_not_of("0123456789abcdef") != std::string::npos)) {
        error = "\"sha256\" is 64 lower-case hexadecimal digits";
    }
    const SurveyRequest request = surveyRequest(surveyText, o, error);
    if (!request.failure.empty()) {
        return request.failure;
    }
    std::vector<std::string> runErrors;
    std::vector<std::string> notices;
    const SurveyRun run(request.survey, tables, request.job(), runErrors, notices);
    if (!runErrors.empty()) {
        return runRefusal(runErrors);
    }
    // The header as the batch writes it, but for the file, of which a page knows only the name.
    drawing::SurveyReport header;
    header.surveyFile = fileName.value_or("(not named)");
    header.project = project    ? *project
                     : fileName ? std::filesystem::path(*fileName).stem().string()
                                : std::string("survey");
    header.surveySha256 = sha256 ? *sha256 : sha256Hex(surveyText);
    header.createdAt = drawing::reportTimestamp();
    header.pAdjust = request.pAdjust;
    drawing::SurveyReportBuilder report(request.survey, run, std::move(header));
    run.run(1, true, [&](ComparisonResult& r) { report.add(r); });
    const std::string html =
        drawing::surveyReportHtml(report.report(), drawing::tabulatedTextWidth);
    return Json{{"html", html}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string tableRowsJson(const StatTables& tables) {
    Json j = Json::object();
    for (const StatTableLayout& layout : kStatTableLayouts) {
        const StatTable& t = tables.table(layout.id);
        j[t.fileName] = t.rows;
    }
    return j.dump();
}

}  // namespace bx::web
