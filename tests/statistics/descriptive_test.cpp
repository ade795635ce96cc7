// SPDX-License-Identifier: MIT
// Mean and standard deviation near the largest doubles, where squares overflow.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "statistics/descriptive.h"

namespace bx {
namespace {

// 1e300, 2e300, 3e300: mean 2e300, SD sqrt(((1e300)^2 + 0 + (1e300)^2) / 2) = 1e300 by hand;
// -1e308 and 1e308 (whose difference overflows): mean 0, SD 2e308 / sqrt(2). To 15 digits.
TEST(Descriptive, FiniteResultsForTheLargestDoubles) {
    const struct {
        std::vector<double> values;
        double mean;
        double sd;
    } kRows[] = {
        {{1e300, 2e300, 3e300}, 2e300, 1e300},
        {{3e300, 1e300, 2e300}, 2e300, 1e300},
        {{-1e308, 1e308}, 0.0, 1e308 * std::sqrt(2.0)},
        {{1e307, 1e307, 1e307}, 1e307, 0.0},
    };
    for (const auto& r : kRows) {
        const double mean = meanOf(r.values);
        const double sd = stdDevOf(r.values);
        ASSERT_TRUE(std::isfinite(mean) && std::isfinite(sd)) << r.values[0];
        EXPECT_NEAR(mean, r.mean, std::fabs(r.mean) * 1e-15 + 1e292) << r.values[0];
        EXPECT_NEAR(sd, r.sd, r.sd * 1e-15) << r.values[0];
    }
}

}  // namespace
}  // namespace bx
