// SPDX-License-Identifier: MIT
// Survey plans: the words a plan row takes, what it leaves to the command line, and the
// mistakes it is refused for.
#include <gtest/gtest.h>

#include "survey/plan.h"

namespace bx {
namespace {

TEST(Plan, RowsOverrideTheCommandLineWhereTheyHaveAWord) {
    std::string error;
    const std::optional<SurveyPlan> plan = readPlan(
        "Endpoint;reference;transform;alpha;power_difference;override;one_sample\n"
        "survival;REF;arcsine;0.1;;yes;\n"
        "growth;;none;;2,5;;TRUE\n",
        error);
    ASSERT_TRUE(plan) << error;
    EXPECT_EQ(plan->groupColumns, (std::vector<std::string>{"Endpoint"}));
    ComparisonSettings base;
    base.reference = "CTRL";
    base.alternative = Alternative::Greater;
    base.transformation = Transformation::Log10;

    const ComparisonSettings survival = plan->find({"survival"})->settings.over(base);
    EXPECT_EQ(survival.reference, "REF");
    EXPECT_EQ(survival.transformation, Transformation::ArcSine);
    EXPECT_EQ(survival.alpha, "0.1");
    EXPECT_EQ(survival.alternative, Alternative::Greater);
    EXPECT_EQ(survival.overrideAnswer, std::optional<bool>(true));
    EXPECT_FALSE(survival.oneSample);

    const ComparisonSettings growth = plan->find({"growth"})->settings.over(base);
    EXPECT_EQ(growth.reference, "CTRL");
    EXPECT_EQ(growth.transformation, Transformation::None);
    EXPECT_EQ(growth.alpha, "0.05");
    // A plan saved where the comma is the decimal mark: 2,5 is 2.5, not 2.
    EXPECT_EQ(growth.powerDifference, std::optional<std::string>("2.5"));
    EXPECT_TRUE(growth.oneSample);
    EXPECT_EQ(plan->find({"reproduction"}), nullptr);

    // Saved and read again, the plan says the same.
    const std::optional<SurveyPlan> again = readPlan(planText(*plan), error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->find({"survival"})->settings.over(base).transformation,
              Transformation::ArcSine);
    EXPECT_EQ(again->find({"growth"})->settings.over(base).oneSample, true);
}

TEST(Plan, MistakesAreNamedByLineAndColumn) {
    const std::pair<const char*, const char*> cases[] = {
        {"endpoint,alpha\nsurvival,0.01\n",
         "line 2, column \"alpha\": \"0.01\" is not one of 0.05, 0.1"},
        {"endpoint,transform\ngrowth,ln\n",
         "line 2, column \"transform\": \"ln\" is not one of none, arcsine, sqrt, log10"},
        {"endpoint,power_difference\ngrowth,two\n",
         "line 2, column \"power_difference\": \"two\" is not a number"},
        {"endpoint,reference\ngrowth,A\ngrowth,B\n", "lines 2 and 3 plan the same group"},
        {"reference,alpha\nREF,0.05\n",
         "line 1: no grouping column (such as endpoint) names the rows' groups"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(readPlan(text, error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
}

}  // namespace
}  // namespace bx
