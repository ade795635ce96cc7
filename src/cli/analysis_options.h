// SPDX-License-Identifier: MIT
#pragma once
// The analysis options shared by `analyze` and `batch`, applied to a window the way a user
// would set them before pressing Execute.

#include <optional>
#include <string>
#include <vector>

#include "survey/plan.h"

namespace bx {
class MainWindow;
class Grid;
}  // namespace bx

namespace bx::cli {

struct AnalysisOptions {
    std::optional<std::string> alternative;      // "x1 < x2" or "x1 > x2": picked in the list
    std::optional<std::string> alpha;            // "0.05" or "0.1"
    std::optional<std::string> transform;        // one of the four method names
    std::optional<std::string> powerDifference;  // switches the power calculation on
    std::optional<bool> overrideAnswer;          // switches the normality override on
    bool oneSample = false;                      // switches the one-sample t-test on
};

// The option lists' texts and the option switches as a window fresh from start-up holds them
// once applyOptions() has set `options`.
struct OptionChoices {
    std::string alternative;
    std::string nullHypothesis;
    std::string alpha;
    std::string transformation;
    bool normalityPrompt = false;
    bool overrideYes = false;  // the answer to the override question
    bool power = false;
    std::string minimumDifference;  // the power difference field's text
    bool oneSample = false;
};
OptionChoices choicesOf(const AnalysisOptions& options);

// The option lists, then Options > "Normality Override", "Power Calculations",
// "1 Sample T-Test" (each posting its own status line), then the minimum difference.
void applyOptions(MainWindow& w, const AnalysisOptions& options);

// Puts `texts` into the Data column from row 1 down, unchanged. At most ten texts.
void putEntries(Grid& grid, const std::vector<std::string>& texts);

// Splits a comma-separated list of cell texts. The empty text is the empty list; otherwise
// every comma separates two texts, so "1,,3" gives "1", "", "3".
std::vector<std::string> splitCellTexts(const std::string& list);

// The settings of the command line's analysis options, for every group the plan leaves open.
ComparisonSettings settingsOf(const AnalysisOptions& options, const std::string& reference);

}  // namespace bx::cli
