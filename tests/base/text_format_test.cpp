// Display patterns, number-to-text and the leading-number parse. Expected texts are worked by
// hand from the pattern rules (half away from zero on the 15-digit decimal form).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

TEST(LeadingNumber, TellsWhetherTheWholeTextIsANumber) {
    EXPECT_TRUE(parseLeadingNumber(" 12.5 ").wholeText);
    EXPECT_FALSE(parseLeadingNumber("12abc").wholeText);
    EXPECT_TRUE(parseLeadingNumber("12abc").found);
    EXPECT_FALSE(parseLeadingNumber("abc").found);
    EXPECT_FALSE(parseLeadingNumber("abc").wholeText);
}

}  // namespace
}  // namespace bx
