// SPDX-License-Identifier: MIT
// The transformations at the edges of their ranges (the values inside them are checked through
// analyze() in analyze_test.cpp). Expected values from the closed forms: arcsin(sqrt(0.5)) =
// 45 degrees, arcsin(sqrt(0.95)) = 77.0790336184 degrees (numpy.degrees), sqrt(1.375) =
// 1.1726039399558574; the ten-decimal pi makes degrees a hair larger: tolerance 1e-8.
#include <gtest/gtest.h>

#include <cmath>

#include "statistics/transformations.h"

namespace bx {
namespace {

TEST(Transformations, ClampsAndEdges) {
    const struct {
        Transformation method;
        double x;
        double expected;
    } kCases[] = {
        {Transformation::ArcSine, 25, 30.0},  // arcsin(0.5)
        {Transformation::ArcSine, 50, 45.0},
        {Transformation::ArcSine, 95, 77.0790336184},
        {Transformation::ArcSine, -5, 0.0},    // clamped to 0 %
        {Transformation::ArcSine, 150, 90.0},  // clamped to 100 %: arcsin(1), not 2 radians
        {Transformation::SquareRoot, 1, 1.1726039399558574},
        {Transformation::SquareRoot, -0.375, 0.0},
        {Transformation::Log10, 0, 0.0},
        {Transformation::None, -7.5, -7.5},
    };
    for (const auto& c : kCases) {
        EXPECT_NEAR(transformed(c.method, c.x), c.expected, 1e-8) << c.x;
    }
    EXPECT_LT(arcsinePercent(99.99), 90.0);
}

TEST(Transformations, Domains) {
    EXPECT_FALSE(inTransformDomain(Transformation::Log10, -1));
    EXPECT_TRUE(inTransformDomain(Transformation::Log10, -0.99));
    EXPECT_FALSE(inTransformDomain(Transformation::SquareRoot, -0.376));
    EXPECT_TRUE(inTransformDomain(Transformation::SquareRoot, -0.375));
    EXPECT_TRUE(inTransformDomain(Transformation::ArcSine, -50));
    EXPECT_FALSE(inTransformDomain(Transformation::None, INFINITY));
}

}  // namespace
}  // namespace bx
