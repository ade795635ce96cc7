// Whole analysis runs through the driver: each case of the decision tree with its status lines,
// message boxes and display fields, on the generated statistical tables.
//
// Expected values: t statistics and U from scipy 1.10 (stats.ttest_ind, with equal_var=False
// for the approximate t, stats.ttest_1samp, stats.mannwhitneyu); Levene's |t| as
// sqrt(stats.levene(x1, x2, center='mean').statistic); W recomputed by hand (an independent
// Python script) with the table's coefficients a(i) for N = 6 and 8; critical values read from
// the published tables that the build generates (t: df 2 2.920, 3 2.353, 4 2.132, 5 2.015,
// 6 1.943 in the two-sided 0.10 column; W: N 5 0.806, N 6 0.826, N 8 0.851 at 0.10; U: "4,4"
// 15 and "3,2" 7 at 0.05, "3,2" 6 at 0.10); rankits of N = 8 -1.42360, -0.85222, -0.47282,
// -0.15251, 0.15251, 0.47282, 0.85222, 1.42360; power percentages PCT of Z 0.44 (67.00), 0.86
// (80.51) and 0.50 (69.15). Displayed texts are exact; they are rounded far from a boundary.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/execute.h"
#include "app/driver_lines.h"
#include "app/options.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::statusLines;
using test::WindowFixture;
using namespace bx::test;  // the run's status lines

constexpr const char* kOverrideText =
    "Data Failed Shapiro-Wilk test. Do you want to override this conclusion of non-normality?";
constexpr const char* kRankitText =
    "Data is neither normal nor homoscedastic. Rankit transformation will be performed.";

class Analysis {
  public:
    Analysis(const std::string& name, std::initializer_list<const char*> test,
             std::initializer_list<const char*> reference)
        : f_(name), w(f_.w()), desktop(f_.desktop) {
        int row = 1;
        for (const char* text : test) {
            w.ui.Grid1.setCell(row++, Grid::kDataCol, text);
        }
        row = 1;
        for (const char* text : reference) {
            w.ui.Grid2.setCell(row++, Grid::kDataCol, text);
        }
    }

    void powerOn(const char* difference) {
        mnuPowerCalculation_Click(w);
        w.ui.txtDiff_levl.text = difference;
    }

    // Runs the analysis and returns the status lines it posted ("" first).
    Lines execute() {
        w.ui.Status.clear();
        cmdExecute_Click(w);
        return statusLines(w.ui.Status);
    }

  private:
    WindowFixture f_;

  public:
    MainWindow& w;
    test::ScriptedDesktop& desktop;
};

struct Panel {
    std::string stat, calc, crit, alpha, df, passFail, transform, balanced;
};

void expectTestPanel(const WindowState& ui, const Panel& p) {
    EXPECT_EQ(ui.txtTstStat.text, p.stat);
    EXPECT_EQ(ui.txtTstCalcStat.text, p.calc);
    EXPECT_EQ(ui.txtTstCritVal.text, p.crit);
    EXPECT_EQ(ui.txtTstAlpha.text, p.alpha);
    EXPECT_EQ(ui.txtTstDegFreedom.text, p.df);
    EXPECT_EQ(ui.txtTstPassFail.text, p.passFail);
    EXPECT_EQ(ui.txtTstTransMeth.text, p.transform);
    EXPECT_EQ(ui.txtTstBalanced.text, p.balanced);
    EXPECT_EQ(ui.imgTestPassFail, p.passFail == "Yes" ? Picture::Ok : Picture::Fail);
}

void expectNormality(const WindowState& ui, const char* w, const char* crit, const char* alpha,
                     const char* normal) {
    EXPECT_EQ(ui.txtWtestW.text, w);
    EXPECT_EQ(ui.txtWtestCritVal.text, crit);
    EXPECT_EQ(ui.txtWTestAlpha.text, alpha);
    EXPECT_EQ(ui.txtWTestPassFail.text, normal);
    EXPECT_EQ(ui.imgWtestPassFail, std::string(normal) == "Yes" ? Picture::Ok : Picture::Fail);
}

void expectHomoscedasticity(const WindowState& ui, const char* t, const char* crit,
                            const char* alpha, const char* passes, const char* df) {
    EXPECT_EQ(ui.txtScedCalcVal.text, t);
    EXPECT_EQ(ui.txtScedCritVal.text, crit);
    EXPECT_EQ(ui.txtScedAlpha.text, alpha);
    EXPECT_EQ(ui.txtScedPassfail.text, passes);
    EXPECT_EQ(ui.txtScedDegFreedom.text, df);
    EXPECT_EQ(ui.imgSced, std::string(passes) == "Yes" ? Picture::Ok : Picture::Fail);
}

void expectPowerOff(const WindowState& ui) {
    EXPECT_FALSE(ui.PowerCalcOn);
    EXPECT_FALSE(ui.mnuPowerCalculation.checked);
    EXPECT_FALSE(ui.Frame13.visible);
    EXPECT_FALSE(ui.txtTstPower.visible);
    EXPECT_EQ(ui.txtTstPower.text, "");
}

// Case A: fewer than three test values; nothing runs and the results are blanked.
TEST(DriverCaseA, InvalidEntriesStopAfterTheCheck) {
    Analysis a("case-a", {"10", "11"}, {"14", "15", "16"});
    a.w.ui.txtTstStat.text = "Student's t";
    a.w.ui.txtOverride.text = "Invoked";
    a.w.ui.Grid1.setCell(1, Grid::kTransformCol, "10.0");
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, "Sample Data entry incomplete.", kComplete}));
    EXPECT_EQ(a.w.ui.txtTstStat.text, "");
    EXPECT_EQ(a.w.ui.Grid1.cell(1, Grid::kTransformCol), "");
    EXPECT_EQ(a.w.ui.txtOverride.text, "Invoked");
    EXPECT_TRUE(a.desktop.messages.empty());
}

// Case B: a reference without spread. 8, 9, 10 against 12: t = -5.1962 (scipy ttest_1samp),
// df 2; with "x1 >= x2" the critical value -2.920 is shown negative and t below it fails.
TEST(DriverCaseB, OneSampleTestAgainstTheReferenceValue) {
    Analysis a("case-b", {"8", "9", "10"}, {"12", "12", "12"});
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kOneSample, kComplete}));
    const WindowState& ui = a.w.ui;
    EXPECT_EQ(ui.txtOverride.text, "N/A");
    expectTestPanel(ui, {"1-Sample t-Test", "-5.1962", "<= -2.920", "0.05", "2", "No",
                         "No Transformation", "Yes"});
    for (const Field* f : {&ui.txtWtestCritVal, &ui.txtWtestW, &ui.txtWTestPassFail,
                           &ui.txtWTestAlpha, &ui.txtScedCritVal, &ui.txtScedCalcVal,
                           &ui.txtScedPassfail, &ui.txtScedAlpha, &ui.txtScedDegFreedom}) {
        EXPECT_EQ(f->text, "N/A");
    }
    EXPECT_EQ(ui.imgWtestPassFail, Picture::NotApplicable);
    EXPECT_EQ(ui.imgSced, Picture::NotApplicable);
    EXPECT_FALSE(ui.Frame10.enabled);
    EXPECT_FALSE(ui.Frame11.enabled);

    // The next run restores the panels; with "x1 <= x2" the same t passes.
    pickHypoAlt(a.w, "x1 > x2");
    a.execute();
    expectTestPanel(ui, {"1-Sample t-Test", "-5.1962", ">= 2.920", "0.05", "2", "Yes",
                         "No Transformation", "Yes"});
}

TEST(DriverCaseB, OneSampleOptionTakesASingleReferenceValue) {
    Analysis a("case-b-single", {"8", "9", "10"}, {"12"});
    mnuOneSampleTTest_Click(a.w);
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kOneSample, kComplete}));
    // 3 against 1 is not balanced (3 is not below twice 1)
    expectTestPanel(a.w.ui, {"1-Sample t-Test", "-5.1962", "<= -2.920", "0.05", "2", "No",
                             "No Transformation", "No "});
}

// Case C: 10, 11, 12 against 14, 15, 16. Residuals -1, -1, 0, 0, 1, 1: b = 2 * 0.6431 +
// 2 * 0.2806 = 1.8474, W = 1.8474^2 / 4 = 0.85322 above 0.826. Levene's |t| = 0 (equal
// absolute residuals). Student's t = 4.8990 (scipy) reaches 2.132: the null is rejected.
// Power for D = 2: z_beta = 0.436 reads Z 0.44, 67.00 %.
TEST(DriverCaseC, NormalAndHomoscedasticGoesToStudentsT) {
    Analysis a("case-c", {"10", "11", "12"}, {"14", "15", "16"});
    a.powerOn("2");
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kStudent, kPower, kComplete}));
    const WindowState& ui = a.w.ui;
    EXPECT_EQ(ui.txtSampNum.text, "3");
    EXPECT_EQ(ui.txtSampMean.text, "11.0");
    EXPECT_EQ(ui.txtRefMean.text, "15.0");
    EXPECT_EQ(ui.Grid1.cell(1, Grid::kTransformCol), "10.0");
    EXPECT_EQ(ui.Grid2.cell(4, Grid::kTransformCol), "~");
    expectNormality(ui, "0.8532", "<= 0.826", "0.1", "Yes");
    EXPECT_EQ(ui.txtOverride.text, "N/A");
    expectHomoscedasticity(ui, "0.0000", ">= 2.132", "0.1", "Yes", "4");
    expectTestPanel(
        ui, {"Student's t", "4.8990", ">= 2.132", "0.05", "4", "No", "No Transformation", ""});
    EXPECT_EQ(ui.txtTstPower.text, "67.0%");
    EXPECT_TRUE(ui.PowerCalcOn);
    EXPECT_TRUE(a.desktop.messages.empty());
}

TEST(DriverCaseC, TheOtherDirectionAndAlphaTenPercent) {
    Analysis a("case-c-upper", {"10", "11", "12"}, {"14", "15", "16"});
    pickHypoNull(a.w, "x1 <= x2");
    a.w.ui.cbAlphaLevel.text = "0.1";
    a.execute();
    // t = -4.8990; the level 0.1 reads the two-sided 0.20 column: 1.533 for df 4.
    expectTestPanel(
        a.w.ui, {"Student's t", "-4.8990", ">= 1.533", "0.1", "4", "Yes", "No Transformation", ""});
}

// Case D: 7, 18, 18, 8 against 13, 17, 12, 19. W = 0.8844 above 0.851; Levene's |t| = 5.0000
// reaches 1.943 (df 6). Approximate t = 0.7229 (scipy), Satterthwaite df 4.6316 rounds to 5,
// critical 2.015. Power with D = 10: z_beta = 0.8634 reads Z 0.86, 80.51 %.
TEST(DriverCaseD, NormalButNotHomoscedasticGoesToTheApproximateT) {
    Analysis a("case-d", {"7", "18", "18", "8"}, {"13", "17", "12", "19"});
    a.powerOn("10");
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kApprox, kPower, kComplete}));
    const WindowState& ui = a.w.ui;
    expectNormality(ui, "0.8844", "<= 0.851", "0.1", "Yes");
    EXPECT_EQ(ui.txtOverride.text, "N/A");
    expectHomoscedasticity(ui, "5.0000", ">= 1.943", "0.1", "No", "6");
    expectTestPanel(
        ui, {"Approximate t", "0.7229", ">= 2.015", "0.05", "5", "Yes", "No Transformation", ""});
    EXPECT_EQ(ui.txtTstPower.text, "80.51%");
}

// Case E: 14, 2, 16, 12 against 19, 18, 7, 17. W = 0.7695 does not exceed 0.851; the user
// overrides. Levene's |t| = 0.1681 below 1.943; Student's t = 1.0190 (scipy) below 1.943.
// Power with D = 10: z_beta = 0.4996 reads Z 0.50, 69.15 %.
TEST(DriverCaseE, OverriddenNormalityAndHomoscedasticGoesToStudentsT) {
    Analysis a("case-e", {"14", "2", "16", "12"}, {"19", "18", "7", "17"});
    mnuNormalPrompt_Click(a.w);
    a.powerOn("10");
    a.desktop.answers.push_back(MessageAnswer::Yes);
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kStudent, kPower, kComplete}));
    ASSERT_EQ(a.desktop.messages.size(), 1U);
    EXPECT_EQ(a.desktop.messages[0].text, kOverrideText);
    EXPECT_EQ(a.desktop.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(a.desktop.messages[0].icon, MessageIcon::Question);
    const WindowState& ui = a.w.ui;
    expectNormality(ui, "0.7695", "<= 0.851", "0.1", "No");
    EXPECT_EQ(ui.txtOverride.text, "Invoked");
    expectHomoscedasticity(ui, "0.1681", ">= 1.943", "0.1", "Yes", "6");
    expectTestPanel(
        ui, {"Student's t", "1.0190", ">= 1.943", "0.05", "6", "Yes", "No Transformation", ""});
    EXPECT_EQ(ui.txtTstPower.text, "69.15%");
    EXPECT_TRUE(ui.PowerCalcOn);
}

// Case F: 3, 3, 5, 2 against 1, 13, 13, 14. W = 0.7985 does not exceed 0.851; overridden.
// Levene's |t| = 2.3379 reaches 1.943. Approximate t = 2.2182 (scipy), df 3.2479 rounds to 3,
// critical 2.353.
TEST(DriverCaseF, OverriddenNormalityNotHomoscedasticGoesToTheApproximateT) {
    Analysis a("case-f", {"3", "3", "5", "2"}, {"1", "13", "13", "14"});
    mnuNormalPrompt_Click(a.w);
    a.desktop.answers.push_back(MessageAnswer::Yes);
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kApprox, kComplete}));
    const WindowState& ui = a.w.ui;
    expectNormality(ui, "0.7985", "<= 0.851", "0.1", "No");
    EXPECT_EQ(ui.txtOverride.text, "Invoked");
    expectHomoscedasticity(ui, "2.3379", ">= 1.943", "0.1", "No", "6");
    expectTestPanel(
        ui, {"Approximate t", "2.2182", ">= 2.353", "0.05", "3", "Yes", "No Transformation", ""});
}

// Case G: the data of case E without override. Mann-Whitney: pooled 2, 7, 12, 14, 16, 17, 18,
// 19; U = 13 pairs with the test value below (scipy: 16 - mannwhitneyu(x1, x2).statistic 3),
// critical "4,4" at 0.05: 15. The power option is switched off.
TEST(DriverCaseG, NotNormalNoOverrideHomoscedasticGoesToMannWhitney) {
    Analysis a("case-g", {"14", "2", "16", "12"}, {"19", "18", "7", "17"});
    mnuNormalPrompt_Click(a.w);
    a.powerOn("10");
    a.desktop.answers.push_back(MessageAnswer::No);
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kMannWhitney, kComplete}));
    ASSERT_EQ(a.desktop.messages.size(), 1U);
    const WindowState& ui = a.w.ui;
    EXPECT_EQ(ui.txtOverride.text, "Not Invoked");
    expectPowerOff(ui);
    EXPECT_EQ(ui.txtDiff_levl.text, "10");
    expectHomoscedasticity(ui, "0.1681", ">= 1.943", "0.1", "Yes", "6");
    expectTestPanel(
        ui, {"Mann-Whitney", "13.0000", ">= 15.000", "0.05", "", "Yes", "rank-order", "Yes"});
    EXPECT_FALSE(ui.lblDf.enabled);
    EXPECT_FALSE(ui.txtTstDegFreedom.visible);

    // The transformed arrays now hold the ranks.
    EXPECT_EQ(slotValue(a.w.analysis.SampTrans[1]), 4.0);
    EXPECT_EQ(slotValue(a.w.analysis.RefTrans[3]), 2.0);

    // A next run that ends in a t-test (override accepted this time) shows the df field again.
    a.desktop.answers.push_back(MessageAnswer::Yes);
    a.execute();
    EXPECT_TRUE(ui.lblDf.enabled);
    EXPECT_TRUE(ui.txtTstDegFreedom.visible);
}

TEST(DriverCaseG, WithThePromptOffNoQuestionIsAsked) {
    Analysis a("case-g-off", {"14", "2", "16", "12"}, {"19", "18", "7", "17"});
    EXPECT_EQ(a.execute(), (Lines{"", kExecuting, kShapiro, kLevene, kMannWhitney, kComplete}));
    EXPECT_TRUE(a.desktop.messages.empty());
    EXPECT_EQ(a.w.ui.txtOverride.text, "Not Invoked");
}

// Case H: the data of case F without override. Rankits of N = 8: the two 3s share
// (RANK3 + RANK4) / 2 = -0.312665, the two 13s (RANK6 + RANK7) / 2 = 0.66252. On the rankits
// Levene's |t| = 1.6651 (scipy) below 1.943, so Student's t = 1.0265 (scipy) follows.
TEST(DriverCaseH, NeitherNormalNorHomoscedasticGoesThroughRankits) {
    Analysis a("case-h", {"3", "3", "5", "2"}, {"1", "13", "13", "14"});
    a.powerOn("10");
    EXPECT_EQ(a.execute(),
              (Lines{"", kExecuting, kShapiro, kLevene, kRankits, kLevene, kStudent, kComplete}));
    ASSERT_EQ(a.desktop.messages.size(), 1U);
    EXPECT_EQ(a.desktop.messages[0].title, "Statistics Status");
    EXPECT_EQ(a.desktop.messages[0].text, kRankitText);
    EXPECT_EQ(a.desktop.messages[0].icon, MessageIcon::Information);

    const WindowState& ui = a.w.ui;
    EXPECT_EQ(ui.txtOverride.text, "Not Invoked");
    expectPowerOff(ui);  // switched off although a t-test ends the run
    for (const Field* f :
         {&ui.txtWtestCritVal, &ui.txtWtestW, &ui.txtWTestPassFail, &ui.txtWTestAlpha}) {
        EXPECT_EQ(f->text, "N/A");
    }
    EXPECT_EQ(ui.imgWtestPassFail, Picture::NotApplicable);
    EXPECT_FALSE(ui.Frame10.enabled);
    expectHomoscedasticity(ui, "1.6651", ">= 1.943", "0.1", "Yes", "6");
    expectTestPanel(ui, {"Student's t", "1.0265", ">= 1.943", "0.05", "6", "Yes", "Rankits", ""});
    EXPECT_EQ(ui.cbTransMethod.text, "");
    EXPECT_EQ(ui.txtSampTransMean.text, "-0.331");
    EXPECT_EQ(ui.txtRefTransStdDev.text, "1.224");
    EXPECT_EQ(ui.Grid1.cell(1, Grid::kDataCol), "3");
    EXPECT_EQ(ui.Grid1.cell(1, Grid::kTransformCol), "-0.312665");
    EXPECT_EQ(ui.Grid1.cell(4, Grid::kTransformCol), "-0.85222");
    EXPECT_EQ(ui.Grid2.cell(1, Grid::kTransformCol), "-1.4236");
    EXPECT_EQ(ui.Grid2.cell(2, Grid::kTransformCol), "0.66252");
    EXPECT_TRUE(a.w.analysis.RankitUsed);

    // The next run rebuilds the transformed values from the typed ones (the emptied list
    // counts as "No Transformation"), so it repeats this run rather than ranking rankits.
    EXPECT_EQ(a.execute(),
              (Lines{"", kExecuting, kShapiro, kLevene, kRankits, kLevene, kStudent, kComplete}));
    EXPECT_EQ(ui.txtTstCalcStat.text, "1.0265");
}

// Case H ending in the approximate t: 7, 3, 9, 3 against 11, 3, 11, 3. W = 0.8209, Levene's
// |t| = 3.6742; rankits: the four 3s share the mean of RANK1..RANK4 = -0.7252875, the 11s
// (RANK7 + RANK8) / 2 = 1.13791; on them Levene's |t| = 6.3109 reaches 1.943, and the
// approximate t = 0.6664 (scipy) has df 4.764 -> 5, critical 2.015.
TEST(DriverCaseH, SecondLeveneFailingGoesToTheApproximateT) {
    Analysis a("case-h-approx", {"7", "3", "9", "3"}, {"11", "3", "11", "3"});
    EXPECT_EQ(a.execute(),
              (Lines{"", kExecuting, kShapiro, kLevene, kRankits, kLevene, kApprox, kComplete}));
    const WindowState& ui = a.w.ui;
    expectHomoscedasticity(ui, "6.3109", ">= 1.943", "0.1", "No", "6");
    expectTestPanel(ui, {"Approximate t", "0.6664", ">= 2.015", "0.05", "5", "Yes", "Rankits", ""});
    EXPECT_EQ(ui.Grid1.cell(2, Grid::kTransformCol), "-0.7252875");
    EXPECT_EQ(ui.Grid2.cell(1, Grid::kTransformCol), "1.13791");
}

TEST(Driver, TheMenuEntryRunsTheSameAnalysis) {
    Analysis a("menu-exec", {"10", "11", "12"}, {"14", "15", "16"});
    a.w.ui.Status.clear();
    mnuLoadExec_Click(a.w);
    EXPECT_EQ(statusLines(a.w.ui.Status),
              (Lines{"", kExecuting, kShapiro, kLevene, kStudent, kComplete}));
    EXPECT_EQ(a.w.ui.txtTstCalcStat.text, "4.8990");
}

TEST(Driver, PowerWithoutADifferenceWarnsAndLeavesTheFieldEmpty) {
    Analysis a("power-missing", {"10", "11", "12"}, {"14", "15", "16"});
    a.powerOn("");
    EXPECT_EQ(a.execute(),
              (Lines{"", kExecuting, kShapiro, kLevene, kStudent,
                     "          Warning: Minimum Detectable Difference NOT entered.", kComplete}));
    EXPECT_EQ(a.w.ui.txtTstPower.text, "");
    EXPECT_EQ(a.w.ui.txtTstCalcStat.text, "4.8990");
}

}  // namespace
}  // namespace bx
