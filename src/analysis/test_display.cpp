#include "analysis/test_display.h"

#include <string>

#include "analysis/levene.h"
#include "analysis/mann_whitney.h"
#include "analysis/one_sample_t.h"
#include "analysis/shapiro_wilk.h"
#include "analysis/student_t.h"
#include "app/main_window.h"
#include "app/text_format.h"
#include "entry/grid_events.h"

namespace bx {
namespace {

constexpr const char* kCriticalPattern = "##0.000";
constexpr const char* kStatisticPattern = "##0.0000";
constexpr const char* kMeanPattern = "##0.0##";
constexpr const char* kPowerPattern = "##0.0#";
constexpr const char* kNotApplicable = "N/A";

const char* yesNo(bool yes) {
    return yes ? "Yes" : "No";
}

// The design as the test panel shows it; "No " keeps the trailing blank of the stored texts.
const char* balancedText(bool balanced) {
    return balanced ? "Yes" : "No ";
}

Picture verdictPicture(bool passed) {
    return passed ? Picture::Ok : Picture::Fail;
}

// A pre-test's verdict: "???" with the question picture when the test could not be made.
void showPreTestVerdict(Field& text, Picture& picture, bool testable, bool passed) {
    if (!testable) {
        text.text = "???";
        picture = Picture::Question;
    } else {
        text.text = yesNo(passed);
        picture = verdictPicture(passed);
    }
}

void showVerdict(WindowState& ui, bool acceptNull) {
    ui.txtTstPassFail.text = yesNo(acceptNull);
    ui.imgTestPassFail = verdictPicture(acceptNull);
}

void markNormalityNotApplicable(WindowState& ui) {
    for (Field* f : {&ui.txtWtestCritVal, &ui.txtWtestW, &ui.txtWTestPassFail, &ui.txtWTestAlpha}) {
        f->text = kNotApplicable;
    }
    ui.imgWtestPassFail = Picture::NotApplicable;
    ui.Frame10.enabled = false;
    for (Label* l : {&ui.lblWtestCritVal, &ui.lblWtestW, &ui.lblWtestPassFail, &ui.lblWtestAlpha}) {
        l->enabled = false;
    }
}

void markHomoscedasticityNotApplicable(WindowState& ui) {
    for (Field* f : {&ui.txtScedCritVal, &ui.txtScedCalcVal, &ui.txtScedPassfail, &ui.txtScedAlpha,
                     &ui.txtScedDegFreedom}) {
        f->text = kNotApplicable;
    }
    ui.imgSced = Picture::NotApplicable;
    ui.Frame11.enabled = false;
    for (Label* l : {&ui.lblNormCritValue, &ui.lblNormCalc, &ui.lblScedAlpha, &ui.lblHomogen}) {
        l->enabled = false;
    }
}

void showTwoSampleFields(WindowState& ui, const char* statName, const TwoSampleTResult& r) {
    showVerdict(ui, r.acceptNull);
    ui.txtTstStat.text = statName;
    ui.txtTstCritVal.text = ">= " + formatNumber(r.critical, kCriticalPattern);
    ui.txtTstAlpha.text = ui.cbAlphaLevel.text;
    ui.txtTstCalcStat.text = formatNumber(r.t, kStatisticPattern);
}

}  // namespace

void showNormality(WindowState& ui, const ShapiroWilkResult& r) {
    showPreTestVerdict(ui.txtWTestPassFail, ui.imgWtestPassFail, r.testable, r.normal);
    ui.txtWtestCritVal.text = "<= " + formatNumber(r.critical, kCriticalPattern);
    ui.txtWtestW.text = formatNumber(r.w, kStatisticPattern);
    ui.txtWTestAlpha.text = numberToText(r.alpha);
}

void showHomoscedasticity(WindowState& ui, const LeveneResult& r) {
    showPreTestVerdict(ui.txtScedPassfail, ui.imgSced, r.testable, r.homoscedastic);
    ui.txtScedCritVal.text = ">= " + formatNumber(r.critical, kCriticalPattern);
    ui.txtScedCalcVal.text = formatNumber(r.absT, kStatisticPattern);
    ui.txtScedAlpha.text = numberToText(r.alpha);
    ui.txtScedDegFreedom.text = numberToText(r.df);
}

void showRankits(MainWindow& w, const ValueArray& rankits1, const ValueArray& rankits2) {
    WindowState& ui = w.ui;
    const AnalysisState& a = w.analysis;
    ui.txtSampTransStdDev.text = formatNumber(a.SampTransStdDev, kMeanPattern);
    ui.txtSampTransMean.text = formatNumber(a.SampTransMean, kMeanPattern);
    ui.txtRefTransStdDev.text = formatNumber(a.RefTransStdDev, kMeanPattern);
    ui.txtRefTransMean.text = formatNumber(a.RefTransMean, kMeanPattern);

    markNormalityNotApplicable(ui);
    ui.lblOverride.enabled = false;

    // The next validation fills an empty list with "No Transformation", so the following run
    // works on untransformed values unless the user picks a method again.
    ui.cbTransMethod.text.clear();
    ui.txtTstTransMeth.text = "Rankits";

    ArrayToGrid(ui.Grid1, a.SampRaw, rankits1);
    ArrayToGrid(ui.Grid2, a.RefRaw, rankits2);
}

void showStudentT(WindowState& ui, const TwoSampleTResult& r) {
    showTwoSampleFields(ui, "Student's t", r);
    ui.txtTstDegFreedom.text = numberToText(r.df);
}

void showApproximateT(WindowState& ui, const TwoSampleTResult& r) {
    showTwoSampleFields(ui, "Approximate t", r);
    ui.txtTstDegFreedom.text = formatNumber(r.df, "###");
}

void showMannWhitney(WindowState& ui, const MannWhitneyResult& r, bool balanced) {
    showVerdict(ui, r.acceptNull);
    ui.txtTstStat.text = "Mann-Whitney";
    ui.txtTstCritVal.text = ">= " + formatNumber(r.critical, kCriticalPattern);
    ui.txtTstAlpha.text = ui.cbAlphaLevel.text;
    ui.txtTstCalcStat.text = formatNumber(r.u, kStatisticPattern);
    ui.txtTstBalanced.text = balancedText(balanced);
    ui.lblDf.enabled = false;
    ui.txtTstDegFreedom.visible = false;
    ui.txtTstTransMeth.text = "rank-order";
}

void showOneSampleT(WindowState& ui, const OneSampleTResult& r, bool balanced) {
    const char* relation = r.critical < 0.0 ? "<= " : ">= ";
    ui.txtTstCritVal.text = relation + formatNumber(r.critical, kCriticalPattern);
    showVerdict(ui, r.acceptNull);

    markNormalityNotApplicable(ui);
    markHomoscedasticityNotApplicable(ui);

    ui.txtTstStat.text = "1-Sample t-Test";
    ui.txtTstAlpha.text = ui.cbAlphaLevel.text;
    // An infinite t (no spread in the test sample) shows as "Infinity" or "-Infinity".
    ui.txtTstCalcStat.text = r.t == 0.0 ? "0.0" : formatNumber(r.t, kStatisticPattern);
    ui.txtTstDegFreedom.text = numberToText(r.df);
    ui.txtTstBalanced.text = balancedText(balanced);
}

void showPower(WindowState& ui, double powerPercent) {
    ui.txtTstPower.text = formatNumber(powerPercent, kPowerPattern) + "%";
}

void showNoPower(WindowState& ui) {
    ui.txtTstPower.text.clear();
}

}  // namespace bx
