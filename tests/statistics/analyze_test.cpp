// SPDX-License-Identifier: MIT
// The whole analysis of one comparison through analyze(): each path of the decision tree with
// its statistics, critical values, verdicts and notes.
//
// Expected values: t statistics and U from scipy 1.10 (stats.ttest_ind, with equal_var=False
// for the approximate t, stats.ttest_1samp, stats.mannwhitneyu); Levene's |t| as
// sqrt(stats.levene(x1, x2, center='mean').statistic); W by hand (an independent Python script)
// with the table's coefficients for N = 5, 6 and 8; critical values from the published tables
// the build generates (t, two-sided 0.10 column: df 2 2.920, 3 2.353, 4 2.132, 5 2.015, 6 1.943;
// 0.20 column df 4 1.533; W at 0.10: N 5 0.806, N 6 0.826, N 8 0.851; U "4,4" 15, "3,2" 7 at
// 0.05 and 6 at 0.10); rankits of N = 8; power percentages PCT of Z 0.44 (67.00), 0.86 (80.51)
// and 0.50 (69.15). Statistics to 1e-4 (the digits of the sources), table values exactly.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "statistics/analyze.h"
#include "support/test_support.h"
#include "tables/stat_tables.h"

namespace bx {
namespace {

using test::generatedTables;
using Codes = std::vector<NoteCode>;

constexpr auto kLess = Alternative::Less;        // "x1 < x2" against "x1 >= x2"
constexpr auto kGreater = Alternative::Greater;  // "x1 > x2" against "x1 <= x2"

struct Case {
    std::vector<double> x1;
    std::vector<double> x2;
    AnalysisOptions options;
    OverrideAnswer answer = OverrideAnswer::No;

    Comparison operator()() const { return analyze({x1, x2}, options, generatedTables(), answer); }
};

AnalysisOptions options(Alternative alternative = kLess, double alpha = 0.05,
                        std::optional<double> power = std::nullopt) {
    AnalysisOptions o;
    o.alternative = alternative;
    o.alpha = alpha;
    o.power = power.has_value();
    o.minimumDifference = power.value_or(0.0);
    return o;
}

Codes codesOf(const Comparison& c) {
    Codes codes;
    for (const Note& n : c.notes) {
        codes.push_back(n.code);
    }
    return codes;
}

// What a row expects of the test of the hypothesis.
struct Verdict {
    TestKind test;
    double statistic;
    double critical;
    int df;  // ignored for Mann-Whitney
    bool acceptNull;
};

void expectVerdict(const Comparison& c, const Verdict& v, const char* name) {
    ASSERT_TRUE(c.test.has_value()) << name;
    EXPECT_EQ(*c.test, v.test) << name;
    EXPECT_NEAR(c.statistic(), v.statistic, 1e-4) << name;
    EXPECT_DOUBLE_EQ(c.criticalValue(), v.critical) << name;
    if (c.tTest) {
        EXPECT_EQ(c.tTest->df, v.df) << name;
    } else if (c.oneSampleT) {
        EXPECT_EQ(c.oneSampleT->df, v.df) << name;
    }
    EXPECT_EQ(c.acceptNull(), v.acceptNull) << name;
}

using N = NoteCode;

// Each path of the decision tree. Case C: 10, 11, 12 against 14, 15, 16: residuals -1, -1, 0,
// 0, 1, 1, b = 2 * 0.6431 + 2 * 0.2806, W = 1.8474^2 / 4 = 0.85322 above 0.826; Levene's |t| =
// 0 (equal absolute residuals); Student's t = 4.8990 (scipy: -4.898979 for x1 - x2) reaches
// 2.132. Case D: W 0.8844 above 0.851, Levene 5.0000 reaches 1.943; approximate t 0.7229,
// Satterthwaite df 4.6316 rounds to 5. Case E: W 0.7695 at or below 0.851, overridden; Levene
// 0.1681; Student's t 1.0190. Case F: W 0.7985, overridden; Levene 2.3379; approximate t 2.2182,
// df 3.2479 rounds to 3. Case G: the data of E without override: U = 13 pairs with the test
// value below (16 - scipy's 3) under 15. Case H: the data of F without override: on the rankits
// Levene's |t| = 1.6651 under 1.943, Student's t 1.0265. The second case H: 7, 3, 9, 3 against
// 11, 3, 11, 3: on the rankits Levene's |t| = 6.3109, approximate t 0.6664, df 4.764 -> 5.
TEST(Analyze, EveryPathOfTheDecisionTree) {
    const std::vector<double> c1{10, 11, 12}, c2{14, 15, 16};
    const std::vector<double> e1{14, 2, 16, 12}, e2{19, 18, 7, 17};
    const std::vector<double> f1{3, 3, 5, 2}, f2{1, 13, 13, 14};
    const auto yes = OverrideAnswer::Yes;
    const auto no = OverrideAnswer::No;
    const struct Row {
        const char* name;
        Case run;
        Verdict verdict;
        NormalityOverride override;
        Codes notes;
        std::optional<double> levene;  // the last Levene |t|
    } kRows[] = {
        {"B one-sample",
         {{8, 9, 10}, {12, 12, 12}, options(), no},
         {TestKind::OneSampleT, -5.1962, -2.920, 2, false},
         NormalityOverride::NotApplicable,
         {N::OneSampleTStep},
         std::nullopt},
        {"B other direction",
         {{8, 9, 10}, {12, 12, 12}, options(kGreater), no},
         {TestKind::OneSampleT, -5.1962, 2.920, 2, true},
         NormalityOverride::NotApplicable,
         {N::OneSampleTStep},
         std::nullopt},
        {"C Student",
         {c1, c2, options(kLess, 0.05, 2.0), no},
         {TestKind::StudentT, 4.8990, 2.132, 4, false},
         NormalityOverride::NotApplicable,
         {N::ShapiroWilkStep, N::LeveneStep, N::StudentTStep, N::PowerStep},
         0.0},
        // alpha 0.1 reads the two-sided 0.20 column: 1.533 for df 4.
        {"C other direction",
         {c1, c2, options(kGreater, 0.1), no},
         {TestKind::StudentT, -4.8990, 1.533, 4, true},
         NormalityOverride::NotApplicable,
         {N::ShapiroWilkStep, N::LeveneStep, N::StudentTStep},
         0.0},
        {"D approximate t",
         {{7, 18, 18, 8}, {13, 17, 12, 19}, options(kLess, 0.05, 10.0), no},
         {TestKind::ApproximateT, 0.7229, 2.015, 5, true},
         NormalityOverride::NotApplicable,
         {N::ShapiroWilkStep, N::LeveneStep, N::ApproximateTStep, N::PowerStep},
         5.0},
        {"E overridden",
         {e1, e2, options(kLess, 0.05, 10.0), yes},
         {TestKind::StudentT, 1.0190, 1.943, 6, true},
         NormalityOverride::Invoked,
         {N::ShapiroWilkStep, N::LeveneStep, N::StudentTStep, N::PowerStep},
         0.1681},
        {"F overridden",
         {f1, f2, options(), yes},
         {TestKind::ApproximateT, 2.2182, 2.353, 3, true},
         NormalityOverride::Invoked,
         {N::ShapiroWilkStep, N::LeveneStep, N::ApproximateTStep},
         2.3379},
        {"G Mann-Whitney",
         {e1, e2, options(kLess, 0.05, 10.0), no},
         {TestKind::MannWhitney, 13.0, 15.0, 0, true},
         NormalityOverride::NotInvoked,
         {N::ShapiroWilkStep, N::LeveneStep, N::MannWhitneyStep},
         0.1681},
        {"H rankits, Student",
         {f1, f2, options(kLess, 0.05, 10.0), no},
         {TestKind::StudentT, 1.0265, 1.943, 6, true},
         NormalityOverride::NotInvoked,
         {N::ShapiroWilkStep, N::LeveneStep, N::RankitNotice, N::RankitStep, N::LeveneStep,
          N::StudentTStep},
         1.6651},
        {"H rankits, approximate t",
         {{7, 3, 9, 3}, {11, 3, 11, 3}, options(), no},
         {TestKind::ApproximateT, 0.6664, 2.015, 5, true},
         NormalityOverride::NotInvoked,
         {N::ShapiroWilkStep, N::LeveneStep, N::RankitNotice, N::RankitStep, N::LeveneStep,
          N::ApproximateTStep},
         6.3109},
    };
    for (const Row& row : kRows) {
        const Comparison c = row.run();
        EXPECT_FALSE(c.refusal) << row.name;
        expectVerdict(c, row.verdict, row.name);
        EXPECT_EQ(c.normalityOverride, row.override) << row.name;
        EXPECT_EQ(codesOf(c), row.notes) << row.name;
        ASSERT_EQ(c.levene.has_value(), row.levene.has_value()) << row.name;
        if (row.levene) {
            EXPECT_NEAR(c.levene->absT, *row.levene, 1e-4) << row.name;
        }
        // A failed normality test that stands switches the power off, whatever follows.
        EXPECT_EQ(c.powerSwitchedOff, row.override == NormalityOverride::NotInvoked) << row.name;
    }
}

// The pre-tests of case C and D in detail, and the power of C, D and E.
TEST(Analyze, NormalityLeveneAndPowerValues) {
    const Comparison c = Case{{10, 11, 12}, {14, 15, 16}, options(kLess, 0.05, 2.0)}();
    ASSERT_TRUE(c.normality);
    EXPECT_NEAR(c.normality->w, 0.85322169, 1e-8);
    EXPECT_EQ(c.normality->critical, 0.826);
    EXPECT_EQ(c.normality->alpha, 0.10);
    EXPECT_TRUE(c.normality->normal);
    EXPECT_EQ(c.levene->critical, 2.132);  // Levene's own level 0.1, df 4
    EXPECT_EQ(c.levene->df, 4);
    ASSERT_TRUE(c.power);
    EXPECT_EQ(c.power->percent, 67.0);  // z_beta 0.436 reads Z 0.44

    const Comparison d = Case{{7, 18, 18, 8}, {13, 17, 12, 19}, options(kLess, 0.05, 10.0)}();
    EXPECT_NEAR(d.normality->w, 0.8844, 1e-4);
    EXPECT_EQ(d.levene->critical, 1.943);
    EXPECT_FALSE(d.levene->homoscedastic);
    EXPECT_EQ(d.power->percent, 80.51);  // z_beta 0.8634 reads Z 0.86

    const Comparison e =
        Case{{14, 2, 16, 12}, {19, 18, 7, 17}, options(kLess, 0.05, 10.0), OverrideAnswer::Yes}();
    EXPECT_NEAR(e.normality->w, 0.7695, 1e-4);
    EXPECT_FALSE(e.normality->normal);
    EXPECT_EQ(e.power->percent, 69.15);  // z_beta 0.4996 reads Z 0.50
}

// Case H keeps both Levene tests and the rankits: the two 3s share (RANK3 + RANK4) / 2 =
// -0.312665, the two 13s (RANK6 + RANK7) / 2 = 0.66252; rankit means -0.331 and SD 1.224 of the
// reference (shown to three places).
TEST(Analyze, RankitPathKeepsWhatItReplaced) {
    const Comparison c = Case{{3, 3, 5, 2}, {1, 13, 13, 14}, options()}();
    ASSERT_TRUE(c.rankits && c.leveneBeforeRankits && c.normality);
    EXPECT_NEAR(c.leveneBeforeRankits->absT, 2.3379, 1e-4);
    EXPECT_NEAR(c.rankits->rankits1[0], -0.312665, 1e-9);
    EXPECT_NEAR(c.rankits->rankits2[1], 0.66252, 1e-9);
    EXPECT_NEAR(c.workedMean(true), -0.331, 5e-4);
    EXPECT_NEAR(c.workedSd(false), 1.224, 5e-4);
    EXPECT_EQ(c.finalValue(true, 0), c.rankits->rankits1[0]);
    EXPECT_EQ(c.testSample.transformedMean, 3.25);  // the transformed values stay as they were
    EXPECT_TRUE(c.rankitsUsed());
}

// Mann-Whitney replaces the values by their ranks: pooled 2, 7, 12, 14, 16, 17, 18, 19.
TEST(Analyze, MannWhitneyLeavesTheRanks) {
    const Comparison c = Case{{14, 2, 16, 12}, {19, 18, 7, 17}, options()}();
    EXPECT_EQ(c.finalValue(true, 0), 4.0);
    EXPECT_EQ(c.finalValue(false, 2), 2.0);
    EXPECT_EQ(c.mannWhitney->key, "4,4");
}

// Asked, the analysis stops where the question is due, with the normality test made.
TEST(Analyze, OverrideQuestionStopsTheRunUntilAnswered) {
    const Comparison c = Case{{14, 2, 16, 12}, {19, 18, 7, 17}, options(), OverrideAnswer::Ask}();
    EXPECT_TRUE(c.overrideQuestionDue);
    EXPECT_FALSE(c.completed());
    EXPECT_TRUE(c.normality && !c.normality->normal);
    EXPECT_FALSE(c.levene);
    EXPECT_EQ(codesOf(c), (Codes{N::ShapiroWilkStep}));
    // Data that pass are never asked about.
    const Case passing{{10, 11, 12}, {14, 15, 16}, options(), OverrideAnswer::Ask};
    EXPECT_TRUE(passing().completed());
}

// The verdicts at their boundaries: a W exactly at its critical value is not normal, a Levene |t|
// exactly at its critical value means unequal variances. The tables are the generated ones with
// the one critical value replaced by the statistic itself, written with 17 digits.
TEST(Analyze, StatisticsExactlyAtTheirCriticalValues) {
    const auto digits = [](double v) {
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), "%.17g", v);
        return std::string(text.data());
    };
    const Case c{{10, 11, 12}, {14, 15, 16}, options()};
    const double w = c().normality->w;
    // crit_w: N, then A0_01, A0_02, A0_05, A0_10, A0_50; N 6 is tested at 0.10.
    const auto tables = StatTables::withRows(generatedTables(), StatTableId::CritW,
                                             {{"6", "0", "0", "0", digits(w), "0"}});
    const Comparison atW = analyze({c.x1, c.x2}, c.options, *tables, OverrideAnswer::No);
    EXPECT_EQ(atW.normality->critical, w);
    EXPECT_FALSE(atW.normality->normal);

    const Case d{{7, 18, 18, 8}, {13, 17, 12, 19}, options()};
    const double t = d().levene->absT;
    // Crit_t: DF, then A0_25, A0_20, A0_10, A0_05; Levene's test of 4 and 4 reads A0_10, df 6.
    const auto tTables =
        StatTables::withRows(generatedTables(), StatTableId::CritT,
                             {{"6", "0", "0", digits(t), "0"}, {"5", "1", "1", "2.015", "1"}});
    const Comparison atT = analyze({d.x1, d.x2}, d.options, *tTables, OverrideAnswer::No);
    EXPECT_EQ(atT.levene->critical, t);
    EXPECT_FALSE(atT.levene->homoscedastic);
}

// A reference without spread: three or more equal values always lead to the one-sample t, one
// or two only with the option. Test values without spread give an infinite t (0 when the means
// agree), and power 100 % for a difference of 2.
TEST(Analyze, OneSampleCases) {
    Case single{{8, 9, 10}, {12}, options()};
    EXPECT_NE(single().test, TestKind::OneSampleT);  // too few values: refused later, not here
    EXPECT_NE((Case{{8, 9, 10}, {12, 12}, options()}().test), TestKind::OneSampleT);
    single.options.oneSampleForFewReferences = true;
    expectVerdict(single(), {TestKind::OneSampleT, -5.1962, -2.920, 2, false}, "single");
    EXPECT_FALSE(single().balanced);  // 3 is not below twice 1

    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        Alternative alternative;
        double t;
        bool acceptNull;
        Codes notes;
    } kRows[] = {
        {8, kLess, -inf, false, {N::OneSampleTStep, N::NoSpread}},
        {8, kGreater, -inf, true, {N::OneSampleTStep, N::NoSpread}},
        {15, kGreater, inf, false, {N::OneSampleTStep, N::NoSpread}},
        {12, kLess, 0.0, true, {N::OneSampleTStep}},
    };
    for (const auto& r : kRows) {
        const Comparison c =
            Case{{r.value, r.value, r.value}, {12, 12, 12}, options(r.alternative)}();
        EXPECT_EQ(c.statistic(), r.t) << r.value;
        EXPECT_EQ(c.acceptNull(), r.acceptNull) << r.value;
        EXPECT_EQ(codesOf(c), r.notes) << r.value;
    }
    const Comparison certain = Case{{8, 8, 8}, {12, 12, 12}, options(kLess, 0.05, 2.0)}();
    EXPECT_EQ(certain.power->percent, 100.0);
    EXPECT_FALSE(certain.power->tableRead);
}

// Test 3, 3, 15 against 11, 3 with the one-sample option run as two samples: W = 0.7666 (by
// hand, N = 5 coefficients) at or below 0.806, Levene's |t| = 0.7746 (scipy) under 2.353, so
// Mann-Whitney: U = 3 (6 pairs minus scipy's statistic 3). The critical U 7 at 0.05 exceeds
// the 6 pairs there are: no U can reject, which is said; at 0.1 the critical U is 6.
TEST(Analyze, MannWhitneyThatCannotRejectSaysSo) {
    Case r{{3, 3, 15}, {11, 3}, options()};
    r.options.oneSampleForFewReferences = true;
    const Comparison c = r();
    EXPECT_NEAR(c.normality->w, 0.7666, 1e-4);
    EXPECT_NEAR(c.levene->absT, 0.7746, 1e-4);
    expectVerdict(c, {TestKind::MannWhitney, 3.0, 7.0, 0, true}, "0.05");
    EXPECT_EQ(codesOf(c).back(), N::MannWhitneyCannotReject);
    r.options.alpha = 0.1;
    const Comparison at10 = r();
    EXPECT_EQ(at10.criticalValue(), 6.0);
    EXPECT_EQ(codesOf(at10).back(), N::MannWhitneyStep);
}

TEST(Analyze, PowerWithoutADifferenceWarns) {
    const Comparison c = Case{{10, 11, 12}, {14, 15, 16}, options(kLess, 0.05, 0.0)}();
    EXPECT_EQ(codesOf(c).back(), N::NoMinimumDifference);
    EXPECT_TRUE(c.powerMissingDifference);
    EXPECT_FALSE(c.power);
}

// Ten values in each sample fill the pooled arrays exactly (W at 0.01, Levene at 0.05); eleven
// are refused before anything is computed.
TEST(Analyze, TwentyPooledValuesFitMoreAreRefused) {
    const Comparison c = Case{
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 30}, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, options()}();
    EXPECT_TRUE(c.completed());
    EXPECT_EQ(c.normality->k, 10);
    EXPECT_EQ(c.normality->alpha, 0.01);
    EXPECT_EQ(c.levene->alpha, 0.05);

    const Comparison over = Case{std::vector<double>(11, 1.0), {1, 2, 3}, options()}();
    ASSERT_TRUE(over.refusal);
    EXPECT_EQ(over.refusal->text,
              "     ERROR - More than 10 values in a sample (20 in all); test not made.");
    EXPECT_FALSE(over.completed());
    EXPECT_TRUE(over.notes.empty());
}

// Balanced: the larger count below twice the smaller (worked by hand: 5 of 3 and 7 of 4 are,
// 6 of 3 and 8 of 4 are not, in either order).
TEST(Analyze, BalancedDesigns) {
    const struct {
        int n1, n2;
        bool balanced;
    } kCases[] = {{5, 5, true},  {3, 5, true},  {3, 6, false},
                  {4, 8, false}, {6, 3, false}, {7, 4, true}};
    for (const auto& c : kCases) {
        EXPECT_EQ(isBalanced(c.n1, c.n2), c.balanced) << c.n1 << " of " << c.n2;
    }
}

// 100 % under the arcsine is (pi / 2) * 180 / 3.1415926535 = 90 * pi / 3.1415926535 =
// 90.0000000025724 with the ten-decimal pi the procedure uses; 0 under the square root is
// sqrt(0.375) = 0.612372; log10(1 + 9) = 1.
TEST(Analyze, TransformedValues) {
    Case r{{100, 95, 0}, {100, 98, 96}, options()};
    r.options.transformation = Transformation::ArcSine;
    EXPECT_NEAR(r().testSample.transformed[0], 90.0000000025724, 1e-12);
    EXPECT_EQ(r().testSample.transformed[2], 0.0);
    r.options.transformation = Transformation::SquareRoot;
    EXPECT_NEAR(r().testSample.transformed[2], 0.6123724357, 1e-10);
    r.options.transformation = Transformation::Log10;
    r.x1 = {9, 99, 0};
    EXPECT_NEAR(r().testSample.transformed[0], 1.0, 1e-15);
    EXPECT_NEAR(r().testSample.transformed[1], 2.0, 1e-15);
    EXPECT_EQ(r().testSample.mean, 36.0);  // the raw mean stays on the entered scale
}

}  // namespace
}  // namespace bx
