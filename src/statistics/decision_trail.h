// SPDX-License-Identifier: MIT
#pragma once
// Why a comparison ended with its test: the steps of the decision tree it went through, each
// with its statistic, critical value and outcome.

#include <optional>
#include <string_view>
#include <vector>

#include "statistics/comparison.h"

namespace bx {

enum class Step {
    ReferenceWithoutSpread,  // the reference values are all equal: the one-sample case
    ShapiroWilk,
    Override,  // the failed normality test overridden, or not
    Levene,
    Rankits,
    LeveneOnRankits,
    Test,  // the test of the experimental hypothesis
};

enum class Outcome {
    OneSampleCase,
    Normal,
    NotNormal,
    Untestable,  // the design leaves the pre-test at the level 0.25
    OverrideAccepted,
    OverrideDeclined,
    EqualVariances,
    UnequalVariances,
    Applied,
    RejectNull,
    AcceptNull,
};

struct DecisionStep {
    Step step{};
    std::optional<double> statistic;
    std::optional<double> criticalValue;
    Outcome outcome{};
};

// The steps of a completed comparison in the order they were taken (none when no test ran).
std::vector<DecisionStep> decisionSteps(const Comparison& c);

// Lower-case names: "reference_without_spread", "shapiro_wilk", "override", "levene",
// "rankits", "levene_on_rankits", and for the test "student_t", "approximate_t",
// "mann_whitney", "rankit_t", "one_sample_t"; outcomes "one_sample_case", "normal",
// "not_normal", "untestable", "override_accepted", "override_declined", "equal_variances",
// "unequal_variances", "applied", "reject_null", "accept_null".
std::string_view stepName(const DecisionStep& step, const Comparison& c);
std::string_view outcomeName(Outcome outcome);

// "student_t", "approximate_t", "mann_whitney", "rankit_t" (a t-test on rankits),
// "one_sample_t"; empty when no test ran.
std::string_view testCode(const Comparison& c);

}  // namespace bx
