#include "analysis/summary_stats.h"

#include <string>

#include "analysis/descriptive.h"
#include "analysis/transformations.h"
#include "app/main_window.h"
#include "app/text_format.h"
#include "entry/grid.h"
#include "entry/validation.h"

namespace bx {

bool Transform(MainWindow& w, const ValueArray& sv, ValueArray& st, Grid& gridx) {
    const int n = static_cast<int>(CountValues(sv));
    const std::string& method = w.ui.cbTransMethod.text;
    for (int i = 1; i <= n; ++i) {
        const double x = slotValue(sv[i]);
        if (method == "ArcSin") {
            st[i] = ArcSinPercent(x);
        } else if (method == "Log10 (x + 1.0)") {
            st[i] = Log10Plus1(x);
        } else if (method == "Sqr Root (x + .375)") {
            st[i] = SqrtPlus375(x);
        } else if (method == "No Transformation") {
            st[i] = x;
        }
    }
    for (int i = n + 1; i <= kMaxReplicates; ++i) {
        st[i] = std::string(kEndMarker);
    }
    const char* pattern = method == "No Transformation" ? "#0.0#####" : "#0.00000";
    for (int i = 1; i <= n; ++i) {
        gridx.setCell(i, Grid::kTransformCol, formatNumber(slotValue(st[i]), pattern));
    }
    for (int i = n + 1; i <= kMaxReplicates; ++i) {
        gridx.setCell(i, Grid::kTransformCol, kEndMarker);
    }
    // The next typed digit starts a fresh cell rather than extending an old one.
    w.ui.CellFresh = true;
    return true;
}

void CalcSummaryStats(MainWindow& w) {
    AnalysisState& a = w.analysis;
    a.SampN = CountValues(a.SampRaw);
    a.SampStdDev = StdDevOfValues(a.SampRaw);
    a.SampMean = MeanOfValues(a.SampRaw);
    a.SampTransStdDev = StdDevOfValues(a.SampTrans);
    a.SampTransMean = MeanOfValues(a.SampTrans);

    a.RefN = static_cast<int>(CountValues(a.RefRaw));
    a.RefStdDev = StdDevOfValues(a.RefRaw);
    a.RefMean = MeanOfValues(a.RefRaw);
    a.RefTransStdDev = StdDevOfValues(a.RefTrans);
    a.RefTransMean = MeanOfValues(a.RefTrans);

    a.Balanced = chkBalance(a);

    WindowState& ui = w.ui;
    for (Field* f :
         {&ui.txtSampNum,        &ui.txtSampStdDev,   &ui.txtSampMean,     &ui.txtSampTransStdDev,
          &ui.txtSampTransMean,  &ui.txtRefNum,       &ui.txtRefStdDev,    &ui.txtRefMean,
          &ui.txtRefTransStdDev, &ui.txtRefTransMean, &ui.txtWtestCritVal, &ui.txtWtestW,
          &ui.txtWTestPassFail,  &ui.txtWTestAlpha,   &ui.txtOverride,     &ui.txtScedCritVal,
          &ui.txtScedCalcVal,    &ui.txtScedPassfail, &ui.txtScedAlpha,    &ui.txtScedDegFreedom,
          &ui.txtTstStat,        &ui.txtTstCritVal,   &ui.txtTstAlpha,     &ui.txtTstCalcStat}) {
        f->text.clear();
    }
    ui.txtTstTransMeth.text = ui.cbTransMethod.text;
    for (Field* f :
         {&ui.txtTstPassFail, &ui.txtTstDegFreedom, &ui.txtTstBalanced, &ui.txtTstPower}) {
        f->text.clear();
    }

    a.resetTestValues();
}

bool RefVariance(MainWindow& w) {
    const AnalysisState& a = w.analysis;
    if (a.RefN < 3 && !w.ui.OneSampleOn) {
        return false;
    }
    const double first = slotValue(a.RefRaw[1]);
    for (int i = 2; i <= a.RefN && i <= kMaxReplicates; ++i) {
        if (slotValue(a.RefRaw[i]) != first) {
            return false;
        }
    }
    return true;
}

}  // namespace bx
