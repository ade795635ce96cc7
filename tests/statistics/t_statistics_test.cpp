// SPDX-License-Identifier: MIT
// The t statistics and degrees of freedom of the three t-tests, on numbers alone.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "statistics/approximate_t.h"
#include "statistics/descriptive.h"
#include "statistics/one_sample_t.h"
#include "statistics/student_t.h"

namespace bx {
namespace {

constexpr auto kAtLeast = Alternative::Less;    // null "x1 >= x2"
constexpr auto kAtMost = Alternative::Greater;  // null "x1 <= x2"

struct Sample {
    double mean;
    double sd;
    int n;
};

Sample describe(std::initializer_list<double> values) {
    const std::span<const double> v(values.begin(), values.size());
    return {meanOf(v), stdDevOf(v), static_cast<int>(values.size())};
}

// No t can be formed (n1 + n2 = 2, an empty sample, no spread: se = 0): 0 for both t-tests.
TEST(TStatistics, ZeroWhenNoTCanBeFormed) {
    const struct {
        double s1;
        int n1;
        double s2;
        int n2;
    } kCases[] = {{0, 1, 0, 1}, {1, 0, 1, 5}, {1, 5, 1, 0}, {0, 3, 0, 3}};
    for (const auto& c : kCases) {
        EXPECT_EQ(pooledTStatistic(1, c.s1, c.n1, 2, c.s2, c.n2, kAtLeast), 0.0) << c.n1;
        EXPECT_EQ(welchTStatistic(1, c.s1, c.n1, 2, c.s2, c.n2, kAtLeast), 0.0) << c.n1;
    }
}

// Cross-checks against scipy 1.10 (/usr/bin/python3):
//   stats.ttest_ind(x1, x2).statistic is (x1 - x2)/se, the t of the null "x1 <= x2";
//   stats.ttest_ind(x1, x2, equal_var=False).statistic likewise for the separate-variance t;
//   scipy.stats._stats_py._unequal_var_ttest_denom(var1, n1, var2, n2)[0] is the unrounded
//   Satterthwaite df. Tolerance 1e-8 on t, 1e-8 on df.
struct ScipyCase {
    std::initializer_list<double> x1;
    std::initializer_list<double> x2;
    double pooledT;
    double welchT;
    double welchDf;
};

TEST(TStatisticsAgainstScipy, PooledAndSeparateVarianceTAndSatterthwaiteDf) {
    const ScipyCase cases[] = {
        {{4.2, 5.1, 3.9, 6.0, 5.5},
         {7.1, 6.8, 9.0, 8.2, 7.7, 6.9},
         -5.0852783483,
         -5.0746612290,
         8.5704173968},
        {{12, 15, 11, 19, 22, 14, 13},
         {18, 21, 20, 19, 23},
         -2.6081355461,
         -2.9204713430,
         9.1090799465},
        {{1, 2, 3, 3, 5}, {3, 4, 5, 6, 7, 8}, -2.6083834106, -2.6690407456, 8.9923671405},
        {{0.5, 0.9, 3.4, 7.7, 1.2, 0.8, 2.2, 5.1, 0.3, 1.0},
         {2.0, 2.1, 1.9, 2.2, 2.0, 2.05, 1.95, 2.15, 2.1, 1.85},
         0.3659791995,
         0.3659791995,
         9.0380070211},
        {{1, 2, 3}, {2, 5, 8}, -1.6431676725, -1.6431676725, 2.4390243902},
    };
    for (const ScipyCase& c : cases) {
        const Sample a = describe(c.x1);
        const Sample b = describe(c.x2);
        EXPECT_NEAR(pooledTStatistic(a.mean, a.sd, a.n, b.mean, b.sd, b.n, kAtMost), c.pooledT,
                    1e-8);
        EXPECT_NEAR(pooledTStatistic(a.mean, a.sd, a.n, b.mean, b.sd, b.n, kAtLeast), -c.pooledT,
                    1e-8);
        EXPECT_NEAR(welchTStatistic(a.mean, a.sd, a.n, b.mean, b.sd, b.n, kAtMost), c.welchT, 1e-8);
        EXPECT_NEAR(welchTStatistic(a.mean, a.sd, a.n, b.mean, b.sd, b.n, kAtLeast), -c.welchT,
                    1e-8);
        EXPECT_NEAR(welchDf(a.sd, a.n, b.sd, b.n), c.welchDf, 1e-8);
        EXPECT_EQ(welchWholeDf(a.sd, a.n, b.sd, b.n),
                  static_cast<int>(std::lround(c.welchDf)));  // none of these is a half
    }
}

// Whole degrees of freedom {s1, n1, s2, n2, df}: s 1 and 3 with n 3 give b1 = 1/3, b2 = 3,
// df = (100/9) / (1/18 + 9/2) = 2.4390 by hand, rounded to 2; equal spreads and sizes give
// 2 (n - 1); a single value gives 2; both spreads 0 make the formula 0/0 and spreads whose
// squares overflow do the same: the pooled df n1 + n2 - 2 stands in, never a NaN turned
// into an integer.
TEST(SatterthwaiteDf, WholeDegreesOfFreedom) {
    const struct {
        double s1;
        int n1;
        double s2;
        int n2;
        int df;
    } kCases[] = {{1, 3, 3, 3, 2}, {2.5, 6, 2.5, 6, 10}, {0.3, 10, 0.3, 10, 18}, {0, 1, 3, 5, 2},
                  {3, 5, 0, 1, 2}, {0, 4, 0, 5, 7},      {1e200, 4, 1e200, 5, 7}};
    for (const auto& c : kCases) {
        EXPECT_EQ(welchWholeDf(c.s1, c.n1, c.s2, c.n2), c.df) << c.s1 << " " << c.s2;
    }
    EXPECT_EQ(welchDf(0, 4, 0, 5), 7.0);
}

// Halves go to the even neighbour; a NaN, an infinity or a value beyond int gives 0.
TEST(SatterthwaiteDf, HalvesRoundToTheEvenNeighbour) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> kCases[] = {
        {4.5, 4},          {5.5, 6},
        {2.5, 2},          {2.4390243902, 2},
        {8.5704173968, 9}, {4.4999999, 4},
        {4.5000001, 5},    {std::numeric_limits<double>::quiet_NaN(), 0},
        {inf, 0},          {-inf, 0},
        {1e300, 0}};
    for (const auto& [value, rounded] : kCases) {
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    }
}

// scipy: stats.ttest_1samp([3.1, 2.7, 3.9, 3.3], 3.0).statistic = 1.0000000000, df 3 (the
// worked case 8, 9, 10 against 12 is checked through analyze()).
TEST(OneSampleTStatistic, AgainstScipy) {
    const Sample s = describe({3.1, 2.7, 3.9, 3.3});
    const OneSampleTResult r = oneSampleTStatistic(s.mean, s.sd, s.n, 3.0);
    EXPECT_NEAR(r.t, 1.0, 1e-8);
    EXPECT_EQ(r.df, 3);
}

// A test sample without spread: the difference from the reference value is certain, so t is
// infinite with the sign of x1 - x2; with x1 = x2, or a single test value, it stays 0.
TEST(OneSampleTStatistic, NoSpreadGivesAnInfiniteTUnlessTheMeansAgree) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double mean;
        int n;
        double t;
    } kCases[] = {{8, 3, -inf}, {15, 3, inf}, {12, 3, 0}, {8, 1, 0}};
    for (const auto& c : kCases) {
        const OneSampleTResult r = oneSampleTStatistic(c.mean, 0, c.n, 12);
        EXPECT_EQ(r.t, c.t) << c.mean << " " << c.n;
        EXPECT_EQ(r.infinite, std::isinf(c.t)) << c.mean << " " << c.n;
    }
    EXPECT_EQ(oneSampleTStatistic(8, 0, 1, 12).df, 0);
}

}  // namespace
}  // namespace bx
