// SPDX-License-Identifier: MIT
// The analysis at any magnitude. The designs of analyze_test.cpp (whose values are checked there
// against scipy) run again times 1e-170, 1e-100, 1e100, 1e160, 2^-565 and 2^532 must take the
// same path with the same statistics as near 1, and show their means, SDs, differences and
// minimum significant difference in their own scale: to 1e-12 relative for the decimal
// factors, exactly for the powers of two (scaling by 2^k is exact). At 1e+-100 the data run
// unscaled, where Satterthwaite's df holds fourth powers of SDs beyond the doubles.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "statistics/analyze.h"
#include "support/test_support.h"

namespace bx {
namespace {

Comparison run(std::vector<double> x1, std::vector<double> x2, double power, double factor) {
    for (std::vector<double>* v : {&x1, &x2}) {
        std::ranges::for_each(*v, [factor](double& x) { x *= factor; });
    }
    AnalysisOptions o;
    o.power = power != 0.0;
    o.minimumDifference = power * factor;
    return analyze({x1, x2}, o, test::generatedTables(), OverrideAnswer::No);
}

TEST(AnalyzeScale, SameTestAndStatisticsAtAnyMagnitude) {
    const struct {
        const char* name;
        std::vector<double> test, reference;
        double power;  // the minimum difference; 0 for no power
    } designs[] = {
        {"Student's t", {10, 11, 12}, {14, 15, 16}, 2.0},
        {"approximate t", {7, 18, 18, 8}, {13, 17, 12, 19}, 10.0},
        {"Mann-Whitney", {14, 2, 16, 12}, {19, 18, 7, 17}, 0.0},
        {"rankit t", {3, 3, 5, 2}, {1, 13, 13, 14}, 0.0},
        {"one-sample t", {8, 9, 10}, {12, 12, 12}, 1.0},
    };
    for (const auto& d : designs) {
        const Comparison one = run(d.test, d.reference, d.power, 1.0);
        for (const double factor : {0x1p-565, 1e-170, 1e-100, 1e100, 1e160, 0x1p532}) {
            const Comparison c = run(d.test, d.reference, d.power, factor);
            std::array<char, 64> name{};
            std::snprintf(name.data(), name.size(), "%s times %g", d.name, factor);
            int exponent = 0;
            const bool exact = std::frexp(factor, &exponent) == 0.5;
            const auto same = [&](double scaled, double near1, const char* what) {
                if (exact) {
                    EXPECT_EQ(scaled, near1) << name.data() << ": " << what;
                } else {
                    EXPECT_NEAR(scaled, near1, 1e-12 * std::max(1.0, std::fabs(near1)))
                        << name.data() << ": " << what;
                }
            };
            ASSERT_TRUE(c.completed()) << name.data();
            EXPECT_EQ(c.test, one.test) << name.data();
            EXPECT_EQ(c.rankitsUsed(), one.rankitsUsed()) << name.data();
            EXPECT_EQ(c.notes.size(), one.notes.size()) << name.data();
            same(c.statistic(), one.statistic(), "statistic");
            EXPECT_EQ(c.criticalValue(), one.criticalValue()) << name.data();
            EXPECT_EQ(c.degreesOfFreedom(), one.degreesOfFreedom()) << name.data();
            same(c.pValue(), one.pValue(), "p-value");
            EXPECT_EQ(c.acceptNull(), one.acceptNull()) << name.data();
            if (one.normality) {
                same(c.normality->w, one.normality->w, "W");
                same(c.levene->absT, one.levene->absT, "Levene's t");
            }
            if (one.power) {
                EXPECT_EQ(c.power->percent, one.power->percent) << name.data();
            }
            // In the data's own scale; the rankits' MSD has the rankits' scale.
            same(c.testSample.mean / factor, one.testSample.mean, "test mean");
            same(c.testSample.sd / factor, one.testSample.sd, "test SD");
            same(c.difference() / factor, one.difference(), "difference");
            if (const auto msd = one.minimumSignificantDifference()) {
                same(*c.minimumSignificantDifference() / (one.rankitsUsed() ? 1.0 : factor), *msd,
                     "MSD");
            }
        }
    }
}

// An SD beyond the largest double (about 1.96e308 here) cannot be shown: the comparison is
// refused rather than given a verdict on it.
TEST(AnalyzeScale, ResultBeyondTheDoublesIsRefused) {
    const Comparison c = run({-1.7e308, 1.7e308, -1.7e308}, {1, 2, 3}, 0.0, 1.0);
    EXPECT_FALSE(c.completed());
    ASSERT_TRUE(c.refusal);
    EXPECT_EQ(c.refusal->code, NoteCode::NotFinite);
}

}  // namespace
}  // namespace bx
