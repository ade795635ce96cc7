// SPDX-License-Identifier: MIT
#include "web/web_api.h"

#include <nlohmann/json.hpp>

#include "app/execute.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "base/analysis_types.h"
#include "base/paths.h"
#include "cli/analysis_options.h"
#include "cli/explain.h"
#include "cli/result_output.h"
#include "survey/csv.h"
#include "survey/plan.h"
#include "survey/result_json.h"
#include "survey/runner.h"
#include "survey/survey.h"
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

std::string surveyJson(const std::shared_ptr<const StatTables>& tables,
                       const std::string& surveyText, const std::string& optionsText) {
    std::string error;
    const Json o = parsed(optionsText, error);
    const cli::AnalysisOptions options = analysisOptionsOf(o, error);
    const std::optional<std::string> reference = textMember(o, "reference", error);
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
    PAdjust pAdjust = PAdjust::None;
    if (const auto p = textMember(o, "pAdjust", error)) {
        if (*p == "holm") {
            pAdjust = PAdjust::Holm;
        } else if (*p == "bonferroni") {
            pAdjust = PAdjust::Bonferroni;
        } else if (*p != "none") {
            error = "\"pAdjust\" is \"none\", \"holm\" or \"bonferroni\", not \"" + *p + "\"";
        }
    }
    AdjustFamily family = AdjustFamily::Group;
    if (const auto f = textMember(o, "pAdjustOver", error)) {
        if (*f == "all") {
            family = AdjustFamily::All;
        } else if (*f != "group") {
            error = "\"pAdjustOver\" is \"group\" or \"all\", not \"" + *f + "\"";
        }
    }
    const bool lenient = flagMember(o, "lenient", error);
    const bool csv = textMember(o, "format", error).value_or("jsonl") == "csv";
    if (error.empty() && !reference && !planText) {
        error = "a reference is required (or a plan that gives each group's reference)";
    }
    if (!error.empty()) {
        return errorJson(error);
    }

    std::optional<SurveyPlan> plan;
    if (planText) {
        std::string why;
        plan = readPlan(*planText, why);
        if (!plan) {
            return errorJson("the plan: " + why);
        }
        if (format.groupColumns.empty()) {
            format.groupColumns = plan->groupColumns;
        }
    }
    const Survey survey = readSurvey(std::string_view(surveyText), format);
    Json errors = Json::array();
    for (const CsvError& e : survey.errors) {
        errors.push_back("line " + std::to_string(e.line) + ": malformed line: " + e.reason);
    }
    if (survey.errorCount > 0) {
        return Json{{"error", "the survey has malformed lines"}, {"errors", errors}}.dump();
    }
    if (plan && !alignPlan(*plan, survey.groupColumns)) {
        return errorJson("the plan groups by other columns than the survey run");
    }

    const SurveyJob job{.settings = cli::settingsOf(options, reference.value_or("")),
                        .plan = plan ? &*plan : nullptr,
                        .format = csv ? ResultsFormat::Csv : ResultsFormat::Jsonl,
                        .pAdjust = pAdjust,
                        .adjustFamily = family,
                        .lenient = lenient};
    std::vector<std::string> runErrors;
    std::vector<std::string> notices;
    const SurveyRun run(survey, tables, job, runErrors, notices);
    if (!runErrors.empty()) {
        for (const std::string& e : runErrors) {
            errors.push_back(e);
        }
        return Json{{"error", runErrors.front()}, {"errors", errors}}.dump();
    }
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
        appendSpreadsheetRecord(text, resultsHeader(pAdjust, survey.groupColumns));
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

std::string tableRowsJson(const StatTables& tables) {
    Json j = Json::object();
    for (const StatTableLayout& layout : kStatTableLayouts) {
        const StatTable& t = tables.table(layout.id);
        j[t.fileName] = t.rows;
    }
    return j.dump();
}

}  // namespace bx::web
