// SPDX-License-Identifier: MIT
#include "cli/explain.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "statistics/decision_trail.h"

namespace bx::cli {
namespace {

// Three significant digits, as a reader wants them in a sentence.
std::string brief(double value) {
    if (std::isinf(value)) {
        return value > 0 ? "infinity" : "minus infinity";
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.4g", value);
    return text.data();
}

std::string preTest(const char* name, const char* symbol, const DecisionStep& s, double alpha,
                    bool passesBelow, const char* pass, const char* fail) {
    std::string sentence = std::string(name) + " " + symbol + " = " + brief(*s.statistic);
    if (s.outcome == Outcome::Untestable) {
        return sentence + " cannot be judged: this design is tested at alpha 0.25, for which the " +
               "table holds no critical value; " + fail + " is assumed.";
    }
    const bool passed = s.outcome == Outcome::Normal || s.outcome == Outcome::EqualVariances;
    const char* relation =
        passesBelow ? (passed ? "is below" : "reaches") : (passed ? "is above" : "is at or below");
    return sentence + " " + relation + " the critical " + brief(*s.criticalValue) + " at alpha " +
           brief(alpha) + ": " + (passed ? pass : fail) + ".";
}

const char* testTitle(const Comparison& c) {
    switch (*c.test) {
        case TestKind::StudentT:
            return c.rankitsUsed() ? "Student's t on the rankits" : "Student's t";
        case TestKind::ApproximateT:
            return c.rankitsUsed() ? "The approximate t on the rankits" : "The approximate t";
        case TestKind::MannWhitney:
            return "Mann-Whitney";
        case TestKind::OneSampleT:
            return "The one-sample t";
    }
    return "";
}

std::string testSentence(const Comparison& c, const DecisionStep& s) {
    const bool rejects = s.outcome == Outcome::RejectNull;
    const double critical = *s.criticalValue;
    const char* symbol = c.test == TestKind::MannWhitney ? "U" : "t";
    const char* relation = critical < 0.0 ? (rejects ? "is at or below" : "is above")
                                          : (rejects ? "reaches" : "is below");
    std::string sentence = std::string(testTitle(c)) + " is used: " + symbol + " = " +
                           brief(*s.statistic) + " " + relation + " the critical " +
                           brief(critical);
    if (const std::optional<int> df = c.degreesOfFreedom()) {
        sentence += " (df " + std::to_string(*df) + ")";
    }
    sentence += ", one-sided p = " + brief(c.pValue()) + ": the null hypothesis " +
                (rejects ? "is rejected." : "stands.");
    return sentence;
}

}  // namespace

std::vector<std::string> explanation(const Comparison& c) {
    std::vector<std::string> sentences;
    for (const DecisionStep& s : decisionSteps(c)) {
        switch (s.step) {
            case Step::ReferenceWithoutSpread:
                sentences.emplace_back(
                    "The reference values are all equal: the test mean is compared with their "
                    "value.");
                break;
            case Step::ShapiroWilk:
                sentences.push_back(preTest("Shapiro-Wilk", "W", s, c.normality->alpha, false,
                                            "normal", "not normal"));
                break;
            case Step::Override:
                sentences.emplace_back(s.outcome == Outcome::OverrideAccepted
                                           ? "Override accepted: the data are treated as normal."
                                           : "Override declined.");
                break;
            case Step::Levene:
                sentences.push_back(
                    preTest("Levene's", "t", s,
                            (c.leveneBeforeRankits ? *c.leveneBeforeRankits : *c.levene).alpha,
                            true, "equal variances", "unequal variances"));
                break;
            case Step::Rankits:
                sentences.emplace_back("Every value is replaced by its rankit.");
                break;
            case Step::LeveneOnRankits:
                sentences.push_back("On the rankits, " +
                                    preTest("Levene's", "t", s, c.levene->alpha, true,
                                            "equal variances", "unequal variances"));
                break;
            case Step::Test:
                sentences.push_back(testSentence(c, s));
                break;
        }
    }
    return sentences;
}

}  // namespace bx::cli
