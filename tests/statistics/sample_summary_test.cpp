// SPDX-License-Identifier: MIT
// A sample's summary, worked by hand: 1, 3, 5, 7 has mean 4 and SD sqrt(20 / 3) = 2.5819889,
// so SE = SD / 2 = 1.2909944 and CV = 100 * 2.5819889 / 4 = 64.549722 %; -2, 0, 2 has mean 0
// (no CV) and SE 2 / sqrt(3); a sample without values has no SE.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "statistics/analyze.h"
#include "statistics/sample_summary.h"
#include "support/test_support.h"

namespace bx {
namespace {

TEST(SampleSummary, StandardErrorAndCoefficientOfVariation) {
    const std::vector<double> x1{1, 3, 5, 7};
    const std::vector<double> x2{-2, 0, 2};
    const Comparison c =
        analyze({x1, x2}, AnalysisOptions{}, test::generatedTables(), OverrideAnswer::No);
    const SampleSummary t = sampleSummary(c, true);
    EXPECT_EQ(t.n, 4);
    EXPECT_NEAR(*t.se, 1.2909944487358056, 1e-15);
    EXPECT_NEAR(*t.cv, 64.549722436790281, 1e-12);
    EXPECT_EQ(t.transformedSd, t.sd);
    const SampleSummary r = sampleSummary(c, false);
    EXPECT_FALSE(r.cv);
    EXPECT_NEAR(*r.se, 2.0 / std::sqrt(3.0), 1e-15);
    EXPECT_FALSE(sampleSummary(SampleStatistics{}).se);
}

}  // namespace
}  // namespace bx
