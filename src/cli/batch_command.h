// SPDX-License-Identifier: MIT
#pragma once
// `benthix-cli batch`: a survey run through the survey layer, each group of samples compared
// with its reference under its own settings (the command line's or the plan's), the results as
// one CSV line (or JSON line) per comparison.

#include <optional>
#include <ostream>
#include <string>

#include "base/paths.h"
#include "cli/analysis_options.h"
#include "cli/file_checks.h"
#include "survey/runner.h"
#include "survey/survey.h"

namespace bx::cli {

using BatchFormat = ResultsFormat;

struct BatchRequest {
    std::string input;  // the survey's file; "-" reads standard input
    // The reference sample's id, for the groups the plan does not give one.
    std::optional<std::string> reference;
    std::optional<std::string> plan;  // the survey plan's file
    AnalysisOptions options;
    std::optional<std::string> output;  // RESULTS.csv; standard output without it or with "-"
    std::optional<std::string> summaryLog;
    std::optional<std::string> detailedLog;
    std::optional<std::string> sharedSummaryLog;  // comparisons added to these logs as they are
    std::optional<std::string> sharedDetailedLog;
    int jobs = 1;
    BatchFormat format = BatchFormat::Csv;
    PAdjust pAdjust = PAdjust::None;
    AdjustFamily adjustFamily = AdjustFamily::Group;
    SurveyFormat survey;
    std::string sheet;     // the worksheet of an .xlsx survey; the first when empty
    bool lenient = false;  // read values by their leading number, as the window does
    bool quiet = false;    // no closing summary line on standard error
    // The survey report (.pdf or .html), its paper (a4 or letter; the locale's without it) and
    // the project it names (the survey file's name without it).
    std::optional<std::string> report;
    std::optional<std::string> paper;
    std::optional<std::string> project;
    FileRules files;
};

// Runs the batch; results on `out` unless the request names an output file, message boxes and
// errors on `err`, a progress bar on `err` when `errIsTerminal` and the batch is large.
// Returns kExitRan, or kExitRefused when a comparison was refused or had a failed table lookup,
// the input or the plan was malformed, a file could not be written, or the statistical tables
// are missing or damaged (then no comparison runs); standard error says why, one line per
// cause, and (unless `quiet`) ends with a line that counts the outcomes.
int runBatch(const BatchRequest& request, const StartupFolders& folders, std::istream& in,
             std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace bx::cli
