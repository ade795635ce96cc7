#include "app/result_display.h"

#include "app/main_window.h"
#include "app/text_format.h"
#include "entry/grid_events.h"

namespace bx {
namespace {

constexpr const char* kCountPattern = "##";
constexpr const char* kStatPattern = "##0.0##";

void setAllPictures(WindowState& ui, Picture picture) {
    ui.imgWtestPassFail = picture;
    ui.imgSced = picture;
    ui.imgTestPassFail = picture;
}

}  // namespace

void BlankResultFields(WindowState& ui) {
    for (Field* f : {&ui.txtSampNum,        &ui.txtSampMean,        &ui.txtSampStdDev,
                     &ui.txtSampTransMean,  &ui.txtSampTransStdDev, &ui.txtRefNum,
                     &ui.txtRefMean,        &ui.txtRefStdDev,       &ui.txtRefTransMean,
                     &ui.txtRefTransStdDev, &ui.txtWtestCritVal,    &ui.txtWtestW,
                     &ui.txtWTestPassFail,  &ui.txtWTestAlpha,      &ui.txtScedCritVal,
                     &ui.txtScedCalcVal,    &ui.txtScedPassfail,    &ui.txtScedAlpha,
                     &ui.txtScedDegFreedom, &ui.txtTstStat,         &ui.txtTstCritVal,
                     &ui.txtTstAlpha,       &ui.txtTstCalcStat,     &ui.txtTstTransMeth,
                     &ui.txtTstPassFail,    &ui.txtTstDegFreedom,   &ui.txtTstBalanced,
                     &ui.txtTstPower}) {
        f->text.clear();
    }
    setAllPictures(ui, Picture::Question);
}

void EnableTestPanels(MainWindow& w) {
    WindowState& ui = w.ui;
    for (Label* l : {&ui.lblWtestCritVal, &ui.lblWtestW, &ui.lblWtestPassFail, &ui.lblWtestAlpha,
                     &ui.lblNormCritValue, &ui.lblNormCalc, &ui.lblScedAlpha, &ui.lblHomogen}) {
        l->enabled = true;
    }
    ui.Frame10.enabled = true;
    ui.Frame11.enabled = true;
}

void ResetResultPanels(MainWindow& w) {
    WindowState& ui = w.ui;
    const AnalysisState& a = w.analysis;
    setAllPictures(ui, Picture::Question);

    ui.txtSampNum.text = formatNumber(a.SampN, kCountPattern);
    ui.txtSampStdDev.text = formatNumber(a.SampStdDev, kStatPattern);
    ui.txtSampMean.text = formatNumber(a.SampMean, kStatPattern);
    ui.txtSampTransStdDev.text = formatNumber(a.SampTransStdDev, kStatPattern);
    ui.txtSampTransMean.text = formatNumber(a.SampTransMean, kStatPattern);
    ui.txtRefNum.text = formatNumber(a.RefN, kCountPattern);
    ui.txtRefStdDev.text = formatNumber(a.RefStdDev, kStatPattern);
    ui.txtRefMean.text = formatNumber(a.RefMean, kStatPattern);
    ui.txtRefTransStdDev.text = formatNumber(a.RefTransStdDev, kStatPattern);
    ui.txtRefTransMean.text = formatNumber(a.RefTransMean, kStatPattern);

    EnableTestPanels(w);
    ui.lblDf.enabled = true;
    ui.txtTstDegFreedom.visible = true;
}

void ClearResultDisplays(MainWindow& w) {
    WindowState& ui = w.ui;
    ClearTransformColumn(ui.Grid1);
    ClearTransformColumn(ui.Grid2);
    BlankResultFields(ui);
    EnableTestPanels(w);
    ui.focus = FocusTarget::ProjectName;
}

void EnablePowerCalc(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.PowerCalcOn = true;
    ui.mnuPowerCalculation.checked = true;
    ui.Frame13.visible = true;
    ui.lblTstPower.enabled = true;
    ui.txtTstPower.visible = true;
    ui.txtTstPower.text.clear();
}

void DisablePowerCalc(MainWindow& w) {
    WindowState& ui = w.ui;
    ui.PowerCalcOn = false;
    ui.mnuPowerCalculation.checked = false;
    ui.Frame13.visible = false;
    ui.lblTstPower.enabled = false;
    ui.txtTstPower.visible = false;
    ui.txtTstPower.text.clear();
}

}  // namespace bx
