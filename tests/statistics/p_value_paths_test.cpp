// SPDX-License-Identifier: MIT
// The p-value of each test path through analyze(), and its agreement with the table verdict on
// thousands of generated comparisons.
#include <gtest/gtest.h>

#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <cstdint>
#include <vector>

#include "statistics/analyze.h"
#include "statistics/decision_trail.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::generatedTables;

Comparison run(std::vector<double> x1, std::vector<double> x2, Alternative alternative,
               double alpha = 0.05, bool oneSampleOption = false) {
    AnalysisOptions o;
    o.alternative = alternative;
    o.alpha = alpha;
    o.oneSampleForFewReferences = oneSampleOption;
    return analyze({x1, x2}, o, generatedTables(), OverrideAnswer::No);
}

// scipy 1.10: stats.ttest_ind(x1, x2, alternative=...) for Student's t; for the approximate t
// stats.t.sf(|t|, df) with the whole df the critical value used (5 and 3 here; scipy's own
// fractional df would give 0.25228 for D); stats.mannwhitneyu(x1, x2, alternative='less',
// method='exact') for U (its statistic is the pairs with x1 above); stats.ttest_1samp; for the
// rankits stats.ttest_ind on the rankits of N = 8. Tolerance 1e-9 (1e-6 for the rankits, whose
// table values have five decimals).
TEST(PValue, EachPathAgainstScipy) {
    const std::vector<double> c1{10, 11, 12}, c2{14, 15, 16};
    const struct {
        const char* name;
        Comparison c;
        const char* test;
        double p;
        double tolerance;
    } kRows[] = {
        {"Student, x1 < x2", run(c1, c2, Alternative::Less), "student_t", 0.00402494655041886,
         1e-9},
        {"Student, x1 > x2, alpha 0.1", run(c1, c2, Alternative::Greater, 0.1), "student_t",
         0.9959750534495811, 1e-9},
        {"approximate t, df 5", run({7, 18, 18, 8}, {13, 17, 12, 19}, Alternative::Less),
         "approximate_t", 0.2510528338601016, 1e-9},
        {"Mann-Whitney", run({14, 2, 16, 12}, {19, 18, 7, 17}, Alternative::Less), "mann_whitney",
         0.1, 1e-12},
        {"rankits then Student", run({3, 3, 5, 2}, {1, 13, 13, 14}, Alternative::Less), "rankit_t",
         0.17211439172075527, 1e-6},
        {"one-sample, x1 < x2", run({8, 9, 10}, {12, 12, 12}, Alternative::Less), "one_sample_t",
         0.017549359322992324, 1e-9},
        {"one-sample, x1 > x2, alpha 0.1", run({8, 9, 10}, {12, 12, 12}, Alternative::Greater, 0.1),
         "one_sample_t", 0.9824506406770077, 1e-9},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(testCode(row.c), row.test) << row.name;
        EXPECT_NEAR(row.c.pValue(), row.p, row.tolerance) << row.name;
    }
    // A one-sample t without spread is certain: p = 0 below the reference for "x1 < x2".
    EXPECT_EQ(run({8, 8, 8}, {12, 12, 12}, Alternative::Less).pValue(), 0.0);
}

// Generated comparisons of 3 to 10 values each (a fixed xorshift stream, normal and skewed
// samples, both directions and levels): the p-value and the table verdict agree, except where
// the statistic lies between the table's critical value and the exact quantile it rounds (t
// tables hold three decimals), or where a tied U is a half below its critical value.
TEST(PValue, AgreesWithTheTableVerdictOnGeneratedComparisons) {
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    const auto uniform = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<double>(state >> 11) * 0x1.0p-53;
    };
    int checked = 0;
    int nearTheRounding = 0;
    int rejected = 0;
    int mannWhitney = 0;
    for (int i = 0; i < 4000; ++i) {
        const auto sample = [&](double shift) {
            std::vector<double> x(3 + static_cast<std::size_t>(uniform() * 8.0));
            for (double& v : x) {
                const double u = uniform();
                v = std::round((10.0 + shift + (i % 3 == 0 ? 8.0 * u * u * u : 3.0 * u)) * 10.0) /
                    10.0;
            }
            return x;
        };
        const Comparison c =
            run(sample(0.0), sample(uniform() * 3.0 - 1.5),
                i % 2 == 0 ? Alternative::Less : Alternative::Greater, i % 4 < 2 ? 0.05 : 0.1);
        ASSERT_TRUE(c.completed());
        const double alpha = i % 4 < 2 ? 0.05 : 0.1;
        const bool rejects = !c.acceptNull();
        const double p = c.pValue();
        ASSERT_FALSE(std::isnan(p)) << i;
        ++checked;
        rejected += rejects ? 1 : 0;
        mannWhitney += c.mannWhitney ? 1 : 0;
        if ((p <= alpha) == rejects) {
            continue;
        }
        ++nearTheRounding;
        if (c.mannWhitney) {
            EXPECT_EQ(c.mannWhitney->u + 0.5, c.mannWhitney->critical) << i;
        } else {
            const int df = *c.degreesOfFreedom();
            const double exact =
                boost::math::quantile(boost::math::complement(boost::math::students_t(df), alpha));
            const double t = c.oneSampleT && c.criticalValue() < 0 ? -c.statistic() : c.statistic();
            EXPECT_LE(std::fabs(t - exact), 0.0005 + 1e-12)
                << i << ": t " << t << " exact critical " << exact;
        }
    }
    EXPECT_EQ(checked, 4000);
    EXPECT_LT(nearTheRounding, 40);  // a handful at most
    // Both verdicts and the rank test occur often enough to tell.
    EXPECT_GT(rejected, 400);
    EXPECT_LT(rejected, 3600);
    EXPECT_GT(mannWhitney, 100);
}

}  // namespace
}  // namespace bx
