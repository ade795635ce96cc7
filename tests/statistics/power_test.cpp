// SPDX-License-Identifier: MIT
// The power of the t-tests by the normal approximation, on numbers alone.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "statistics/power.h"
#include "table_lookup_support.h"

namespace bx {
namespace {

using test::TableLookupFixture;

// Worked by hand (z_beta tolerance 1e-6), each: {result, df, S, z_beta}.
//  - PowerT, D = 2, s1 = s2 = 1, n1 = n2 = 3, alpha 0.05: df = 4, S = 1, F = sqrt(2/3),
//    correction 4 + 1.21 * (1.645 - 1.06) = 4.70785, z_beta = 8 / (0.8164966 * 4.70785) - 1.645
//    = 0.4361961;
//  - PowerT, alpha 0.1, s 1 and 2, n 3 and 5, D = 1: pooled S = sqrt((2 + 4 * 4) / 6) = sqrt(3),
//    z_beta = 6 / (sqrt 3 * sqrt(1/3 + 1/5) * (6 + 1.21 * 0.222)) - 1.282 = -0.5253077;
//  - PowerT_A, alpha 0.05, s 1 and 2, n 3 and 5, D = 1: Satterthwaite's df (unrounded)
//    (1/3 + 4/5)^2 / ((1/3)^2 / 2 + (4/5)^2 / 4) = 5.9587629, not the pooled 6;
//    S = sqrt((1 + 4) / 2) = 1.5811388, z_beta = 5.9587629 / (1.5811388 * 0.7302967 *
//    (5.9587629 + 1.21 * 0.585)) - 1.645 = -0.8709278 (R);
//  - PowerT_1, D = 1, s1 = 1, n1 = 4, alpha 0.05: df = 3, F = 0.5, correction 3.70785,
//    z_beta = 3 / 1.853925 - 1.645 = -0.0268116.
TEST(PowerT, WorkedExamples) {
    TableLookupFixture t;
    const struct {
        PowerResult r;
        double df;
        double spread;
        double zBeta;
    } kCases[] = {
        {pooledTPower(0.05, 1, 1, 3, 3, 2, t.lookup), 4, 1, 0.4361961},
        {pooledTPower(0.1, 1, 2, 3, 5, 1, t.lookup), 6, std::sqrt(3.0), -0.5253077},
        {welchTPower(0.05, 1, 2, 3, 5, 1, t.lookup), 5.9587629, 1.5811388, -0.8709278},
        {oneSampleTPower(0.05, 1, 4, 1, t.lookup), 3, 1, -0.0268116},
    };
    for (const auto& c : kCases) {
        EXPECT_NEAR(c.r.df, c.df, 1e-7);
        EXPECT_NEAR(c.r.spread, c.spread, 1e-7);
        EXPECT_NEAR(c.r.zBeta, c.zBeta, 1e-6);
        EXPECT_TRUE(c.r.tableRead);
    }
    EXPECT_NEAR(kCases[0].r.sizeFactor, std::sqrt(2.0 / 3.0), 1e-15);
    EXPECT_EQ(kCases[3].r.sizeFactor, 0.5);
}

TEST(PowerCuts, BeyondTheCutsNoTableIsRead) {
    TableLookupFixture t;
    // z_beta = 40 * 4 / (0.8164966 * 4.70785) - 1.645 = 39.98 by hand: exactly 100.
    const PowerResult high = pooledTPower(0.05, 1, 1, 3, 3, 40, t.lookup);
    EXPECT_GT(high.zBeta, 3.25);
    EXPECT_EQ(high.percent, 100.0);
    EXPECT_FALSE(high.tableRead);
    // A negative difference: z_beta = -160 / 3.84395 - 1.645 = -43.27: exactly 0.
    const PowerResult low = pooledTPower(0.05, 1, 1, 3, 3, -40, t.lookup);
    EXPECT_LT(low.zBeta, -3.25);
    EXPECT_EQ(low.percent, 0.0);
    EXPECT_FALSE(low.tableRead);
    // A level other than 0.05 and 0.1 has no z_alpha: no power (0).
    const PowerResult unknown = pooledTPower(0.2, 1, 1, 3, 3, 2, t.lookup);
    EXPECT_EQ(unknown.percent, 0.0);
    EXPECT_FALSE(unknown.tableRead);
    EXPECT_TRUE(t.notes.empty());

    bool read = false;
    EXPECT_EQ(powerFromZ(3.2500001, t.lookup, read), 100.0);
    EXPECT_FALSE(read);
    EXPECT_EQ(powerFromZ(-3.2500001, t.lookup, read), 0.0);
    EXPECT_FALSE(read);
    powerFromZ(3.25, t.lookup, read);  // both cuts themselves are read from the table
    EXPECT_TRUE(read);
    powerFromZ(-3.25, t.lookup, read);
    EXPECT_TRUE(read);
}

// Without spread the formula divides by zero. The difference is then certain: z_beta is
// +/- infinity by the sign of D and the power 100 or 0, without a table read; PowerT_A takes
// n1 + n2 - 2 degrees of freedom then.
TEST(PowerWithoutSpread, CertainDifferenceGivesAllOrNothing) {
    TableLookupFixture t;
    const PowerResult one = oneSampleTPower(0.05, 0, 3, 2, t.lookup);
    EXPECT_EQ(one.zBeta, std::numeric_limits<double>::infinity());
    EXPECT_EQ(one.percent, 100.0);
    EXPECT_FALSE(one.tableRead);
    const PowerResult negative = oneSampleTPower(0.05, 0, 3, -2, t.lookup);
    EXPECT_EQ(negative.zBeta, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(negative.percent, 0.0);

    const PowerResult pooled = pooledTPower(0.1, 0, 0, 4, 4, 1.5, t.lookup);
    EXPECT_EQ(pooled.percent, 100.0);
    EXPECT_FALSE(pooled.tableRead);

    const PowerResult approx = welchTPower(0.05, 0, 0, 4, 5, -0.5, t.lookup);
    EXPECT_EQ(approx.df, 7.0);
    EXPECT_EQ(approx.spread, 0.0);
    EXPECT_EQ(approx.percent, 0.0);
    EXPECT_FALSE(approx.tableRead);
    EXPECT_TRUE(t.notes.empty());
}

}  // namespace
}  // namespace bx
