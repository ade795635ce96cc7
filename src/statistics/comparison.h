// SPDX-License-Identifier: MIT
#pragma once
// One comparison of a test sample with a reference sample: what goes in, and everything the
// analysis found, as typed values. Whatever shows or stores a run (the window, the logs, the
// report, the command-line tool) reads it from here.

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "base/analysis_types.h"
#include "statistics/levene.h"
#include "statistics/mann_whitney.h"
#include "statistics/notes.h"
#include "statistics/one_sample_t.h"
#include "statistics/power.h"
#include "statistics/rankit.h"
#include "statistics/shapiro_wilk.h"
#include "statistics/student_t.h"

namespace bx {

// The replicates as numbers, in entry order.
struct Samples {
    std::span<const double> test;
    std::span<const double> reference;
};

struct AnalysisOptions {
    Alternative alternative = Alternative::Less;
    double alpha = 0.05;
    Transformation transformation = Transformation::None;
    // A reference of one or two equal values also leads to the one-sample t-test (three or
    // more equal values always do).
    bool oneSampleForFewReferences = false;
    bool power = false;              // estimate the power of the t-test
    double minimumDifference = 0.0;  // D of the power calculation; 0 means none was given
};

// The answer to "override the failed normality test?": a caller that cannot ask passes Yes
// or No; Ask stops the analysis where the question is due (see Comparison).
enum class OverrideAnswer { No, Yes, Ask };

enum class NormalityOverride {
    NotApplicable,  // the data passed, or the one-sample t-test ran
    Invoked,        // the failed test was overridden: the data are treated as normal
    NotInvoked,     // the failed test stands
};

struct SampleStatistics {
    int count = 0;
    std::array<double, kMaxReplicates> values{};       // as entered
    std::array<double, kMaxReplicates> transformed{};  // by the chosen transformation
    double mean = 0.0;
    double sd = 0.0;
    double transformedMean = 0.0;
    double transformedSd = 0.0;

    std::span<const double> transformedValues() const {
        return {transformed.data(), static_cast<std::size_t>(count)};
    }
};

struct Comparison {
    // Set when nothing was analysed; the note says why.
    std::optional<Note> refusal;
    // With OverrideAnswer::Ask: the normality test failed and the question is due. The
    // comparison holds what was found up to there; analyse again with the answer.
    bool overrideQuestionDue = false;

    SampleStatistics testSample;
    SampleStatistics referenceSample;
    bool balanced = false;  // the larger count is less than twice the smaller

    // The test of the experimental hypothesis; empty when none ran.
    std::optional<TestKind> test;
    NormalityOverride normalityOverride = NormalityOverride::NotApplicable;
    std::optional<ShapiroWilkResult> normality;
    std::optional<LeveneResult> levene;               // the last Levene test of the run
    std::optional<LeveneResult> leveneBeforeRankits;  // the first one, when rankits followed
    std::optional<RankitResult> rankits;
    std::optional<MannWhitneyResult> mannWhitney;
    std::optional<TTestResult> tTest;  // Student's or the approximate t
    std::optional<OneSampleTResult> oneSampleT;
    // The power option was on and a difference was given; powerMissingDifference when it was
    // on without one.
    std::optional<PowerResult> power;
    bool powerMissingDifference = false;
    // A failed normality test that stands switches the power option off.
    bool powerSwitchedOff = false;

    // Steps, warnings and the rankit notice, in the order they happened.
    Notes notes;

    bool completed() const { return test.has_value(); }
    // A table had no value for something the run looked up, and a stand-in took its place:
    // the verdict (or the power) cannot be relied on.
    bool lookupFailed() const;
    bool rankitsUsed() const { return rankits.has_value(); }

    // The statistic, critical value and verdict of the test that ran (0 and false when none).
    double statistic() const;
    double criticalValue() const;
    bool acceptNull() const;

    // The mean and SD the test of the hypothesis worked on: the transformed values', or the
    // rankits' after the rankit transformation.
    double workedMean(bool testSample) const;
    double workedSd(bool testSample) const;

    // The i-th value (0-based) of a sample as the run leaves it: its rank after Mann-Whitney,
    // its rankit after the rankit transformation, its transformed value otherwise.
    double finalValue(bool testSample, int i) const;

    // The one-sided p-value of the test that ran, in the direction in which it rejects: P(T >= t)
    // for the two-sample t-tests and a one-sample t with a positive critical value, P(T <= t)
    // for a one-sample t with a negative one, each with the whole degrees of freedom of its
    // critical value; the exact P(U >= u) of the null distribution of U for n1 and n2 without
    // tie correction (the distribution the critical values come from) for Mann-Whitney. NaN
    // when no test ran.
    double pValue() const;

    // The degrees of freedom of the test's critical value; empty for Mann-Whitney.
    std::optional<int> degreesOfFreedom() const;

    // The difference of the means as entered (test minus reference), and the test mean as a
    // percentage of the reference mean (empty when the reference mean is 0).
    double difference() const;
    std::optional<double> percentOfReference() const;

    // The minimum significant difference of a t-based test: |critical value| times the
    // standard error of the difference the test used, on the scale it ran on (transformed
    // values or rankits). Empty for Mann-Whitney and when no test ran.
    std::optional<double> minimumSignificantDifference() const;
};

}  // namespace bx
