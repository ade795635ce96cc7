// Runs through the driver where the analysis keeps sound results: a one-sample test on data
// without spread, a Mann-Whitney test that cannot reject, the transformations at the ends of
// their range, and counts the working arrays cannot hold.
//
// Critical values from the generated published tables: t df 2, two-sided 0.10: 2.920; U "3,2":
// 7 at 0.05 (one more than the 6 pairs there are), 6 at 0.10.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "analysis/driver.h"
#include "analysis/driver_lines.h"
#include "analysis/test_procedures.h"
#include "app/options.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::statusLines;
using test::WindowFixture;
using namespace bx::test;  // the run's status lines

constexpr const char* kNoSpread =
    "          Warning: Test data have no spread; the t statistic is infinite.";
constexpr const char* kCannotReject =
    "          Warning: Mann-Whitney cannot reject at this alpha level for these sample sizes.";
constexpr const char* kTooMany =
    "     ERROR - More than 10 values in a sample (20 in all); test not made.";

Lines execute(MainWindow& w) {
    w.ui.Status.clear();
    cmdExecute_Click(w);
    return statusLines(w.ui.Status);
}

// Test values without spread against a reference without spread: t is -infinity below the
// reference, +infinity above it, 0 (shown "0.0", no warning) when the means agree. Critical
// value 2.920 (df 2, negative for the null "x1 >= x2").
TEST(OneSampleWithoutSpread, InfiniteTAgainstBothNullHypotheses) {
    struct Row {
        const char* value;
        const char* null;
        bool warns;
        const char* t;
        const char* critical;
        const char* passes;
    };
    for (const Row& r : {Row{"8", "x1 >= x2", true, "-Infinity", "<= -2.920", "No"},
                         Row{"8", "x1 <= x2", true, "-Infinity", ">= 2.920", "Yes"},
                         Row{"15", "x1 <= x2", true, "Infinity", ">= 2.920", "No"},
                         Row{"12", "x1 >= x2", false, "0.0", "<= -2.920", "Yes"}}) {
        WindowFixture f("no-spread");
        MainWindow& w = f.w();
        typeReplicates(w, {r.value, r.value, r.value}, {"12", "12", "12"});
        pickHypoNull(w, r.null);
        const Lines expected = r.warns ? Lines{"", kExecuting, kOneSample, kNoSpread, kComplete}
                                       : Lines{"", kExecuting, kOneSample, kComplete};
        EXPECT_EQ(execute(w), expected) << r.value << " " << r.null;
        EXPECT_EQ(w.ui.txtTstCalcStat.text, r.t);
        EXPECT_EQ(w.ui.txtTstCritVal.text, r.critical);
        EXPECT_EQ(w.ui.txtTstPassFail.text, r.passes) << r.value << " " << r.null;
        EXPECT_EQ(w.ui.imgTestPassFail,
                  r.passes == std::string("Yes") ? Picture::Ok : Picture::Fail);
    }
}

// Without spread a difference of 2 is detected with certainty.
TEST(OneSampleWithoutSpread, PowerIsCertain) {
    WindowFixture f("no-spread-power");
    MainWindow& w = f.w();
    typeReplicates(w, {"8", "8", "8"}, {"12", "12", "12"});
    mnuPowerCalculation_Click(w);
    w.ui.txtDiff_levl.text = "2";
    EXPECT_EQ(execute(w), (Lines{"", kExecuting, kOneSample, kNoSpread,
                                 "     Conducting Power Calculation", kComplete}));
    EXPECT_EQ(w.ui.txtTstPower.text, "100.0%");
}

// With the one-sample option, test 3, 3, 15 against two different reference values 11, 3 run
// as two samples. W = 0.7666 (by hand with the N = 5 coefficients) does not exceed 0.806, and
// Levene's |t| = 0.7746 (scipy) is below 2.353, so Mann-Whitney runs: U = 3 (6 pairs minus
// scipy's mannwhitneyu statistic 3). Critical U 7 exceeds the 6 pairs: no U can reject.
TEST(MannWhitneyThatCannotReject, WarnsRightAfterTheLookup) {
    WindowFixture f("mw-cannot-reject");
    MainWindow& w = f.w();
    typeReplicates(w, {"3", "3", "15"}, {"11", "3"});
    mnuOneSampleTTest_Click(w);
    EXPECT_EQ(execute(w), (Lines{"", kExecuting, "     Conducting Shapiro-Wilk Normality Test...",
                                 "     Conducting Levene's Homoscedasticity Test",
                                 "     Conducting Mann-Whitney", kCannotReject, kComplete}));
    EXPECT_EQ(w.ui.txtWtestW.text, "0.7666");
    EXPECT_EQ(w.ui.txtScedCalcVal.text, "0.7746");
    EXPECT_EQ(w.ui.txtTstCalcStat.text, "3.0000");
    EXPECT_EQ(w.ui.txtTstCritVal.text, ">= 7.000");
    EXPECT_EQ(w.ui.txtTstPassFail.text, "Yes");

    // At 0.1 the critical U is 6, which U = 6 reaches: no warning.
    w.ui.cbAlphaLevel.text = "0.1";
    EXPECT_EQ(execute(w).at(5), kComplete);
    EXPECT_EQ(w.ui.txtTstCritVal.text, ">= 6.000");
}

// 100 % under "ArcSin" is 90 degrees; 0 under "Sqr Root (x + .375)" is sqrt(0.375) = 0.61237.
TEST(TransformColumn, EndsOfTheTransformationRanges) {
    WindowFixture f("transform-ends");
    MainWindow& w = f.w();
    typeReplicates(w, {"100", "95", "90"}, {"100", "98", "96"});
    w.ui.cbTransMethod.text = "ArcSin";
    execute(w);
    EXPECT_EQ(w.ui.Grid1.cell(1, Grid::kTransformCol), "90.00000");
    EXPECT_EQ(w.ui.Grid2.cell(1, Grid::kTransformCol), "90.00000");

    typeReplicates(w, {"0", "1", "2"}, {"0", "3", "5"});
    w.ui.cbTransMethod.text = "Sqr Root (x + .375)";
    execute(w);
    EXPECT_EQ(w.ui.Grid1.cell(1, Grid::kTransformCol), "0.61237");
    EXPECT_EQ(w.ui.Grid1.cell(2, Grid::kTransformCol), "1.17260");  // sqrt(1.375)
    EXPECT_EQ(w.ui.Grid2.cell(1, Grid::kTransformCol), "0.61237");
}

// Counts the value arrays cannot hold are refused with an error line: nothing is read or
// written beyond the ten slots of a sample or the twenty pooled positions.
TEST(ProceduresOnTooManyValues, AreRefusedWithAnError) {
    WindowFixture f("too-many");
    MainWindow& w = f.w();
    AnalysisState& a = w.analysis;
    w.ui.Status.clear();
    EXPECT_FALSE(WTest(w, a.SampTrans, a.RefTrans, 0, 0, 11, 10));
    EXPECT_FALSE(Levene(w, a.SampTrans, a.RefTrans, 0, 0, 3, 12));
    Rankit(w, a.SampTrans, a.RefTrans, 20, 3);
    EXPECT_EQ(MannWhit(w, a.SampTrans, a.RefTrans, std::nan(""), 3), 0.0);
    EXPECT_EQ(statusLines(w.ui.Status),
              (Lines{"", "     Conducting Shapiro-Wilk Normality Test...", kTooMany,
                     "     Conducting Levene's Homoscedasticity Test", kTooMany,
                     "     Conducting Rankits Transformation", kTooMany,
                     "     Conducting Mann-Whitney", kTooMany}));
    EXPECT_FALSE(a.RankitUsed);
    EXPECT_TRUE(a.mannWhitney.key.empty());
}

// Ten values in each sample fill the pooled arrays exactly.
TEST(ProceduresOnTooManyValues, TwentyPooledValuesFit) {
    WindowFixture f("twenty");
    MainWindow& w = f.w();
    typeReplicates(w, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "30"},
                   {"11", "12", "13", "14", "15", "16", "17", "18", "19", "20"});
    const Lines lines = execute(w);
    EXPECT_EQ(lines.back(), kComplete);
    EXPECT_EQ(w.analysis.shapiroWilk.k, 10);
    EXPECT_EQ(w.ui.txtWTestAlpha.text, "0.01");
    EXPECT_EQ(w.ui.txtScedAlpha.text, "0.05");
}

}  // namespace
}  // namespace bx
