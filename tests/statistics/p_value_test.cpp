// SPDX-License-Identifier: MIT
// One-sided p-values: the Student's t tails against scipy 1.10 (whose t.sf and t.cdf come from
// the Cephes stdtr, not from Boost) and against closed forms; the exact Mann-Whitney null
// distribution against counts by hand, a brute-force enumeration of every arrangement, and
// scipy's mannwhitneyu(method='exact').
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "statistics/p_value.h"

namespace bx {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void expectRelativelyNear(double actual, double expected, double relativeTolerance) {
    EXPECT_NEAR(actual, expected, relativeTolerance * std::fabs(expected));
}

// ---------------------------------------------------------------------------------------------
// Student's t

struct StudentTCase {
    double t;
    double df;
    double upper;  // P(T >= t)
    double lower;  // P(T <= t)
    double relativeTolerance;
    const char* source;
};

// Rows marked "scipy" are scipy.stats.t.sf(t, df) and scipy.stats.t.cdf(t, df) with scipy
// 1.10.1, printed with repr. Where the two libraries agree to 1e-12 relative this also checks
// that small tails are computed directly: 1 - P(T <= t) would leave no correct digit of
// 1.4e-11 beyond the fifth.
TEST(StudentTTails, AgainstScipyAndClosedForms) {
    // df = 2: P(T <= t) = 1/2 + t / (2 sqrt(2 + t^2)), so for t >= 0
    // P(T >= t) = (s - t) / (2 s) = 1 / (s (s + t)) with s = sqrt(2 + t^2), free of cancellation.
    const double s = std::sqrt(2.0 + 1e8);
    const double df2FarTail = 1.0 / (s * (s + 1e4));
    // df = 1 is the Cauchy distribution: P(T >= t) = atan(1 / t) / pi for t > 0.
    const double cauchyFarTail = std::atan(1e-6) / std::numbers::pi;
    const StudentTCase cases[] = {
        {1.0, 1, 0.25, 0.75, 1e-15, "Cauchy: P(T >= 1) = 1/2 - atan(1)/pi = 1/4"},
        {1e6, 1, cauchyFarTail, 1.0 - cauchyFarTail, 1e-13, "Cauchy: atan(1e-6)/pi"},
        {2.0, 1, 0.1475836176504332, 0.8524163823495667, 1e-12, "scipy"},
        {0.5, 2, 1.0 / 3.0, 2.0 / 3.0, 1e-14, "df = 2: 1 / (1.5 * (1.5 + 0.5)) = 1/3"},
        {1e4, 2, df2FarTail, 1.0 - df2FarTail, 1e-12, "df = 2: 1 / (s (s + t)), about 5e-9"},
        {1.812461, 10, 0.050000010018875045, 0.9499999899811249, 1e-12,
         "scipy; 1.812 is the printed one-sided 5% point for df = 10"},
        {3.7, 7.5, 0.0033858437990216886, 0.9966141562009784, 1e-12, "scipy, fractional df"},
        {50.0, 8, 1.4172053225458909e-11, 0.999999999985828, 1e-12, "scipy, far tail"},
        // Large df approaches the normal: scipy.stats.norm.sf(2.0) = 0.022750131948179195,
        // 6e-7 relative below the t value at df = 1e7.
        {2.0, 1e7, 0.02275014544592147, 0.9772498545540785, 1e-12, "scipy"},
        {2.0, kInf, 0.022750131948179195, 0.9772498680518208, 1e-12,
         "scipy t.sf(2, inf) = norm.sf(2)"},
    };
    for (const StudentTCase& c : cases) {
        SCOPED_TRACE("t = " + std::to_string(c.t) + ", df = " + std::to_string(c.df) + " (" +
                     c.source + ")");
        expectRelativelyNear(studentTUpperTail(c.t, c.df), c.upper, c.relativeTolerance);
        expectRelativelyNear(studentTLowerTail(c.t, c.df), c.lower, c.relativeTolerance);
    }
}

// t = 0 and infinite t are answered exactly; a NaN t and a df that is NaN or not positive give
// NaN through the error policy, never an exception.
TEST(StudentTTails, ExactValuesAndInvalidArguments) {
    EXPECT_EQ(studentTUpperTail(0.0, 4.5), 0.5);
    EXPECT_EQ(studentTLowerTail(0.0, 4.5), 0.5);
    EXPECT_EQ(studentTUpperTail(kInf, 3), 0.0);
    EXPECT_EQ(studentTLowerTail(kInf, 3), 1.0);
    EXPECT_EQ(studentTUpperTail(-kInf, 3), 1.0);
    EXPECT_EQ(studentTLowerTail(-kInf, 3), 0.0);
    for (const auto& [t, df] : {std::pair{kNaN, 3.0}, {1.0, 0.0}, {1.0, kNaN}}) {
        EXPECT_TRUE(std::isnan(studentTUpperTail(t, df))) << t << " " << df;
        EXPECT_TRUE(std::isnan(studentTLowerTail(t, df))) << t << " " << df;
    }
}

// ---------------------------------------------------------------------------------------------
// Mann-Whitney U

// How many of the C(n1 + n2, n1) rank arrangements give each U, by visiting every one: the
// bits of `mask` mark the ranks of the first sample among positions 0 .. n1 + n2 - 1 (the
// pooled ranks ascending), and U counts the pairs with the first-sample rank above.
std::vector<double> bruteForceCounts(int n1, int n2) {
    std::vector<double> counts(static_cast<std::size_t>(n1 * n2) + 1, 0.0);
    const std::uint64_t end = std::uint64_t{1} << (n1 + n2);
    std::uint64_t mask = (std::uint64_t{1} << n1) - 1;
    while (mask < end) {
        int u = 0;
        int secondBelow = 0;
        for (int position = 0; position < n1 + n2; ++position) {
            if ((mask >> position) & 1U) {
                u += secondBelow;
            } else {
                ++secondBelow;
            }
        }
        counts[static_cast<std::size_t>(u)] += 1.0;
        // The next larger mask with the same number of bits set (Gosper).
        const std::uint64_t lowest = mask & (~mask + 1);
        const std::uint64_t ripple = mask + lowest;
        mask = (((ripple ^ mask) >> 2) / lowest) | ripple;
    }
    return counts;
}

// Sizes up to 6 against 6 (at most C(12, 6) = 924 arrangements), and a few with one sample
// above the 20 values that are tabulated, so that the direct recursion is checked as well. The
// tails are counted straight from the arrangements (U >= u and U <= u with u running over whole
// and half values from -1 to n1 * n2 + 1), so the ceil/floor rule is checked too: a U from
// averaged tied ranks is a half-integer, and P(U >= u) counts k >= ceil(u), P(U <= u) counts
// k <= floor(u) (scipy 1.10's exact method truncates a half-integer U and is no oracle there).
// The recursion's rounding error is a few (n1 + n2) machine epsilons: 1e-13 relative.
TEST(MannWhitneyNullDistribution, MatchesEveryArrangementCounted) {
    std::vector<std::pair<int, int>> sizes;
    for (int n1 = 1; n1 <= 6; n1 += 2) {
        for (int n2 = 1; n2 <= 6; ++n2) {
            sizes.emplace_back(n1, n2);
        }
    }
    sizes.insert(sizes.end(), {{2, 2}, {6, 6}, {21, 1}, {3, 25}});
    for (const auto& [n1, n2] : sizes) {
        SCOPED_TRACE(std::to_string(n1) + " against " + std::to_string(n2));
        const std::vector<double> counts = bruteForceCounts(n1, n2);
        double total = 0.0;
        for (double count : counts) {
            total += count;
        }
        const std::vector<double> probability = mannWhitneyNullDistribution(n1, n2);
        ASSERT_EQ(probability.size(), counts.size());
        for (std::size_t k = 0; k < counts.size(); ++k) {
            expectRelativelyNear(probability[k], counts[k] / total, 1e-13);
        }
        const int pairs = n1 * n2;
        for (int twiceU = -2; twiceU <= 2 * pairs + 2; ++twiceU) {
            const double u = twiceU / 2.0;
            double atLeast = 0.0;
            double atMost = 0.0;
            for (int k = 0; k <= pairs; ++k) {
                atLeast += k >= u ? counts[static_cast<std::size_t>(k)] : 0.0;
                atMost += k <= u ? counts[static_cast<std::size_t>(k)] : 0.0;
            }
            SCOPED_TRACE("u = " + std::to_string(u));
            expectRelativelyNear(mannWhitneyUpperTail(u, n1, n2), atLeast / total, 1e-13);
            expectRelativelyNear(mannWhitneyLowerTail(u, n1, n2), atMost / total, 1e-13);
        }
    }
}

// Concrete samples without ties through scipy 1.10.1:
//     g = scipy.stats.mannwhitneyu(x, y, alternative='greater', method='exact')
//     l = scipy.stats.mannwhitneyu(x, y, alternative='less', method='exact')
// u1 = g.statistic (the pairs with the x value above), P(U >= u1) = g.pvalue and
// P(U <= u1) = l.pvalue, printed with repr. scipy sums whole counts in doubles and divides by
// C(n1 + n2, n1); the two agree to 1e-12 relative, also in the far tails.
TEST(MannWhitneyTails, AgainstScipyOnSamples) {
    struct Case {
        int n1;
        int n2;
        double u1;
        double greater;
        double less;
        const char* samples;
    };
    const Case cases[] = {
        {3, 3, 7, 0.2, 0.9, "x = [4.1, 5.3, 6.2], y = [3.0, 4.5, 5.0]; 4/20 and 18/20"},
        {5, 4, 18, 0.031746031746031744, 0.9841269841269842,
         "x = [12.1, 14.3, 11.8, 15.2, 13.9], y = [10.2, 11.5, 12.6, 9.8]; 4/126"},
        {10, 10, 91, 0.000525016778886748, 0.9996373595444803,
         "x = [71.2, 68.4, 75.1, 80.3, 66.0, 73.7, 77.9, 69.5, 74.4, 70.8], "
         "y = [62.3, 65.1, 70.2, 58.7, 67.4, 61.9, 64.8, 72.5, 60.6, 63.3]"},
        {25, 30, 722, 5.979873878498601e-12, 0.9999999999952233,
         "x = np.arange(25) * 1.0 + 22.5, y = np.arange(30) * 1.0"},
        {50, 50, 2472, 1.829691147753826e-25, 1.0,
         "x = np.arange(50) * 1.0 + 42.5, y = np.arange(50) * 1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.samples);
        expectRelativelyNear(mannWhitneyUpperTail(c.u1, c.n1, c.n2), c.greater, 1e-12);
        expectRelativelyNear(mannWhitneyLowerTail(c.u1, c.n1, c.n2), c.less, 1e-12);
    }
}

// Large samples, where whole counts would no longer be exact in a double, checked at the ends
// by hand: U = 0 and U = n1 * n2 each come from one arrangement (the first sample wholly below
// or wholly above), U = 1 from one (the two middle values swapped) and U = 2 from two, each
// over C(n1 + n2, n1) arrangements; and the probabilities add up to 1. The 1/C values are
// 1 / math.comb(n1 + n2, n1) in Python; 1e-12 relative.
TEST(MannWhitneyNullDistribution, EndsOfLargeDistributions) {
    struct Case {
        int n1;
        int n2;
        double oneArrangement;  // 1 / C(n1 + n2, n1)
    };
    const Case cases[] = {
        {10, 10, 5.412544112234515e-06},
        {50, 50, 9.911653021418339e-30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.n1) + " against " + std::to_string(c.n2));
        const std::vector<double> probability = mannWhitneyNullDistribution(c.n1, c.n2);
        const int pairs = c.n1 * c.n2;
        ASSERT_EQ(probability.size(), static_cast<std::size_t>(pairs) + 1);
        expectRelativelyNear(probability[0], c.oneArrangement, 1e-12);
        expectRelativelyNear(probability[1], c.oneArrangement, 1e-12);
        expectRelativelyNear(probability[2], 2.0 * c.oneArrangement, 1e-12);
        expectRelativelyNear(probability.back(), c.oneArrangement, 1e-12);
        double total = 0.0;
        for (double p : probability) {
            total += p;
        }
        EXPECT_NEAR(total, 1.0, 1e-12);
    }
}

// Infinite U is outside every sample's range; a NaN U, a sample of no values, and more than
// kMannWhitneyExactMaxPairs pairs give NaN (and an empty distribution), without overflowing
// n1 * n2 on the way.
TEST(MannWhitneyTails, InfiniteAndInvalidArguments) {
    EXPECT_EQ(mannWhitneyUpperTail(kInf, 3, 4), 0.0);
    EXPECT_EQ(mannWhitneyLowerTail(kInf, 3, 4), 1.0);
    EXPECT_EQ(mannWhitneyUpperTail(-kInf, 3, 4), 1.0);
    EXPECT_EQ(mannWhitneyLowerTail(-kInf, 3, 4), 0.0);
    EXPECT_TRUE(std::isnan(mannWhitneyUpperTail(kNaN, 3, 4)));
    EXPECT_TRUE(std::isnan(mannWhitneyLowerTail(kNaN, 3, 4)));
    for (const auto& [n1, n2] : {std::pair{1, 0}, {101, 100}, {INT_MAX, INT_MAX}}) {
        EXPECT_TRUE(std::isnan(mannWhitneyUpperTail(1, n1, n2))) << n1 << " " << n2;
        EXPECT_TRUE(std::isnan(mannWhitneyLowerTail(1, n1, n2))) << n1 << " " << n2;
        EXPECT_TRUE(mannWhitneyNullDistribution(n1, n2).empty()) << n1 << " " << n2;
    }
}

}  // namespace
}  // namespace bx
