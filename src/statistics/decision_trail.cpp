// SPDX-License-Identifier: MIT
#include "statistics/decision_trail.h"

namespace bx {
namespace {

Outcome preTestOutcome(bool testable, bool passed, Outcome yes, Outcome no) {
    if (!testable) {
        return Outcome::Untestable;
    }
    return passed ? yes : no;
}

DecisionStep leveneStep(Step step, const LeveneResult& r) {
    return {step, r.absT, r.critical,
            preTestOutcome(r.testable, r.homoscedastic, Outcome::EqualVariances,
                           Outcome::UnequalVariances)};
}

}  // namespace

std::vector<DecisionStep> decisionSteps(const Comparison& c) {
    std::vector<DecisionStep> steps;
    if (!c.test) {
        return steps;
    }
    if (c.test == TestKind::OneSampleT) {
        steps.push_back(
            {Step::ReferenceWithoutSpread, std::nullopt, std::nullopt, Outcome::OneSampleCase});
    } else {
        const ShapiroWilkResult& w = *c.normality;
        steps.push_back(
            {Step::ShapiroWilk, w.w, w.critical,
             preTestOutcome(w.testable, w.normal, Outcome::Normal, Outcome::NotNormal)});
        if (c.normalityOverride != NormalityOverride::NotApplicable) {
            steps.push_back({Step::Override, std::nullopt, std::nullopt,
                             c.normalityOverride == NormalityOverride::Invoked
                                 ? Outcome::OverrideAccepted
                                 : Outcome::OverrideDeclined});
        }
        if (c.rankits) {
            steps.push_back(leveneStep(Step::Levene, *c.leveneBeforeRankits));
            steps.push_back({Step::Rankits, std::nullopt, std::nullopt, Outcome::Applied});
            steps.push_back(leveneStep(Step::LeveneOnRankits, *c.levene));
        } else {
            steps.push_back(leveneStep(Step::Levene, *c.levene));
        }
    }
    steps.push_back({Step::Test, c.statistic(), c.criticalValue(),
                     c.acceptNull() ? Outcome::AcceptNull : Outcome::RejectNull});
    return steps;
}

std::string_view testCode(const Comparison& c) {
    if (!c.test) {
        return {};
    }
    if (c.rankitsUsed()) {
        return "rankit_t";
    }
    switch (*c.test) {
        case TestKind::StudentT:
            return "student_t";
        case TestKind::ApproximateT:
            return "approximate_t";
        case TestKind::MannWhitney:
            return "mann_whitney";
        case TestKind::OneSampleT:
            return "one_sample_t";
    }
    return {};
}

std::string_view stepName(const DecisionStep& step, const Comparison& c) {
    switch (step.step) {
        case Step::ReferenceWithoutSpread:
            return "reference_without_spread";
        case Step::ShapiroWilk:
            return "shapiro_wilk";
        case Step::Override:
            return "override";
        case Step::Levene:
            return "levene";
        case Step::Rankits:
            return "rankits";
        case Step::LeveneOnRankits:
            return "levene_on_rankits";
        case Step::Test:
            return testCode(c);
    }
    return {};
}

std::string_view outcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::OneSampleCase:
            return "one_sample_case";
        case Outcome::Normal:
            return "normal";
        case Outcome::NotNormal:
            return "not_normal";
        case Outcome::Untestable:
            return "untestable";
        case Outcome::OverrideAccepted:
            return "override_accepted";
        case Outcome::OverrideDeclined:
            return "override_declined";
        case Outcome::EqualVariances:
            return "equal_variances";
        case Outcome::UnequalVariances:
            return "unequal_variances";
        case Outcome::Applied:
            return "applied";
        case Outcome::RejectNull:
            return "reject_null";
        case Outcome::AcceptNull:
            return "accept_null";
    }
    return {};
}

}  // namespace bx
