// The transformation formulas. Expected values from the closed forms (scipy/numpy agree:
// numpy.degrees(numpy.arcsin(numpy.sqrt(0.5))) = 45).
#include <gtest/gtest.h>

#include <cmath>

#include "statistics/transformations.h"

namespace bx {
namespace {

TEST(Transformations, log10Plus1) {
    EXPECT_EQ(log10Plus1(0), 0.0);
    EXPECT_NEAR(log10Plus1(9), 1.0, 1e-15);
    EXPECT_NEAR(log10Plus1(99), 2.0, 1e-15);
}

TEST(Transformations, sqrtPlus375IncludesZero) {
    EXPECT_NEAR(sqrtPlus375(0), 0.6123724356957945, 1e-15);  // sqrt(0.375), not 0
    EXPECT_NEAR(sqrtPlus375(1), 1.1726039399558574, 1e-15);
    EXPECT_EQ(sqrtPlus375(-0.375), 0.0);
}

TEST(Transformations, arcsinePercentInDegrees) {
    // The ten-decimal pi makes degrees a hair larger than exact: tolerance 1e-8.
    EXPECT_NEAR(arcsinePercent(50), 45.0, 1e-8);
    EXPECT_EQ(arcsinePercent(0), 0.0);
    EXPECT_EQ(arcsinePercent(-5), 0.0);
    EXPECT_NEAR(arcsinePercent(100), 90.0, 1e-8);  // arcsin(1), not 2 radians
    EXPECT_NEAR(arcsinePercent(150), 90.0, 1e-8);
    // arcsin(sqrt(0.95)) = 77.07903361 degrees
    EXPECT_NEAR(arcsinePercent(95), 77.07903361, 1e-6);
    EXPECT_LT(arcsinePercent(99.99), 90.0);
}

TEST(Transformations, arcsineSqrt) {
    EXPECT_NEAR(arcsineSqrt(1), M_PI / 2, 1e-15);
    EXPECT_NEAR(arcsineSqrt(0.25), M_PI / 6, 1e-15);
    EXPECT_EQ(arcsineSqrt(0), 0.0);
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
