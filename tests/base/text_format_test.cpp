// SPDX-License-Identifier: MIT
// Display patterns, number-to-text and the leading-number parse. Expected texts are worked by
// hand from the pattern rules (half away from zero on the 15-digit decimal form).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/text_format.h"

namespace bx {
namespace {

TEST(FormatNumber, ExamplesOfThePatternRules) {
    EXPECT_EQ(formatNumber(2.5, "##0.0##"), "2.5");
    EXPECT_EQ(formatNumber(2, "##0.0##"), "2.0");
    EXPECT_EQ(formatNumber(1.23456, "##0.0##"), "1.235");
    EXPECT_EQ(formatNumber(4, "##0.000"), "4.000");
    EXPECT_EQ(formatNumber(7, "##"), "7");
    EXPECT_EQ(formatNumber(0, "##"), "");
    EXPECT_EQ(formatNumber(0, "###"), "");
    EXPECT_EQ(formatNumber(0, "#0"), "0");
    EXPECT_EQ(formatNumber(0.5, "######0.00"), "0.50");
    EXPECT_EQ(formatNumber(-1.234, "######0.00"), "-1.23");
    EXPECT_EQ(formatNumber(3, "#0.0#####"), "3.0");
    EXPECT_EQ(formatNumber(2.5, "#0.0#####"), "2.5");
    EXPECT_EQ(formatNumber(1.17260393995586, "#0.00000"), "1.17260");
    EXPECT_EQ(formatNumber(12345.5, "##"), "12346");  // all integer digits are shown
    EXPECT_EQ(formatNumber(0.25, "0.0#"), "0.25");
    EXPECT_EQ(formatNumber(87.25, "##0.0#"), "87.25");
    EXPECT_EQ(formatNumber(100, "##0.0#"), "100.0");
    EXPECT_EQ(formatNumber(-9999, "##0.000"), "-9999.000");
    EXPECT_EQ(formatNumber(4.89897948556636, "##0.0000"), "4.8990");
    EXPECT_EQ(formatNumber(5, "##########0.######"), "5");
    EXPECT_EQ(formatNumber(0.1 + 0.2, "##########0.######"), "0.3");
}

TEST(FormatNumber, RoundsHalfAwayFromZeroOnTheDecimalForm) {
    EXPECT_EQ(formatNumber(1.0005, "0.000"), "1.001");  // binary 1.000499999...
    EXPECT_EQ(formatNumber(2.5, "##"), "3");
    EXPECT_EQ(formatNumber(-2.5, "##"), "-3");
    EXPECT_EQ(formatNumber(0.125, "#0.00"), "0.13");
    EXPECT_EQ(formatNumber(9.9995, "#0.000"), "10.000");
    EXPECT_EQ(formatNumber(0.0049, "#0.00"), "0.00");
    EXPECT_EQ(formatNumber(1.005, "#0.00"), "1.01");
}

TEST(FormatNumber, ZeroNeverCarriesAMinusSign) {
    EXPECT_EQ(formatNumber(-0.001, "######0.00"), "0.00");
    EXPECT_EQ(formatNumber(-0.0, "##0.0##"), "0.0");
    EXPECT_EQ(formatNumber(-0.4, "##"), "");
    EXPECT_EQ(formatNumber(-0.004, "######0.00"), "0.00");
}

TEST(FormatNumber, NonFiniteValues) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatNumber(inf, "##0.0000"), "Infinity");
    EXPECT_EQ(formatNumber(-inf, "##0.0000"), "-Infinity");
    EXPECT_EQ(formatNumber(std::nan(""), "##0.0000"), "NaN");
}

// The pattern rules written out plainly, for comparison over many values: the 15 significant
// digits from printf("%.14e"), every place of the pattern taken from them, rounded half up on
// the next one, then the pattern's padding and trimming.
std::string patternModel(double value, std::string_view pattern) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    const std::size_t point = pattern.find('.');
    const std::string_view whole = pattern.substr(0, point);
    const std::string_view part =
        point == std::string_view::npos ? std::string_view() : pattern.substr(point + 1);
    const auto minInteger = static_cast<int>(std::count(whole.begin(), whole.end(), '0'));
    const auto minDecimals = static_cast<int>(std::count(part.begin(), part.end(), '0'));
    const auto maxDecimals = static_cast<int>(part.size());

    char sci[40];
    std::snprintf(sci, sizeof sci, "%.14e", std::fabs(value));
    std::string significant = std::string(1, sci[0]) + std::string(sci + 2, 14);
    const int exponent = std::atoi(sci + 17);
    const auto digitOfPower = [&](int power) {
        const int i = exponent - power;
        return i >= 0 && i < 15 ? significant[static_cast<std::size_t>(i)] : '0';
    };
    std::string digits;  // from 10^max(exponent, 0) down to 10^-maxDecimals
    for (int power = std::max(exponent, 0); power >= -maxDecimals; --power) {
        digits += digitOfPower(power);
    }
    if (digitOfPower(-maxDecimals - 1) >= '5') {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }
    std::string integer = digits.substr(0, digits.size() - static_cast<std::size_t>(maxDecimals));
    std::string fraction = digits.substr(integer.size());
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    while (static_cast<int>(fraction.size()) > minDecimals && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (static_cast<int>(integer.size()) < minInteger) {
        integer.insert(0, static_cast<std::size_t>(minInteger) - integer.size(), '0');
    }
    std::string text = integer + (fraction.empty() ? "" : "." + fraction);
    if (value < 0 && !zero && !text.empty()) {
        text.insert(text.begin(), '-');
    }
    return text;
}

// Every display pattern the program uses, over values of every magnitude: whole numbers,
// random doubles, decimals of few places and the halfway points between them (ties on the
// decimal form, and the doubles either side of them), with both signs.
TEST(FormatNumber, AgreesWithThePatternRulesOverManyValues) {
    const std::vector<std::string_view> patterns = {
        "##0.0##", "##0.000",   "##0.0000", "##0.0#",   "##",
        "#0",      "#0.000",    "#0.0000",  "#0.00000", "######0.00",
        "0.0#",    "#0.0#####", "0.000",    "###",      "##########0.######"};
    std::mt19937_64 random(20240611);
    std::vector<double> values = {0.0,    -0.0,   0.5,     1.0005,
                                  9.9995, 0.0005, 0.00049, 1e-7,
                                  1e-8,   1e14,   1e15,    99999999999999.99,
                                  1e300,  -1e300, 5e-324,  1.7976931348623157e308};
    for (int i = 0; i < 20000; ++i) {
        const double magnitude =
            std::pow(10.0, std::uniform_real_distribution(-10.0, 17.0)(random));
        const int places = static_cast<int>(random() % 9);
        const auto units = static_cast<double>(random() % 100000000);
        const double scale = std::pow(10.0, places);
        const double tie = (units + 0.5) / scale;
        // An exact binary fraction lands on a tie at the 16th significant digit.
        const double binary = static_cast<double>(random() % 10000000000000ULL >> (random() % 40)) +
                              0.125 * static_cast<double>(random() % 8);
        for (const double v : {magnitude, units / scale, tie, std::nextafter(tie, 0.0),
                               std::nextafter(tie, 1e300), binary, std::round(magnitude)}) {
            values.push_back(v);
            values.push_back(-v);
        }
    }
    int failures = 0;
    for (const double v : values) {
        for (const std::string_view pattern : patterns) {
            const std::string text = formatNumber(v, pattern);
            if (text != patternModel(v, pattern) && ++failures <= 10) {
                ADD_FAILURE() << std::hexfloat << v << " with " << pattern << ": " << text
                              << ", the rules give " << patternModel(v, pattern);
            }
            // The shown number is what the text reads back as, written without a pattern (for
            // patterns of at most four places, whose texts never read back as 1E-05 and the
            // like); with more places, the text of up to 15 digits without its trailing zeros.
            const std::string shown = shownNumberText(v, pattern);
            const std::size_t point = pattern.find('.');
            if (point != std::string_view::npos && pattern.size() - point - 1 > 4) {
                std::string trimmed = text;
                if (trimmed.find('.') != std::string::npos) {
                    while (trimmed.back() == '0') {
                        trimmed.pop_back();
                    }
                    if (trimmed.back() == '.') {
                        trimmed.pop_back();
                    }
                }
                const std::size_t first = trimmed.find_first_not_of("-0.");
                const auto digits =
                    first == std::string::npos
                        ? 0
                        : std::count_if(trimmed.begin() + static_cast<std::ptrdiff_t>(first),
                                        trimmed.end(), ::isdigit);
                if (digits > 0 && digits <= 15 && shown != trimmed && ++failures <= 10) {
                    ADD_FAILURE() << std::hexfloat << v << " with " << pattern << " shows " << shown
                                  << ", trimmed text " << trimmed;
                }
                continue;
            }
            const std::string readBack = numberToText(leadingNumber(text));
            if (shown != readBack && ++failures <= 10) {
                ADD_FAILURE() << std::hexfloat << v << " with " << pattern << " shows " << shown
                              << ", reads back as " << readBack;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(NumberToText, ShortestTextAtFifteenDigits) {
    EXPECT_EQ(numberToText(12.5), "12.5");
    EXPECT_EQ(numberToText(3), "3");
    EXPECT_EQ(numberToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(numberToText(-4), "-4");
    EXPECT_EQ(numberToText(0), "0");
    EXPECT_EQ(numberToText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(numberToText(0.00001), "1E-05");
    EXPECT_EQ(numberToTextSigned(1), " 1");
    EXPECT_EQ(numberToTextSigned(10), " 10");
    EXPECT_EQ(numberToTextSigned(-2), "-2");
}

TEST(LeadingNumber, TakesTheNumberTheTextBeginsWith) {
    EXPECT_DOUBLE_EQ(leadingNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber("   7"), 7);
    EXPECT_DOUBLE_EQ(leadingNumber("-3.25e2xyz"), -325);
    EXPECT_DOUBLE_EQ(leadingNumber("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber("5."), 5);
    EXPECT_DOUBLE_EQ(leadingNumber("12abc"), 12);
    EXPECT_DOUBLE_EQ(leadingNumber("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(leadingNumber("2e"), 2);  // an exponent without digits is not taken
    EXPECT_DOUBLE_EQ(leadingNumber("2e+"), 2);
    EXPECT_DOUBLE_EQ(leadingNumber("100.0%"), 100);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("."), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("-"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("N/A"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("\t5"), 0);  // only blanks are skipped
    EXPECT_TRUE(std::isinf(leadingNumber("1e999")));
}

// Decimal texts of every length read as the correctly rounded double strtod() gives, whether
// they take the short path (at most 15 digits, no exponent) or not.
TEST(LeadingNumber, ReadsDecimalsAsStrtodDoes) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 100000; ++i) {
        std::string number = random() % 4 == 0 ? "-" : "";
        const int integerDigits = static_cast<int>(random() % 12);
        const int fractionDigits = static_cast<int>(random() % 12);
        for (int k = 0; k < integerDigits; ++k) {
            number += static_cast<char>('0' + random() % 10);
        }
        if (fractionDigits > 0 || integerDigits == 0) {
            number += '.';
            for (int k = 0; k < std::max(fractionDigits, 1); ++k) {
                number += static_cast<char>('0' + random() % 10);
            }
        }
        if (random() % 5 == 0) {
            number += "e" + std::to_string(static_cast<int>(random() % 40) - 20);
        }
        const std::string text =
            std::string(random() % 3, ' ') + number + std::string(random() % 3, ' ');
        const LeadingNumber parsed = parseLeadingNumber(text);
        const double expected = std::strtod(number.c_str(), nullptr);
        ASSERT_TRUE(parsed.found) << text;
        ASSERT_TRUE(parsed.wholeText) << text;
        ASSERT_EQ(std::signbit(parsed.value), std::signbit(expected)) << text;
        ASSERT_EQ(parsed.value, expected) << text;
    }
    // Leading zeros count among the 15 digits.
    EXPECT_EQ(leadingNumber("0000000000000000012.5"), 12.5);
    EXPECT_EQ(leadingNumber("1234567890123456789"), 1234567890123456789.0);
    EXPECT_EQ(leadingNumber("0.1"), 0.1);
    EXPECT_EQ(leadingNumber("-0"), 0.0);
    EXPECT_TRUE(std::signbit(leadingNumber("-0")));
}

TEST(LeadingNumber, TellsWhetherTheWholeTextIsANumber) {
    EXPECT_TRUE(parseLeadingNumber(" 12.5 ").wholeText);
    EXPECT_FALSE(parseLeadingNumber("12abc").wholeText);
    EXPECT_TRUE(parseLeadingNumber("12abc").found);
    EXPECT_FALSE(parseLeadingNumber("abc").found);
    EXPECT_FALSE(parseLeadingNumber("abc").wholeText);
}

}  // namespace
}  // namespace bx
