#pragma once
// `benthix-cli batch`: every sample of a survey compared with one reference sample, each
// comparison checked and analysed as the window would, the results as one CSV line per
// comparison in input order.

#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/paths.h"
#include "cli/analysis_options.h"
#include "cli/file_checks.h"
#include "cli/survey.h"
#include "entry/value_array.h"
#include "reports/run_record.h"

namespace bx {
class StatTables;
}

namespace bx::cli {

enum class BatchFormat { Csv, Jsonl };
enum class PAdjust { None, Holm, Bonferroni };

struct BatchRequest {
    std::string input;      // the survey's file; "-" reads standard input
    std::string reference;  // the reference sample's id
    AnalysisOptions options;
    std::optional<std::string> output;  // RESULTS.csv; standard output without it
    std::optional<std::string> summaryLog;
    std::optional<std::string> detailedLog;
    std::optional<std::string> sharedSummaryLog;  // comparisons added to these logs as they are
    std::optional<std::string> sharedDetailedLog;
    int jobs = 1;
    BatchFormat format = BatchFormat::Csv;
    PAdjust pAdjust = PAdjust::None;
    SurveyFormat survey;
    std::string sheet;     // the worksheet of an .xlsx survey; the first when empty
    bool lenient = false;  // read values by their leading number, as the window does
    FileRules files;
};

// The header of the results: the group columns, if any, SAMPID, the summary record's other fields,
// STATUS, then the typed columns (TEST, STATISTIC, CRITICAL, DF, ALPHA, ALTERNATIVE,
// TRANSFORMATION, P_VALUE, REJECT_NULL, DIFFERENCE, PERCENT_OF_REF, MSD, PMSD, POWER_FRACTION) and,
// with a p-value adjustment, P_ADJUSTED.
std::vector<std::string> batchHeader(PAdjust pAdjust = PAdjust::None,
                                     const std::vector<std::string>& groupColumns = {});

// The p-values adjusted for the comparisons of one batch: Holm's step-down method or
// Bonferroni's, each capped at 1. NaN entries (comparisons without a test) stay NaN and do not
// count among the comparisons.
std::vector<double> adjustPValues(const std::vector<double>& p, PAdjust method);

// One comparison's outcome.
struct ComparisonResult {
    std::string sampleId;
    std::string line;      // its CSV line with the final line end
    std::string messages;  // its message boxes ("title: text") and warnings, a line each
    bool refused = false;
    double pValue = std::numeric_limits<double>::quiet_NaN();
    // The completed run, kept only when it is still to be logged.
    std::unique_ptr<RunRecord> record;
    // A table had no value for a lookup of the comparison (Comparison::lookupFailed).
    bool lookupFailed = false;
};

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

// Runs single comparisons, each from the options as a fresh window would hold them; all of
// them share the read-only statistical tables. run() may be called from several threads at
// once.
class ComparisonRunner {
  public:
    // `reference` is null when the reference is not in the survey.
    // Unless `lenient`, a value that is not wholly a number refuses its comparison. The
    // comparisons of a group carry the group's columns (`groupColumns`, the reference's
    // `group`) ahead of their own.
    ComparisonRunner(std::shared_ptr<const StatTables> tables, const AnalysisOptions& options,
                     std::string referenceId, const SurveySample* reference,
                     BatchFormat format = BatchFormat::Csv, bool lenient = false,
                     std::vector<std::string> groupColumns = {},
                     std::vector<std::string> group = {});

    // Compares `test` with the reference. With `keepRecord` the result holds the run for the
    // logs.
    ComparisonResult run(const SurveySample& test, bool keepRecord) const;

  private:
    ComparisonResult runOne(const SurveySample& test, bool keepRecord) const;

    std::shared_ptr<const StatTables> tables_;
    OptionChoices choices_;
    std::string referenceId_;
    const SurveySample* reference_;
    ReferenceRefusals referenceRefusals_;
    BatchFormat format_;
    ValueArray referenceSlots_;
    bx::AnalysisOptions typedOptions_;
    bool lenient_;
    std::vector<std::string> groupColumns_;
    std::vector<std::string> group_;
};

// Runs the batch; results on `out` unless the request names an output file, message boxes and
// errors on `err`, a progress bar on `err` when `errIsTerminal` and the batch is large.
// Returns kExitRan, or kExitRefused when a comparison was refused or had a failed table lookup,
// the input was malformed, a file could not be written, or the statistical tables are missing
// or damaged (then no comparison runs).
int runBatch(const BatchRequest& request, const StartupFolders& folders, std::istream& in,
             std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace bx::cli
