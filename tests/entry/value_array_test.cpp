// SPDX-License-Identifier: MIT
// Counting, mean and standard deviation of value arrays at their edges; expected values worked
// by hand (the values inside are checked through analyze()).
#include <gtest/gtest.h>

#include <cmath>

#include "entry/value_array.h"
#include "statistics/descriptive.h"

namespace bx {
namespace {

ValueArray texts(std::initializer_list<const char*> values) {
    ValueArray a;
    int i = 1;
    for (const char* v : values) {
        a[i++] = std::string(v);
    }
    return a;
}

TEST(CountValues, StopsAtTheFirstBlankOrEndMarker) {
    EXPECT_EQ(CountValues(texts({"5", "6", "", "7"})), 2);
    EXPECT_EQ(CountValues(texts({"5", "~", "7"})), 1);
    EXPECT_EQ(CountValues(texts({"   ", "6"})), 0);
    EXPECT_EQ(CountValues(texts({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"})), 10);
    EXPECT_EQ(CountValues(ValueArray{}), 0);
    ValueArray numbers;
    numbers[1] = 0.0;
    numbers[2] = 3.5;
    numbers[3] = std::string("~");
    EXPECT_EQ(CountValues(numbers), 2);
}

// 1e9 + {1, 2, 3}: SD exactly 1, which a naive sum of squares would lose; four equal values
// (0.1 + 0.2) give SD 0, never NaN; so do one value and none (whose mean is 0).
TEST(MeanAndStdDev, LargeOffsetsEqualValuesAndTooFew) {
    const ValueArray a = texts({"1000000001", "1000000002", "1000000003"});
    EXPECT_DOUBLE_EQ(MeanOfValues(a), 1000000002.0);
    EXPECT_DOUBLE_EQ(StdDevOfValues(a), 1.0);
    const double v[] = {0.1 + 0.2, 0.1 + 0.2, 0.1 + 0.2, 0.1 + 0.2};
    EXPECT_EQ(stdDevOf(v), 0.0);
    EXPECT_EQ(StdDevOfValues(texts({"7"})), 0.0);
    EXPECT_EQ(MeanOfValues(texts({"7"})), 7.0);
    EXPECT_EQ(MeanOfValues(ValueArray{}), 0.0);
    EXPECT_EQ(StdDevOfValues(ValueArray{}), 0.0);
}

}  // namespace
}  // namespace bx
