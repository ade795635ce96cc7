// The transformation formulas. Expected values from the closed forms (scipy/numpy agree:
// numpy.degrees(numpy.arcsin(numpy.sqrt(0.5))) = 45).
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/transformations.h"

namespace bx {
namespace {

TEST(Transformations, Log10Plus1) {
    EXPECT_EQ(Log10Plus1(0), 0.0);
    EXPECT_NEAR(Log10Plus1(9), 1.0, 1e-15);
    EXPECT_NEAR(Log10Plus1(99), 2.0, 1e-15);
}

TEST(Transformations, SqrtPlus375IncludesZero) {
    EXPECT_NEAR(SqrtPlus375(0), 0.6123724356957945, 1e-15);  // sqrt(0.375), not 0
    EXPECT_NEAR(SqrtPlus375(1), 1.1726039399558574, 1e-15);
    EXPECT_EQ(SqrtPlus375(-0.375), 0.0);
}

TEST(Transformations, ArcSinPercentInDegrees) {
    // The ten-decimal pi makes degrees a hair larger than exact: tolerance 1e-8.
    EXPECT_NEAR(ArcSinPercent(50), 45.0, 1e-8);
    EXPECT_EQ(ArcSinPercent(0), 0.0);
    EXPECT_EQ(ArcSinPercent(-5), 0.0);
    EXPECT_NEAR(ArcSinPercent(100), 90.0, 1e-8);  // arcsin(1), not 2 radians
    EXPECT_NEAR(ArcSinPercent(150), 90.0, 1e-8);
    // arcsin(sqrt(0.95)) = 77.07903361 degrees
    EXPECT_NEAR(ArcSinPercent(95), 77.07903361, 1e-6);
    EXPECT_LT(ArcSinPercent(99.99), 90.0);
}

TEST(Transformations, ArcSinSqrt) {
    EXPECT_NEAR(ArcSinSqrt(1), M_PI / 2, 1e-15);
    EXPECT_NEAR(ArcSinSqrt(0.25), M_PI / 6, 1e-15);
    EXPECT_EQ(ArcSinSqrt(0), 0.0);
}

TEST(Transformations, Domains) {
    EXPECT_FALSE(inTransformDomain("Log10 (x + 1.0)", -1));
    EXPECT_TRUE(inTransformDomain("Log10 (x + 1.0)", -0.99));
    EXPECT_FALSE(inTransformDomain("Sqr Root (x + .375)", -0.376));
    EXPECT_TRUE(inTransformDomain("Sqr Root (x + .375)", -0.375));
    EXPECT_TRUE(inTransformDomain("ArcSin", -50));
    EXPECT_FALSE(inTransformDomain("No Transformation", INFINITY));
}

}  // namespace
}  // namespace bx
