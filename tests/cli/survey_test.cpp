// Grouping the lines of a survey into samples. Expected groupings worked out by hand.
#include <gtest/gtest.h>

#include "cli/survey.h"

namespace bx::cli {
namespace {

using Texts = std::vector<std::string>;

TEST(Survey, SamplesInOrderOfFirstAppearanceWithReplicatesInFileOrder) {
    const Survey s = readSurvey(
        "station,Sample , VALUE,note\n"
        "x,B,3,\n"
        "x,A,1,first\n"
        "x,B,4,\n"
        "x, A ,2,\n");
    ASSERT_TRUE(s.errors.empty());
    ASSERT_EQ(s.samples.size(), 2U);
    EXPECT_EQ(s.samples[0].id, "B");
    EXPECT_EQ(s.samples[0].values, (Texts{"3", "4"}));
    EXPECT_EQ(s.samples[0].firstLine, 2);
    EXPECT_EQ(s.samples[1].id, "A");  // blanks around an id are dropped
    EXPECT_EQ(s.samples[1].values, (Texts{"1", "2"}));
    ASSERT_NE(s.find("A"), nullptr);
    EXPECT_EQ(s.find("C"), nullptr);
}

TEST(Survey, ValuesKeepTheirTextAndBlankValuesAreNoted) {
    const Survey s = readSurvey("sample,value\nA, 1.50\nA,\nA,x\n");
    ASSERT_EQ(s.samples.size(), 1U);
    EXPECT_EQ(s.samples[0].values, (Texts{" 1.50", "", "x"}));
    EXPECT_EQ(s.samples[0].blankValueLine, 3);
}

TEST(Survey, HeaderWithoutTheColumns) {
    Survey s = readSurvey("sample,result\nA,1\n");
    ASSERT_EQ(s.errors.size(), 1U);
    EXPECT_EQ(s.errors[0].line, 1);
    EXPECT_EQ(s.errors[0].reason, "the header line has no column \"value\"");
    s = readSurvey("");
    ASSERT_EQ(s.errors.size(), 1U);
    EXPECT_EQ(s.errors[0].reason, "there is no header line");
}

TEST(Survey, ShortLinesAndMissingIdsAreMalformed) {
    const Survey s = readSurvey("value,sample\n1\n2,\n3,A\n\"4,B\n");
    ASSERT_EQ(s.errors.size(), 3U);
    EXPECT_EQ(s.errors[0].line, 2);
    EXPECT_EQ(s.errors[0].reason, "the line has 1 fields, the header needs 2");
    EXPECT_EQ(s.errors[1].line, 3);
    EXPECT_EQ(s.errors[1].reason, "the line has no sample id");
    EXPECT_EQ(s.errors[2].line, 5);
    ASSERT_EQ(s.samples.size(), 1U);
    EXPECT_EQ(s.samples[0].values, (Texts{"3"}));
}

}  // namespace
}  // namespace bx::cli
