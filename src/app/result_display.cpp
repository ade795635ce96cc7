// SPDX-License-Identifier: MIT
#include "app/result_display.h"

#include "app/entry_changes.h"
#include "app/main_window.h"
#include "base/text_format.h"
#include "reports/run_record.h"
#include "statistics/transformations.h"

namespace bx {
namespace {

void setAllPictures(WindowState& ui, Picture picture) {
    ui.imgWtestPassFail = picture;
    ui.imgSced = picture;
    ui.imgTestPassFail = picture;
}

Picture verdictPicture(bool passed) {
    return passed ? Picture::Ok : Picture::Fail;
}

// A pre-test's picture: the question mark when the test could not be made at its level.
Picture preTestPicture(bool testable, bool passed) {
    return testable ? verdictPicture(passed) : Picture::Question;
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

void showTreatment(Field& count, Field& mean, Field& sd, Field& transformedMean,
                   Field& transformedSd, const TreatmentTexts& t) {
    count.text = t.count;
    mean.text = t.mean;
    sd.text = t.sd;
    transformedMean.text = t.transformedMean;
    transformedSd.text = t.transformedSd;
}

// The values a sample's slots hold after the run: its ranks or rankits, when a test replaced
// the transformed values.
void keepFinalValues(ValueArray& slots, const Comparison& c, bool testSample) {
    const int n = testSample ? c.testSample.count : c.referenceSample.count;
    for (int i = 1; i <= n; ++i) {
        slots[i] = c.finalValue(testSample, i - 1);
    }
}

// The run's notes in order; a table reported unreadable earlier in this window is not
// reported again.
void postNotes(MainWindow& w, const Notes& notes) {
    for (const Note& note : notes) {
        if (note.code == NoteCode::RankitNotice) {
            w.desktop().messageBox(kRankitNoticeTitle, note.text.str(), MessageIcon::Information,
                                   MessageButtons::Ok);
        } else if (note.code != NoteCode::TableUnreadable ||
                   w.reportedTables.insert(note.text.str()).second) {
            w.postStatus(note.text);
        }
    }
}

// The first `n` slots in the Transform column in the run's pattern, "~" below them.
void showTransformColumn(Grid& grid, const ValueArray& slots, int n,
                         Transformation transformation) {
    const char* pattern = transformation == Transformation::None ? "#0.0#####" : "#0.00000";
    for (int i = 1; i <= kMaxReplicates; ++i) {
        grid.setCell(i, Grid::kTransformCol,
                     i <= n ? formatNumber(slotValue(slots[i]), pattern) : kEndMarker);
    }
}

// Whether the first `n` transformed slots equal their entries, as they do untransformed.
bool untransformed(const ValueArray& raw, const ValueArray& transformed, int n) {
    for (int i = 1; i <= n; ++i) {
        if (leadingNumber(slotText(raw[i])) != slotValue(transformed[i])) {
            return false;
        }
    }
    return true;
}

void showTransformedSample(MainWindow& w, ValueArray& slots, Grid& grid,
                           std::span<const double> values, Transformation transformation) {
    const int n = static_cast<int>(values.size());
    for (int i = 1; i <= kMaxReplicates; ++i) {
        if (i <= n) {
            slots[i] = values[static_cast<std::size_t>(i - 1)];
        } else {
            slots[i] = std::string(kEndMarker);
        }
    }
    showTransformColumn(grid, slots, n, transformation);
    // The next typed digit starts a fresh cell rather than extending an old one.
    w.ui.CellFresh = true;
}

}  // namespace

void showLoadedTransforms(MainWindow& w) {
    const AnalysisState& a = w.analysis;
    const int n1 = CountValues(a.SampTrans);
    const int n2 = CountValues(a.RefTrans);
    const Transformation pattern =
        untransformed(a.SampRaw, a.SampTrans, n1) && untransformed(a.RefRaw, a.RefTrans, n2)
            ? Transformation::None
            : Transformation::Log10;
    showTransformColumn(w.ui.Grid1, a.SampTrans, n1, pattern);
    showTransformColumn(w.ui.Grid2, a.RefTrans, n2, pattern);
}

void showTransformed(MainWindow& w, const EntryCheck& entries) {
    const Transformation method = entries.options.transformation;
    std::array<double, kMaxReplicates> t1{};
    std::array<double, kMaxReplicates> t2{};
    for (int i = 0; i < entries.testCount; ++i) {
        t1.at(static_cast<std::size_t>(i)) =
            transformed(method, entries.test.at(static_cast<std::size_t>(i)));
    }
    for (int i = 0; i < entries.referenceCount; ++i) {
        t2.at(static_cast<std::size_t>(i)) =
            transformed(method, entries.reference.at(static_cast<std::size_t>(i)));
    }
    AnalysisState& a = w.analysis;
    showTransformedSample(w, a.SampTrans, w.ui.Grid1,
                          {t1.data(), static_cast<std::size_t>(entries.testCount)}, method);
    showTransformedSample(w, a.RefTrans, w.ui.Grid2,
                          {t2.data(), static_cast<std::size_t>(entries.referenceCount)}, method);
}

void showRun(MainWindow& w, const Comparison& c, const AnalysisOptions& options) {
    WindowState& ui = w.ui;
    AnalysisState& a = w.analysis;
    showTransformedSample(w, a.SampTrans, ui.Grid1, c.testSample.transformedValues(),
                          options.transformation);
    showTransformedSample(w, a.RefTrans, ui.Grid2, c.referenceSample.transformedValues(),
                          options.transformation);

    // Every result field starts blank; the panels as a fresh run shows them.
    BlankResultFields(ui);
    ui.txtOverride.text.clear();
    ResetResultPanels(w);

    postNotes(w, c.notes);

    const ResultTexts t = resultTexts(c, options);
    showTreatment(ui.txtSampNum, ui.txtSampMean, ui.txtSampStdDev, ui.txtSampTransMean,
                  ui.txtSampTransStdDev, t.test);
    showTreatment(ui.txtRefNum, ui.txtRefMean, ui.txtRefStdDev, ui.txtRefTransMean,
                  ui.txtRefTransStdDev, t.reference);
    ui.txtOverride.text = t.override;

    if (c.test == TestKind::OneSampleT) {
        markNormalityNotApplicable(ui);
        markHomoscedasticityNotApplicable(ui);
    } else {
        ui.txtWtestCritVal.text = t.wCritical;
        ui.txtWtestW.text = t.w;
        ui.txtWTestAlpha.text = t.wAlpha;
        ui.txtWTestPassFail.text = t.normal;
        ui.imgWtestPassFail = preTestPicture(c.normality->testable, c.normality->normal);
        ui.txtScedCritVal.text = t.leveneCritical;
        ui.txtScedCalcVal.text = t.leveneT;
        ui.txtScedAlpha.text = t.leveneAlpha;
        ui.txtScedPassfail.text = t.homoscedastic;
        ui.txtScedDegFreedom.text = t.leveneDf;
        ui.imgSced = preTestPicture(c.levene->testable, c.levene->homoscedastic);
    }
    ui.txtTstStat.text = t.testName;
    ui.txtTstCalcStat.text = t.statistic;
    ui.txtTstCritVal.text = t.critical;
    ui.txtTstAlpha.text = t.alpha;
    ui.txtTstDegFreedom.text = t.df;
    ui.txtTstPassFail.text = t.acceptNull;
    ui.txtTstTransMeth.text = t.transformation;
    ui.txtTstBalanced.text = t.balanced;
    ui.txtTstPower.text = t.power;
    ui.imgTestPassFail = verdictPicture(c.acceptNull());

    if (c.mannWhitney) {
        ui.lblDf.enabled = false;
        ui.txtTstDegFreedom.visible = false;
        keepFinalValues(a.SampTrans, c, true);
        keepFinalValues(a.RefTrans, c, false);
    }
    if (c.rankits) {
        markNormalityNotApplicable(ui);
        ui.lblOverride.enabled = false;
        keepFinalValues(a.SampTrans, c, true);
        keepFinalValues(a.RefTrans, c, false);
        ArrayToGrid(ui.Grid1, a.SampRaw, a.SampTrans);
        ArrayToGrid(ui.Grid2, a.RefRaw, a.RefTrans);
    }
}

void keepRun(MainWindow& w, Comparison result, const AnalysisOptions& options) {
    AnalysisState& a = w.analysis;
    a.RankitUsed = result.rankitsUsed();
    a.result = std::move(result);
    a.options = options;
}

void applyRunToOptions(MainWindow& w, const Comparison& c) {
    if (c.powerSwitchedOff) {
        DisablePowerCalc(w);
        if (w.ui.onScreen) {
            w.postStatus(
                "     Power Calculation Option OFF: the data failed the normality test, and no "
                "power is given for Mann-Whitney or the rankits.");
        }
    }
    // After the rankits the Transformation list keeps the user's choice (the test panel's
    // Transform Type says "Rankits"): the next run transforms the corrected entries the same way.
}

RunRecord currentRun(const MainWindow& w) {
    const WindowState& ui = w.ui;
    const AnalysisState& a = w.analysis;
    RunRecord run;
    run.identity = {ui.txtProjectName.text, ui.txtSampId.text, ui.txtSampAlias.text,
                    ui.txtRefId.text, ui.txtRefAlias.text};
    for (int i = 1; i <= kMaxReplicates; ++i) {
        run.testEntries.at(static_cast<std::size_t>(i - 1)) = slotText(a.SampRaw[i]);
        run.referenceEntries.at(static_cast<std::size_t>(i - 1)) = slotText(a.RefRaw[i]);
    }
    run.options = a.options;
    run.minimumDifference = ui.txtDiff_levl.text;
    run.result = a.result.value_or(Comparison{});
    return run;
}

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
    setAllPictures(ui, Picture::Question);
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
    noteResultsBlank(ui);
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
