// SPDX-License-Identifier: MIT
// writeShortest() against the standard library's std::to_chars, which it must match character
// for character: the shortest round-trip digits, the choice of the plain or the exponent form,
// the point, the zeros and the exponent's digits.
#include "base/shortest_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace bx {
namespace {

std::string standardText(double v) {
    char text[kShortestTextRoom];
    return {text, std::to_chars(text, text + sizeof text, v).ptr};
}

std::string shortestText(double v) {
    char text[kShortestTextRoom];
    return {text, writeShortest(text, v)};
}

// Counts the values whose texts differ, and shows the first few.
int mismatches(const std::vector<double>& values) {
    int bad = 0;
    for (const double v : values) {
        const std::string expected = standardText(v);
        const std::string got = shortestText(v);
        if (got != expected && ++bad <= 5) {
            ADD_FAILURE() << "value " << std::bit_cast<std::uint64_t>(v) << ": expected "
                          << expected << ", got " << got;
        }
    }
    return bad;
}

TEST(WriteShortest, MatchesToCharsWhereTheFormsMeet) {
    // Each form and the boundaries between them: the plain form with a fraction, with
    // trailing zeros (exact whole numbers up to 2^53 and beyond), with leading zeros, the
    // exponent form with one digit and with three exponent digits, the ties (1.23e+07 against
    // 12300000 have eight characters each: plain), and what std::to_chars is left with.
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -1.0,
                                  0.1,
                                  1e-5,
                                  1.5e-5,
                                  0.0001,
                                  0.00012,
                                  123e5,
                                  1.23e7,
                                  1e15,
                                  1e16,
                                  12345678.9,
                                  9007199254740991.0,
                                  0x1p53,
                                  0x1p60,
                                  1e21,
                                  1e22,
                                  1e23,
                                  1e100,
                                  1e-100,
                                  5e-324,
                                  0x1p-1022,
                                  1.7976931348623157e308,
                                  0.3,
                                  2.0 / 3,
                                  100.0,
                                  std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    for (int e = -30; e <= 30; ++e) {
        const double p = std::pow(10.0, e);
        for (const double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), 1.5 * p,
                               7.0 * p, 123456.0 * p}) {
            values.push_back(v);
            values.push_back(-v);
        }
    }
    EXPECT_EQ(mismatches(values), 0);
}

TEST(WriteShortest, MatchesToCharsOnRandomValues) {
    std::mt19937_64 random(20261207);
    std::vector<double> values;
    // Any bit pattern: every exponent, subnormals, infinities and NaNs among them.
    for (int i = 0; i < 200000; ++i) {
        values.push_back(std::bit_cast<double>(random()));
    }
    // Numbers as a survey gives them: measurements, their means and SDs, p-values, percents.
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 17);
    for (int i = 0; i < 300000; ++i) {
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
    }
    // Whole numbers and short decimals, whose digits end early.
    for (int i = 0; i < 100000; ++i) {
        const auto whole = static_cast<double>(random() % 100000000);
        values.push_back(whole);
        values.push_back(whole / 1000.0);
    }
    EXPECT_EQ(mismatches(values), 0);
}

}  // namespace
}  // namespace bx
