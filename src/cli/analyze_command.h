// SPDX-License-Identifier: MIT
#pragma once
// `benthix-cli analyze`: one comparison through the headless window, printed as the window
// would show it.

#include <optional>
#include <ostream>
#include <string>

#include "app/main_window.h"
#include "cli/analysis_options.h"
#include "cli/file_checks.h"

namespace bx::cli {

struct AnalyzeRequest {
    AnalysisOptions options;
    std::optional<std::string> test;       // the test sample's cell texts, comma-separated
    std::optional<std::string> reference;  // the reference sample's cell texts
    bool json = false;
    bool explain = false;                          // say why the test was chosen
    std::optional<std::string> load;               // File > Load From first
    std::optional<std::string> save;               // File > Save As once entries and options are in
    std::optional<std::string> detailedLog;        // Log > Begin Detail Data Logging before the run
    std::optional<std::string> summaryLog;         // Log > Begin Summary Log File before the run
    std::optional<std::string> sharedDetailedLog;  // the run added to this log as it is
    std::optional<std::string> sharedSummaryLog;
    // File > Report instead of Execute; a .pdf or .html name: Execute, then the report document
    std::optional<std::string> report;
    std::optional<std::string> paper;  // the report document's paper: a4 or letter
    std::optional<std::string> plot;   // the replicate plot after the run (.svg, .png, .pdf)
    bool lenient = false;              // read values by their leading number, as the window does
    FileRules files;
};

// Runs the file commands and the analysis in the order a user would, and prints the results
// on `out`, message boxes on `err`. Returns the exit status: kExitRan when the analysis ran
// and every file command did its work, kExitRefused when the entries were refused, a file
// command failed, a table had no value for a lookup of the run, or the statistical tables are
// missing or damaged (then nothing runs); kExitUsage when the files named cannot be used as
// asked (a name the window would change, an output that exists or is another of the files)
// and nothing was run.
int runAnalyze(const AnalyzeRequest& request, const StartupFolders& folders, std::ostream& out,
               std::ostream& err);

}  // namespace bx::cli
