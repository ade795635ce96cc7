// SPDX-License-Identifier: MIT
// What the window adds to an analysis (the statistics are tested through analyze()): the
// status lines in order, the panels' texts and pictures, enabled and visible states, the
// Transform columns, the message boxes, and what a run leaves for the next one.
// Numbers as in tests/statistics/analyze_test.cpp (scipy 1.10, the published tables).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/driver_lines.h"
#include "app/execute.h"
#include "app/options.h"
#include "app/replicate_panels.h"
#include "app/result_display.h"
#include "app/survey_comparison.h"
#include "support/test_support.h"

namespace bx {
namespace {

using namespace bx::test;

constexpr const char* kOverrideText =
    "Data Failed Shapiro-Wilk test. Do you want to override this conclusion of non-normality?";
constexpr const char* kRankitText =
    "Data is neither normal nor homoscedastic. Rankit transformation will be performed.";

struct Window {
    explicit Window(const std::string& name, const std::vector<std::string>& test,
                    const std::vector<std::string>& reference)
        : f(name), w(f.w()), ui(w.ui) {
        typeReplicates(w, test, reference);
    }
    Lines execute() {
        ui.Status.clear();
        cmdExecute_Click(w);
        return statusLines(ui.Status);
    }
    void powerOn(const char* difference) {
        mnuPowerCalculation_Click(w);
        ui.txtDiff_levl.text = difference;
    }
    WindowFixture f;
    MainWindow& w;
    WindowState& ui;
};

// The test panel: statistic name, value, critical value, alpha, df, verdict, method, balance.
std::vector<std::string> testPanel(const WindowState& ui) {
    return {ui.txtTstStat.text,      ui.txtTstCalcStat.text,   ui.txtTstCritVal.text,
            ui.txtTstAlpha.text,     ui.txtTstDegFreedom.text, ui.txtTstPassFail.text,
            ui.txtTstTransMeth.text, ui.txtTstBalanced.text};
}

// Case C with power: every panel, picture and Transform cell as shown.
TEST(Execute, StudentsTFillsEveryPanel) {
    Window a("case-c", {"10", "11", "12"}, {"14", "15", "16"});
    a.powerOn("2");
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kStudent, kPower, kComplete}));
    const WindowState& ui = a.ui;
    EXPECT_EQ((std::vector<std::string>{ui.txtSampNum.text, ui.txtSampMean.text, ui.txtRefMean.text,
                                        ui.txtRefStdDev.text}),
              (std::vector<std::string>{"3", "11.0", "15.0", "1.0"}));
    EXPECT_EQ(
        (std::vector<std::string>{ui.txtWtestW.text, ui.txtWtestCritVal.text, ui.txtWTestAlpha.text,
                                  ui.txtWTestPassFail.text, ui.txtOverride.text}),
        (std::vector<std::string>{"0.8532", "<= 0.826", "0.1", "Yes", "N/A"}));
    EXPECT_EQ((std::vector<std::string>{ui.txtScedCalcVal.text, ui.txtScedCritVal.text,
                                        ui.txtScedAlpha.text, ui.txtScedPassfail.text,
                                        ui.txtScedDegFreedom.text}),
              (std::vector<std::string>{"0.0000", ">= 2.132", "0.1", "Yes", "4"}));
    EXPECT_EQ(testPanel(ui), (std::vector<std::string>{"Student's t", "4.8990", ">= 2.132", "0.05",
                                                       "4", "No", "No Transformation", ""}));
    EXPECT_EQ(ui.txtTstPower.text, "67.0%");
    EXPECT_EQ(ui.imgWtestPassFail, Picture::Ok);
    EXPECT_EQ(ui.imgSced, Picture::Ok);
    EXPECT_EQ(ui.imgTestPassFail, Picture::Fail);
    EXPECT_EQ(ui.Grid1.cell(1, Grid::kTransformCol), "10.0");
    EXPECT_EQ(ui.Grid2.cell(4, Grid::kTransformCol), "~");
    EXPECT_TRUE(ui.PowerCalcOn);
    EXPECT_TRUE(a.f.desktop.messages.empty());
}

// Unequal spreads: Levene's |t| on |x - mean| is 5 with df 6 (R t.test(var.equal = TRUE)),
// above the critical t; the approximate t decides with Welch's df 4.63 (R t.test) rounded to 5.
// Each panel shows its own degrees of freedom.
TEST(Execute, EachPanelShowsItsOwnDegreesOfFreedom) {
    Window a("case-d", {"7", "18", "18", "8"}, {"13", "17", "12", "19"});
    a.execute();
    EXPECT_EQ(a.ui.txtScedCalcVal.text, "5.0000");
    EXPECT_EQ(a.ui.txtScedPassfail.text, "No");
    EXPECT_EQ(a.ui.txtScedDegFreedom.text, "6") << "the Levene panel shows another test's df";
    EXPECT_EQ(a.ui.txtTstDegFreedom.text, "5");
}

// Case B: both pre-test panels read "N/A", disabled, with the not-applicable picture. Test
// values without spread: an infinite t shows as "-Infinity" with its warning; equal means show
// "0.0". The next two-sample run enables the panels again.
TEST(Execute, OneSampleMarksThePreTestsNotApplicable) {
    Window a("case-b", {"8", "9", "10"}, {"12", "12", "12"});
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kOneSample, kComplete}));
    const WindowState& ui = a.ui;
    EXPECT_EQ(testPanel(ui),
              (std::vector<std::string>{"1-Sample t-Test", "-5.1962", "<= -2.920", "0.05", "2",
                                        "No", "No Transformation", "Yes"}));
    for (const Field* f : {&ui.txtWtestW, &ui.txtWTestPassFail, &ui.txtScedCalcVal,
                           &ui.txtScedDegFreedom, &ui.txtOverride}) {
        EXPECT_EQ(f->text, "N/A");
    }
    EXPECT_EQ(ui.imgWtestPassFail, Picture::NotApplicable);
    EXPECT_EQ(ui.imgSced, Picture::NotApplicable);
    EXPECT_FALSE(ui.Frame10.enabled || ui.Frame11.enabled || ui.lblHomogen.enabled);

    typeReplicates(a.w, {"8", "8", "8"}, {"12", "12", "12"});
    EXPECT_EQ(a.execute(),
              (Lines{"", kExecuting, kOneSample,
                     "          Warning: Test data have no spread; the t statistic is infinite.",
                     kComplete}));
    EXPECT_EQ(ui.txtTstCalcStat.text, "-Infinity");
    typeReplicates(a.w, {"12", "12", "12"}, {"12", "12", "12"});
    a.execute();
    EXPECT_EQ(ui.txtTstCalcStat.text, "0.0");
    EXPECT_EQ(ui.imgTestPassFail, Picture::Ok);

    typeReplicates(a.w, {"10", "11", "12"}, {"14", "15", "16"});
    a.execute();
    EXPECT_TRUE(ui.Frame10.enabled && ui.Frame11.enabled && ui.lblHomogen.enabled);
}

// Case E with the prompt on: the question is asked once, "Yes" overrides.
TEST(Execute, OverrideQuestionIsAskedAndAnswered) {
    Window a("case-e", {"14", "2", "16", "12"}, {"19", "18", "7", "17"});
    mnuNormalPrompt_Click(a.w);
    a.f.desktop.answers.push_back(MessageAnswer::Yes);
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kStudent, kComplete}));
    ASSERT_EQ(a.f.desktop.messages.size(), 1U);
    EXPECT_EQ(a.f.desktop.messages[0].title, "Normality Override");
    EXPECT_EQ(a.f.desktop.messages[0].text, kOverrideText);
    EXPECT_EQ(a.f.desktop.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(a.f.desktop.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(a.ui.txtOverride.text, "Invoked");
    EXPECT_EQ(a.ui.imgWtestPassFail, Picture::Fail);
    EXPECT_EQ(a.ui.txtTstCalcStat.text, "1.0190");
}

// A survey comparison opened in the window runs with its plan's override answer, as the batch
// does, instead of asking: Yes gives case E's t-test, No its Mann-Whitney (numbers as above).
TEST(Execute, SurveyComparisonUsesThePlannedOverrideAnswer) {
    SurveySample test;
    test.id = "S1";
    test.values = {"14", "2", "16", "12"};
    SurveySample reference;
    reference.id = "REF";
    reference.values = {"19", "18", "7", "17"};
    for (const bool answer : {true, false}) {
        WindowFixture f(answer ? "planned-yes" : "planned-no");
        ComparisonSettings settings;
        settings.reference = "REF";
        settings.overrideAnswer = answer;
        ASSERT_TRUE(openSurveyComparison(f.w(), test, reference, settings, "survey"));
        EXPECT_TRUE(f.desktop.messages.empty()) << "the planned answer was asked for";
        EXPECT_EQ(f.w().ui.txtOverride.text, answer ? "Invoked" : "Not Invoked");
        EXPECT_EQ(f.w().ui.txtTstCalcStat.text, answer ? "1.0190" : "13.0000");
    }
}

// Case G: Mann-Whitney hides the df field, switches the power option off and leaves the
// ranks in the transformed arrays; a run ending in a t-test shows the df field again.
TEST(Execute, MannWhitneyHidesTheDfAndSwitchesThePowerOff) {
    Window a("case-g", {"14", "2", "16", "12"}, {"19", "18", "7", "17"});
    a.powerOn("10");
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kMannWhitney, kComplete}));
    const WindowState& ui = a.ui;
    EXPECT_EQ(testPanel(ui), (std::vector<std::string>{"Mann-Whitney", "13.0000", ">= 15.000",
                                                       "0.05", "", "Yes", "rank-order", "Yes"}));
    EXPECT_EQ(ui.txtOverride.text, "Not Invoked");
    EXPECT_FALSE(ui.PowerCalcOn || ui.mnuPowerCalculation.checked || ui.Frame13.visible ||
                 ui.txtTstPower.visible);
    EXPECT_EQ(ui.txtDiff_levl.text, "10");
    EXPECT_FALSE(ui.lblDf.enabled || ui.txtTstDegFreedom.visible);
    EXPECT_EQ(slotValue(a.w.analysis.SampTrans[1]), 4.0);
    EXPECT_EQ(slotValue(a.w.analysis.RefTrans[3]), 2.0);

    typeReplicates(a.w, {"10", "11", "12"}, {"14", "15", "16"});
    a.execute();
    EXPECT_TRUE(ui.lblDf.enabled && ui.txtTstDegFreedom.visible);
}

// Case H: the notice box comes before the rankits; the W panel reads "N/A"; the grids show the
// typed values beside the rankits; the method list keeps its choice, so the next run repeats
// this one.
TEST(Execute, RankitsReplaceTheTransformedValues) {
    Window a("case-h", {"3", "3", "5", "2"}, {"1", "13", "13", "14"});
    const Lines expected{"", kExecuting, kShapiro, kLevene, kRankits, kLevene, kStudent, kComplete};
    EXPECT_EQ(a.execute(), expected);
    ASSERT_EQ(a.f.desktop.messages.size(), 1U);
    EXPECT_EQ(a.f.desktop.messages[0].title, "Statistics Status");
    EXPECT_EQ(a.f.desktop.messages[0].text, kRankitText);
    EXPECT_EQ(a.f.desktop.messages[0].icon, MessageIcon::Information);
    const WindowState& ui = a.ui;
    EXPECT_EQ(ui.txtWtestW.text, "N/A");
    EXPECT_EQ(ui.imgWtestPassFail, Picture::NotApplicable);
    EXPECT_FALSE(ui.Frame10.enabled || ui.lblOverride.enabled);
    EXPECT_EQ(testPanel(ui), (std::vector<std::string>{"Student's t", "1.0265", ">= 1.943", "0.05",
                                                       "6", "Yes", "Rankits", ""}));
    EXPECT_EQ(ui.txtSampTransMean.text, "-0.331");
    EXPECT_EQ(ui.cbTransMethod.text, "No Transformation");
    EXPECT_EQ(ui.Grid1.cell(1, Grid::kDataCol), "3");
    EXPECT_EQ(ui.Grid1.cell(1, Grid::kTransformCol), "-0.312665");
    EXPECT_EQ(ui.Grid2.cell(2, Grid::kTransformCol), "0.66252");
    EXPECT_TRUE(a.w.analysis.RankitUsed);
    EXPECT_EQ(replicatePanels(ui, a.w.analysis)[1].title, "Rankits");
    EXPECT_EQ(a.execute(), expected);
    EXPECT_EQ(ui.txtTstCalcStat.text, "1.0265");
}

// After rankits on Log10 values the list keeps "Log10 (x + 1.0)" while the panel says
// "Rankits"; on screen the power switched off by the failed normality test is named. The
// next run transforms by Log10 again (1.0265 as above: the rankits depend on ranks alone).
TEST(Execute, RankitsKeepTheChosenTransformation) {
    Window a("case-h-log", {"3", "3", "5", "2"}, {"1", "13", "13", "14"});
    a.ui.onScreen = true;
    a.ui.cbTransMethod.text = "Log10 (x + 1.0)";
    a.powerOn("2");
    const Lines lines = a.execute();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "     Power Calculation Option OFF: the data failed the normality test, "
                        "and no power is given for Mann-Whitney or the rankits."),
              lines.end());
    EXPECT_EQ(a.ui.cbTransMethod.text, "Log10 (x + 1.0)");
    EXPECT_EQ(a.ui.txtTstTransMeth.text, "Rankits");
    a.execute();
    EXPECT_EQ(a.w.analysis.checked.options.transformation, Transformation::Log10);
    EXPECT_EQ(a.ui.txtTstCalcStat.text, "1.0265");
}

// Values whose spread is beyond the largest double pass the entry check, but the analysis
// refuses them (its statistics would not be finite): the results of the run before are
// cleared, not left beside the refusal.
TEST(Execute, ARunTheAnalysisRefusesClearsTheEarlierResults) {
    Window a("refused-run", {"10", "11", "12"}, {"14", "15", "16"});
    a.execute();
    ASSERT_EQ(a.ui.txtTstStat.text, "Student's t");
    typeReplicates(a.w, {"-1.7e308", "1.7e308", "-1.7e308"}, {"1", "2", "3"});
    EXPECT_EQ(a.execute().back(), kComplete);
    EXPECT_EQ(a.ui.txtTstStat.text + a.ui.txtTstCalcStat.text + a.ui.txtScedCalcVal.text, "")
        << "the earlier run's results stand beside the refusal";
    EXPECT_EQ(a.ui.imgTestPassFail, Picture::Question);
}

// Case A: nothing runs; results, pictures and Transform columns are blanked and the panels
// enabled; the override text and the entries stay.
TEST(Execute, InvalidEntriesStopAfterTheCheck) {
    Window a("case-a", {"10", "11"}, {"14", "15", "16"});
    a.ui.txtTstStat.text = "Student's t";
    a.ui.txtSampMean.text = "11.0";
    a.ui.txtOverride.text = "Invoked";
    a.ui.Grid1.setCell(1, Grid::kTransformCol, "10.0");
    a.ui.Grid2.setCell(3, Grid::kTransformCol, "~");
    a.ui.imgTestPassFail = Picture::Ok;
    a.ui.Frame11.enabled = false;
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, "Sample Data entry incomplete.", kComplete}));
    EXPECT_EQ(a.ui.txtTstStat.text + a.ui.txtSampMean.text, "");
    EXPECT_EQ(a.ui.Grid1.cell(1, Grid::kTransformCol) + a.ui.Grid2.cell(3, Grid::kTransformCol),
              "");
    EXPECT_EQ(a.ui.Grid1.cell(1, Grid::kDataCol), "10");
    EXPECT_EQ(a.ui.imgTestPassFail, Picture::Question);
    EXPECT_TRUE(a.ui.Frame11.enabled);
    EXPECT_EQ(a.ui.txtOverride.text, "Invoked");
    mnuLoadExec_Click(a.w);  // the menu entry runs the same
    EXPECT_EQ(statusLines(a.ui.Status).back(), kComplete);
}

}  // namespace
}  // namespace bx
