// SPDX-License-Identifier: MIT
#pragma once
// The texts a run's result shows in the window's panels, formatted once from the typed
// result: the window's fields, the logs (where they record the text of a field) and the
// report all take them from here.

#include <optional>
#include <string>
#include <string_view>

#include "statistics/comparison.h"

namespace bx {

struct TreatmentTexts {
    std::string count;            // txtSampNum / txtRefNum
    std::string mean;             // txtSampMean / txtRefMean
    std::string sd;               // txtSampStdDev / txtRefStdDev
    std::string transformedMean;  // txtSampTransMean / txtRefTransMean (rankits' after them)
    std::string transformedSd;    // txtSampTransStdDev / txtRefTransStdDev
};

struct ResultTexts {
    TreatmentTexts test;
    TreatmentTexts reference;

    // "Normality (Shapiro-Wilk)": "N/A" throughout after the one-sample t or the rankits.
    std::string wCritical;  // txtWtestCritVal, "<= 0.842"
    std::string w;          // txtWtestW
    std::string wAlpha;     // txtWTestAlpha
    std::string normal;     // txtWTestPassFail: "Yes", "No", "???"
    std::string override;   // txtOverride: "N/A", "Invoked", "Not Invoked"

    // "Homoscedasticity (Levene's)": "N/A" throughout after the one-sample t.
    std::string leveneCritical;  // txtScedCritVal, ">= 1.397"
    std::string leveneT;         // txtScedCalcVal
    std::string leveneAlpha;     // txtScedAlpha
    std::string homoscedastic;   // txtScedPassfail
    std::string leveneDf;        // txtScedDegFreedom

    // "Test of Experimental Hypothesis"
    std::string testName;        // txtTstStat
    std::string statistic;       // txtTstCalcStat
    std::string critical;        // txtTstCritVal
    std::string alpha;           // txtTstAlpha
    std::string df;              // txtTstDegFreedom (empty for Mann-Whitney, where it is hidden)
    std::string acceptNull;      // txtTstPassFail: "Yes", "No"
    std::string transformation;  // txtTstTransMeth: the method, "Rankits" or "rank-order"
    std::string balanced;        // txtTstBalanced: set by Mann-Whitney and the one-sample t
    std::string power;           // txtTstPower: "89.62%", or empty
};

// The texts of a completed run.
ResultTexts resultTexts(const Comparison& result, const AnalysisOptions& options);

// The verdicts and names of a run as the panels show them, all constant texts, and the power
// percent when it was worked out: what the summary of a run needs, without formatting a number
// or building a string.
struct VerdictWords {
    std::string_view normal;          // "Yes", "No", "???" or "N/A"
    std::string_view override;        // "Invoked", "Not Invoked" or "N/A"
    std::string_view homoscedastic;   // "Yes", "No", "???" or "N/A"
    std::string_view testName;        // empty without a test
    std::string_view acceptNull;      // "Yes", "No"; empty without a test
    std::string_view transformation;  // the method, "Rankits" or "rank-order"
    std::string_view balanced;        // set by Mann-Whitney and the one-sample t
    std::optional<double> powerPercent;
};
VerdictWords verdictWords(const Comparison& result, const AnalysisOptions& options);

// The power as the panel shows it: "89.62%".
std::string powerText(double percent);

// "Yes" for a balanced design, "No " (with its blank, as stored) otherwise.
const char* balancedText(bool balanced);

// The display patterns of the panels.
inline constexpr const char* kCountPattern = "##";
inline constexpr const char* kMeanPattern = "##0.0##";
inline constexpr const char* kCriticalPattern = "##0.000";
inline constexpr const char* kStatisticPattern = "##0.0000";
inline constexpr const char* kPowerPattern = "##0.0#";
inline constexpr const char* kNotApplicable = "N/A";

}  // namespace bx
