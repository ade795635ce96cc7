// SPDX-License-Identifier: MIT
#pragma once
// Running a survey: every sample of each group compared with that group's reference sample,
// each comparison checked and analysed as the window would, under the settings of its group
// (the command line's, or its plan row's). The results come as CSV lines (or JSON lines) with
// their typed outcome, in the order of the groups and, within a group, of the samples. Every
// front end runs surveys through here.

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "entry/value_array.h"
#include "reports/run_record.h"
#include "survey/plan.h"
#include "survey/survey.h"

namespace bx {

class StatTables;

enum class ResultsFormat { Csv, Jsonl };
enum class PAdjust { None, Holm, Bonferroni };
// The comparisons one adjustment runs over: each group's, or the whole survey's.
enum class AdjustFamily { Group, All };

// The header of the CSV results: the group columns, if any, SAMPID, the summary record's other
// fields, STATUS, the typed columns (TEST … POWER_FRACTION, then each sample's n, mean, SD,
// standard error, CV %, transformed mean and SD) and, with a p-value adjustment, P_ADJUSTED and
// REJECT_NULL_ADJUSTED.
std::vector<std::string> resultsHeader(PAdjust pAdjust = PAdjust::None,
                                       const std::vector<std::string>& groupColumns = {});

// The p-values adjusted for the comparisons of one family: Holm's step-down method or
// Bonferroni's, each capped at 1. NaN entries (comparisons without a test) stay NaN and do not
// count among the comparisons.
std::vector<double> adjustPValues(const std::vector<double>& p, PAdjust method);

enum class ComparisonStatus { Ok, Warnings, Refused };

// One comparison's outcome.
struct ComparisonResult {
    std::string sampleId;
    std::size_t group = 0;  // the index of its group in the survey
    // Its CSV line or JSON line with the final line end; without it (and, for JSON, still as
    // `object`) while adjusted p-values are to be added.
    std::string line;
    std::optional<nlohmann::ordered_json> object;
    std::string messages;  // its message boxes ("title: text") and warnings, a line each
    ComparisonStatus status = ComparisonStatus::Ok;
    std::string refusal;  // why it was refused, in a few words
    bool rejectNull = false;
    double alpha = 0.05;
    double pValue = std::numeric_limits<double>::quiet_NaN();
    // The adjusted p-value, once completeAdjusted() has added it.
    double pAdjusted = std::numeric_limits<double>::quiet_NaN();
    // The completed run, kept only when it is still to be logged.
    std::unique_ptr<RunRecord> record;
    // A table had no value for a lookup of the comparison (Comparison::lookupFailed).
    bool lookupFailed = false;

    bool refused() const { return status == ComparisonStatus::Refused; }
};

// Adds the adjusted p-value and its verdict to a result held for them, and ends its line.
void completeAdjusted(ComparisonResult& result, double adjusted, ResultsFormat format);

// A comparison refused for what the survey holds, before any entry is checked.
struct SurveyRefusal {
    const char* code = "";  // empty when there is none
    std::string text;
};

// What the reference alone refuses every comparison with it for, found once.
struct ReferenceRefusals {
    SurveyRefusal tooManyValues;
    SurveyRefusal notANumber;  // only when values must be wholly numbers
};

// The settings as a fresh window holds them once they are applied: the texts of the option
// lists and switches that the entry check reads.
struct SettingsTexts {
    std::string alternative;
    std::string nullHypothesis;
    std::string alpha;
    std::string transformation;
    bool normalityPrompt = false;
    OverrideAnswer answer = OverrideAnswer::No;
    bool power = false;
    std::string minimumDifference;
};

// Runs the comparisons of one group, each from its settings as a fresh window would hold them;
// all of them share the read-only statistical tables. run() may be called from several threads
// at once.
class ComparisonRunner {
  public:
    // `reference` is null when the reference is not in the survey. Unless `lenient`, a value
    // that is not wholly a number refuses its comparison. The comparisons carry the group's
    // columns (`groupColumns`, `group`) ahead of their own.
    ComparisonRunner(std::shared_ptr<const StatTables> tables, ComparisonSettings settings,
                     const SurveySample* reference, ResultsFormat format = ResultsFormat::Csv,
                     bool lenient = false, std::vector<std::string> groupColumns = {},
                     std::vector<std::string> group = {});

    // Compares `test` with the reference. With `keepRecord` the result holds the run for the
    // logs; with `forAdjustment` its line is left open for the adjusted p-value.
    ComparisonResult run(const SurveySample& test, bool keepRecord,
                         bool forAdjustment = false) const;

    const ComparisonSettings& settings() const { return settings_; }

  private:
    ComparisonResult runOne(const SurveySample& test, bool keepRecord, bool forAdjustment) const;
    void finishLine(ComparisonResult& result, nlohmann::ordered_json object,
                    bool forAdjustment) const;

    std::shared_ptr<const StatTables> tables_;
    ComparisonSettings settings_;
    const SurveySample* reference_;
    ReferenceRefusals referenceRefusals_;
    ResultsFormat format_;
    ValueArray referenceSlots_;
    AnalysisOptions typedOptions_;
    SettingsTexts settingsTexts_;
    bool lenient_;
    std::vector<std::string> groupColumns_;
    std::vector<std::string> group_;
};

// What a survey run is asked to do.
struct SurveyJob {
    ComparisonSettings settings;       // for every group the plan does not settle
    const SurveyPlan* plan = nullptr;  // settings per group, when there is a plan
    ResultsFormat format = ResultsFormat::Csv;
    PAdjust pAdjust = PAdjust::None;
    AdjustFamily adjustFamily = AdjustFamily::Group;
    bool lenient = false;  // read values by their leading number, as the window does
};

// A survey's comparisons, prepared: a runner per group with that group's settings.
class SurveyRun {
  public:
    // Problems that stop the whole run (a plan row for a group the survey lacks, a group
    // without a reference) go to `errors`; a reference that is not in its group goes to
    // `notices`, and that group's comparisons are refused.
    SurveyRun(const Survey& survey, const std::shared_ptr<const StatTables>& tables,
              const SurveyJob& job, std::vector<std::string>& errors,
              std::vector<std::string>& notices);

    std::size_t size() const { return comparisons_.size(); }
    // The settings a group runs with.
    const ComparisonSettings& settingsOf(std::size_t group) const;
    bool referenceMissing() const { return referenceMissing_; }

    // Runs every comparison on `jobs` threads and hands each result to `sink` on the calling
    // thread, in order; with a p-value adjustment the results come once each family is done,
    // with their adjusted values. `cancel`, when set, stops the run after the results handed
    // on so far. With `keepRecords` every result holds its run for the logs.
    void run(int jobs, bool keepRecords, const std::function<void(ComparisonResult&)>& sink,
             const std::atomic<bool>* cancel = nullptr) const;

  private:
    struct Queued {
        std::uint32_t test;  // the sample's index in the survey
        std::uint32_t group;
    };
    void runInOrder(const std::vector<Queued>& queue, int jobs, bool keepRecords,
                    const std::function<void(ComparisonResult&)>& sink,
                    const std::atomic<bool>* cancel) const;

    const Survey& survey_;
    SurveyJob job_;
    std::vector<std::unique_ptr<SurveySample>> references_;
    std::vector<std::unique_ptr<ComparisonRunner>> runners_;  // one per group
    std::vector<Queued> comparisons_;
    bool referenceMissing_ = false;
};

// A comparison's name in messages: its sample id, then its group's values ("ST07/growth").
std::string comparisonName(const Survey& survey, const ComparisonResult& result);

}  // namespace bx
