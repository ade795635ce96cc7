// SPDX-License-Identifier: MIT
// The Shapiro-Wilk and Levene kernels: residuals, levels, statistics and the cases in which
// the tests cannot be made.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "statistics/descriptive.h"
#include "statistics/levene.h"
#include "statistics/shapiro_wilk.h"
#include "table_lookup_support.h"

namespace bx {
namespace {

using test::TableLookupFixture;

constexpr auto kAtLeast = Alternative::Less;

double meanOfList(const std::vector<double>& v) {
    return meanOf(v);
}

// The levels at the edges of their ranges of counts.
TEST(TestLevels, ShapiroWilkByPooledCountAndLeveneByLargerCount) {
    EXPECT_EQ(shapiroWilkAlpha(2, false), 0.10);
    EXPECT_EQ(shapiroWilkAlpha(9, true), 0.10);
    EXPECT_EQ(shapiroWilkAlpha(9, false), 0.25);
    EXPECT_EQ(shapiroWilkAlpha(10, true), 0.05);
    EXPECT_EQ(shapiroWilkAlpha(10, false), 0.10);  // n1 = 7, n2 = 3
    EXPECT_EQ(shapiroWilkAlpha(19, false), 0.10);
    EXPECT_EQ(shapiroWilkAlpha(20, true), 0.01);
    EXPECT_EQ(shapiroWilkAlpha(20, false), 0.05);

    EXPECT_EQ(leveneAlpha(1, true), 0.0);
    EXPECT_EQ(leveneAlpha(2, true), 0.10);
    EXPECT_EQ(leveneAlpha(9, false), 0.25);
    EXPECT_EQ(leveneAlpha(10, true), 0.05);
    EXPECT_EQ(leveneAlpha(10, false), 0.10);  // n1 = 10, n2 = 4
    EXPECT_EQ(leveneAlpha(20, true), 0.05);
}

// 10, 11, 12 and 14, 15, 16 by hand: residuals -1, 0, 1, -1, 0, 1, sorted -1, -1, 0, 0, 1, 1;
// mean 0, SD sqrt(4/5), SS 4, k 3. The statistic itself needs the table's coefficients and is
// checked with the tables.
TEST(ShapiroWilkResiduals, PooledAroundEachSamplesOwnMean) {
    TableLookupFixture t;
    const std::array<double, 3> x1{12, 10, 11};
    const std::array<double, 3> x2{16, 14, 15};
    const ShapiroWilkResult r = shapiroWilk(x1, x2, 11, 15, true, t.lookup);
    EXPECT_EQ(r.pooledCount, 6);
    EXPECT_EQ(std::vector<double>(r.residuals.begin(), r.residuals.begin() + 6),
              (std::vector<double>{-1, -1, 0, 0, 1, 1}));
    EXPECT_EQ(r.residualMean, 0.0);
    EXPECT_NEAR(r.residualSd, std::sqrt(0.8), 1e-15);
    EXPECT_EQ(r.ss, 4.0);
    EXPECT_EQ(r.k, 3);
}

// Every value equal to its sample's mean: SS = 0, b = 0 whatever the coefficients, W = 0, and
// the data do not pass.
TEST(ShapiroWilkResiduals, AllResidualsZeroGiveWZero) {
    TableLookupFixture t;
    const std::array<double, 3> x1{5, 5, 5};
    const std::array<double, 3> x2{7, 7, 7};
    const ShapiroWilkResult r = shapiroWilk(x1, x2, 5, 7, true, t.lookup);
    EXPECT_EQ(r.ss, 0.0);
    EXPECT_EQ(r.b, 0.0);
    EXPECT_EQ(r.w, 0.0);
    EXPECT_FALSE(r.normal);
}

// n1 = 6, n2 = 3 is unbalanced (6 is not below twice 3): N = 9 at level 0.25, neither test can
// be made, and neither has a critical value (the panels' -9999 is not a number to compare with).
TEST(TestLimits, UnbalancedSmallDesigns) {
    TableLookupFixture t;
    const std::vector<double> x1{1, 2, 3, 4, 5, 7};
    const std::vector<double> x2{2, 4, 9};
    const ShapiroWilkResult w =
        shapiroWilk(x1, x2, meanOfList(x1), meanOfList(x2), false, t.lookup);
    EXPECT_EQ(w.pooledCount, 9);
    EXPECT_EQ(w.k, 4);
    EXPECT_EQ(w.alpha, 0.25);
    EXPECT_FALSE(w.testable);
    EXPECT_EQ(w.critical, std::nullopt);
    EXPECT_FALSE(w.normal);
    const LeveneResult l =
        levene(x1, x2, meanOfList(x1), meanOfList(x2), false, kAtLeast, t.lookup);
    EXPECT_EQ(l.alpha, 0.25);
    EXPECT_FALSE(l.testable);
    EXPECT_EQ(l.critical, std::nullopt);
    EXPECT_FALSE(l.homoscedastic);
    EXPECT_EQ(l.df, 7);
}

// Levene's level goes by the larger sample: 6 test values against 10 reference values (balanced,
// 12 > 10) are tested at 0.05, not at the 0.10 of six, with the two-sided 0.05 critical t for
// df 14: R qt(0.975, 14) = 2.144787, the table's 2.145 (tolerance 5e-4).
TEST(TestLevels, LeveneOfUnequalSamplesTakesTheLargerOnesLevel) {
    TableLookupFixture t;
    const std::vector<double> x1{1, 2, 3, 4, 5, 6};
    const std::vector<double> x2{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const LeveneResult r = levene(x1, x2, meanOfList(x1), meanOfList(x2), true, kAtLeast, t.lookup);
    EXPECT_EQ(r.alpha, 0.05);
    ASSERT_TRUE(r.critical.has_value());
    EXPECT_NEAR(*r.critical, 2.144787, 5e-4);
}

// |t| against scipy: sqrt(stats.levene(x1, x2, center='mean').statistic) (for two groups
// Levene's F is t squared), tolerance 1e-9. The first row by hand too: 10, 11, 12 (mean 11) and
// 12, 15, 18 (mean 15) give absolute residuals 1, 0, 1 and 3, 0, 3; means 2/3 and 2, SDs
// sqrt(1/3) and sqrt(3); pooled variance 5/3, se = sqrt(10/9), |t| = (4/3) / 1.0540926.
TEST(LeveneStatistic, AgainstScipy) {
    TableLookupFixture t;
    struct Case {
        std::vector<double> x1, x2;
        double absT;
    };
    const Case cases[] = {
        {{10, 11, 12}, {12, 15, 18}, 1.2649110641},
        {{4.2, 5.1, 3.9, 6.0, 5.5}, {7.1, 6.8, 9.0, 8.2, 7.7, 6.9}, 0.1173816226},
        {{12, 15, 11, 19, 22, 14, 13}, {18, 21, 20, 19, 23}, 1.5084347921},
        {{0.5, 0.9, 3.4, 7.7, 1.2, 0.8, 2.2, 5.1, 0.3, 1.0},
         {2.0, 2.1, 1.9, 2.2, 2.0, 2.05, 1.95, 2.15, 2.1, 1.85},
         3.9199096657},
    };
    for (const Case& c : cases) {
        const LeveneResult r =
            levene(c.x1, c.x2, meanOfList(c.x1), meanOfList(c.x2), true, kAtLeast, t.lookup);
        EXPECT_NEAR(r.absT, c.absT, 1e-9);
        EXPECT_EQ(r.df, static_cast<int>(c.x1.size() + c.x2.size()) - 2);
    }
    const LeveneResult r = levene(cases[0].x1, cases[0].x2, 11, 15, true, kAtLeast, t.lookup);
    EXPECT_EQ(std::vector<double>(r.absResiduals1.begin(), r.absResiduals1.begin() + 4),
              (std::vector<double>{1, 0, 1, 0}));
    EXPECT_EQ(std::vector<double>(r.absResiduals2.begin(), r.absResiduals2.begin() + 3),
              (std::vector<double>{3, 0, 3}));
    EXPECT_NEAR(r.mean1, 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(r.sd1, std::sqrt(1.0 / 3.0), 1e-15);
    EXPECT_NEAR(r.sd2, std::sqrt(3.0), 1e-15);
}

}  // namespace
}  // namespace bx
