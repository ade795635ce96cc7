#include "analysis/driver.h"

#include "analysis/summary_stats.h"
#include "analysis/test_procedures.h"
#include "app/main_window.h"
#include "app/result_display.h"
#include "entry/validation.h"
#include "logs/detailed_log.h"
#include "logs/summary_log.h"

namespace bx {
namespace {

constexpr const char* kOverrideTitle = "Normality Override";
constexpr const char* kOverrideQuestion =
    "Data Failed Shapiro-Wilk test. Do you want to override this conclusion of non-normality?";
constexpr const char* kRankitTitle = "Statistics Status";
constexpr const char* kRankitNotice =
    "Data is neither normal nor homoscedastic. Rankit transformation will be performed.";

bool levene(MainWindow& w) {
    AnalysisState& a = w.analysis;
    return Levene(w, a.SampTrans, a.RefTrans, a.SampTransMean, a.RefTransMean, a.SampN, a.RefN);
}

// The t-test by the last Levene verdict: Student's t for equal variances, the approximate t
// otherwise. Reads the analysis state at the call, so after the rankits it gets their means.
void tTest(MainWindow& w, bool homoscedastic) {
    AnalysisState& a = w.analysis;
    if (homoscedastic) {
        StudentT_Test(w, a.SampTransMean, a.SampTransStdDev, a.SampN, a.RefTransMean,
                      a.RefTransStdDev, a.RefN);
    } else {
        Approx_Ttest(w, a.SampTransMean, a.SampTransStdDev, a.SampN, a.RefTransMean,
                     a.RefTransStdDev, a.RefN);
    }
}

bool overrideAccepted(MainWindow& w) {
    if (!w.ui.NormalityPromptOn) {
        return false;
    }
    return w.desktop().messageBox(kOverrideTitle, kOverrideQuestion, MessageIcon::None,
                                  MessageButtons::YesNo) == MessageAnswer::Yes;
}

// The tests after the descriptive statistics: the one-sample case, or normality and equal
// variances deciding between the t-tests, Mann-Whitney and the rankit transformation.
void runTests(MainWindow& w) {
    AnalysisState& a = w.analysis;
    if (RefVariance(w)) {
        w.ui.txtOverride.text = "N/A";
        Ttest_OneSample(w, a.SampTransMean, a.SampTransStdDev, a.SampN, a.RefTransMean);
        return;
    }
    if (WTest(w, a.SampTrans, a.RefTrans, a.SampTransMean, a.RefTransMean, a.SampN, a.RefN)) {
        w.ui.txtOverride.text = "N/A";
        tTest(w, levene(w));
        return;
    }
    if (overrideAccepted(w)) {
        w.ui.txtOverride.text = "Invoked";
        tTest(w, levene(w));
        return;
    }
    w.ui.txtOverride.text = "Not Invoked";
    DisablePowerCalc(w);
    if (levene(w)) {
        MannWhit(w, a.SampTrans, a.RefTrans, a.SampN, a.RefN);
        return;
    }
    w.desktop().messageBox(kRankitTitle, kRankitNotice, MessageIcon::Information,
                           MessageButtons::Ok);
    Rankit(w, a.SampTrans, a.RefTrans, a.SampN, a.RefN);
    tTest(w, levene(w));
}

}  // namespace

void cmdExecute_Click(MainWindow& w) {
    w.postStatus("*** Executing Stats ...");
    if (!ChkEntry(w)) {
        ClearResultDisplays(w);
        w.postStatus("*** Stats complete.");
        return;
    }
    AnalysisState& a = w.analysis;
    Transform(w, a.SampRaw, a.SampTrans, w.ui.Grid1);
    Transform(w, a.RefRaw, a.RefTrans, w.ui.Grid2);
    CalcSummaryStats(w);
    // W, the residual mean and SD read "N/A" until the normality test computes them.
    a.shapiroWilk.computed = false;
    a.RankitUsed = false;
    ResetResultPanels(w);

    runTests(w);

    if (w.ui.detailedLogging) {
        WriteDetailLog(w);
    }
    if (w.ui.summaryLogging) {
        WriteSummaryLog(w);
    }
    w.postStatus("*** Stats complete.");
}

void mnuLoadExec_Click(MainWindow& w) {
    cmdExecute_Click(w);
}

}  // namespace bx
