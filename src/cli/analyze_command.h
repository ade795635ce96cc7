#pragma once
// `benthix-cli analyze`: one comparison through the headless window, printed as the window
// would show it.

#include <optional>
#include <ostream>
#include <string>

#include "app/main_window.h"
#include "cli/analysis_options.h"

namespace bx::cli {

struct AnalyzeRequest {
    AnalysisOptions options;
    std::optional<std::string> test;       // the test sample's cell texts, comma-separated
    std::optional<std::string> reference;  // the reference sample's cell texts
    bool json = false;
};

// Runs the analysis and prints the results on `out`, message boxes on `err`. Returns the exit
// status: kExitRan when the analysis ran, kExitRefused when the entries were refused.
int runAnalyze(const AnalyzeRequest& request, const StartupFolders& folders, std::ostream& out,
               std::ostream& err);

}  // namespace bx::cli
