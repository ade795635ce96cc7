// SPDX-License-Identifier: MIT
// Results that go stale when the entries change after a run, the ArcSin scale warning, the
// power box's caption, the hypothesis lists' coupling and the three Options switches.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/entry_changes.h"
#include "app/execute.h"
#include "app/grid_commands.h"
#include "app/options.h"
#include "statistics/notes.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::WindowFixture;

long countLines(const MainWindow& w, const std::string& line) {
    const auto lines = test::statusLines(w.ui.Status);
    return std::count(lines.begin(), lines.end(), line);
}

// After a run of 10, 11, 12 against 14, 15, 16, one change and the window's check:
// {change, results stale, Transform columns stale}. Moving about and naming the samples change
// no result.
TEST(StaleResults, EachKindOfChangeMarksTheRunOnce) {
    using Change = std::function<void(WindowFixture&)>;
    const struct {
        const char* name;
        Change change;
        bool stale;
        bool transformsStale;
    } kCases[] = {
        {"typed replicate", [](WindowFixture& f) { GridKeyPress(f.w(), '7', 1); }, true, true},
        {"hypothesis", [](WindowFixture& f) { pickHypoAlt(f.w(), "x1 > x2"); }, true, false},
        {"alpha", [](WindowFixture& f) { f.w().ui.cbAlphaLevel.text = "0.1"; }, true, false},
        {"transformation",
         [](WindowFixture& f) { f.w().ui.cbTransMethod.text = "Log10 (x + 1.0)"; }, true, true},
        {"power option", [](WindowFixture& f) { mnuPowerCalculation_Click(f.w()); }, true, false},
        {"normality override", [](WindowFixture& f) { mnuNormalPrompt_Click(f.w()); }, true, false},
        {"one-sample option", [](WindowFixture& f) { mnuOneSampleTTest_Click(f.w()); }, true,
         false},
        {"minimum difference", [](WindowFixture& f) { f.w().ui.txtDiff_levl.text = "2"; }, true,
         false},
        {"cell moved", [](WindowFixture& f) { f.w().ui.Grid1.setCurrent(5, 1); }, false, false},
        {"sample named", [](WindowFixture& f) { f.w().ui.txtSampId.text = "S4"; }, false, false},
    };
    for (const auto& c : kCases) {
        WindowFixture f("stale");
        MainWindow& w = f.w();
        test::typeReplicates(w, {"10", "11", "12"}, {"14", "15", "16"});
        cmdExecute_Click(w);
        afterUserAction(w);
        ASSERT_FALSE(w.ui.resultsStale) << c.name;
        c.change(f);
        afterUserAction(w);
        EXPECT_EQ(w.ui.resultsStale, c.stale) << c.name;
        EXPECT_EQ(w.ui.transformsStale, c.transformsStale) << c.name;
        EXPECT_EQ(countLines(w, kStaleResultsLine), c.stale ? 1 : 0) << c.name;
        // Nothing is blanked: the previous run can still be read.
        EXPECT_EQ(w.ui.txtTstCalcStat.text, "4.8990") << c.name;
        EXPECT_EQ(w.ui.Grid2.cell(3, 2), "16.0") << c.name;
        // A further change says nothing more; the next run is current again.
        GridKeyPress(w, '8', 1);
        afterUserAction(w);
        EXPECT_EQ(countLines(w, kStaleResultsLine), 1) << c.name;
        cmdExecute_Click(w);
        afterUserAction(w);
        EXPECT_FALSE(w.ui.resultsStale) << c.name;
        EXPECT_FALSE(w.ui.transformsStale) << c.name;
    }
}

TEST(StaleResults, NothingGoesStaleWithoutResults) {
    WindowFixture f("stale-none");
    MainWindow& w = f.w();
    test::typeReplicates(w, {"10", "11"}, {"14", "15", "16"});
    cmdExecute_Click(w);  // refused: too few test values, the panels are blank
    GridKeyPress(w, '7', 1);
    afterUserAction(w);
    EXPECT_FALSE(w.ui.resultsStale);
    EXPECT_EQ(countLines(w, kStaleResultsLine), 0);
    // File > Transform fills the Transform columns alone; a change greys only them.
    test::typeReplicates(w, {"10", "11", "12"}, {"14", "15", "16"});
    mnuTransform_Click(w);
    GridKeyPress(w, '7', 1);
    afterUserAction(w);
    EXPECT_TRUE(w.ui.transformsStale);
    EXPECT_FALSE(w.ui.resultsStale);
}

// {transformation, test values, reference values, on screen, warned}. Percentages of 0 and 1
// are as possible as fractions; one value above 1 shows the values are percentages. The
// warning is the analysis's, on screen or not.
TEST(ArcSinScale, ValuesThatAreAllFractionsWarnOncePerRun) {
    const char* arcsin = "ArcSin";
    const struct {
        const char* transformation;
        std::vector<std::string> test, reference;
        bool onScreen;
        bool warned;
    } kCases[] = {
        {arcsin, {"0.1", "0.2", "0.3"}, {"0.5", "0.6", "1"}, true, true},
        {arcsin, {"0", "0.2", "0.3"}, {"0.5", "0.6", "0.7"}, true, true},
        {arcsin, {"0.1", "0.2", "0.3"}, {"0.5", "0.6", "1.5"}, true, false},
        {arcsin, {"10", "20", "30"}, {"50", "60", "70"}, true, false},
        {"No Transformation", {"0.1", "0.2", "0.3"}, {"0.5", "0.6", "0.7"}, true, false},
        {arcsin, {"0.1", "0.2", "0.3"}, {"0.5", "0.6", "0.7"}, false, true},
    };
    for (const auto& c : kCases) {
        WindowFixture f("arcsin");
        MainWindow& w = f.w();
        w.ui.onScreen = c.onScreen;
        w.ui.cbTransMethod.text = c.transformation;
        test::typeReplicates(w, c.test, c.reference);
        cmdExecute_Click(w);
        cmdExecute_Click(w);
        EXPECT_EQ(countLines(w, noteText(NoteCode::ArcSinFractions)), c.warned ? 2 : 0)
            << c.test[0] << " " << c.reference[2] << " " << c.onScreen;
        EXPECT_FALSE(w.ui.txtTstStat.text.empty());  // the run went on
    }
}

TEST(PowerBox, TheCaptionNamesTheTransformedScale) {
    WindowFixture f("power-caption");
    MainWindow& w = f.w();
    for (const auto& [transformation, caption] :
         {std::pair{"Sqr Root (x + .375)", kDifferenceCaptionTransformed},
          std::pair{"No Transformation", kDifferenceCaption}, std::pair{"", kDifferenceCaption},
          std::pair{"Log10 (x + 1.0)", kDifferenceCaptionTransformed},
          std::pair{"log", kDifferenceCaption}}) {
        w.ui.cbTransMethod.text = transformation;
        afterUserAction(w);
        EXPECT_EQ(w.ui.lblDiff_levl.caption, caption) << transformation;
    }
}

TEST(HypothesisLists, PickingOneSetsTheMatchingOther) {
    WindowFixture f("options-hypo");
    MainWindow& w = f.w();
    pickHypoAlt(w, "x1 > x2");
    EXPECT_EQ(w.ui.cbHypoNull.text, "x1 <= x2");
    pickHypoNull(w, "x1 >= x2");
    EXPECT_EQ(w.ui.cbHypoAlt.text, "x1 < x2");
    pickHypoNull(w, "x1 <= x2");
    EXPECT_EQ(w.ui.cbHypoAlt.text, "x1 > x2");
    pickHypoAlt(w, "x1 < x2");
    EXPECT_EQ(w.ui.cbHypoNull.text, "x1 >= x2");
}

// {switch, its setting, its menu entry, the field it shows and the label it enables, the
// status lines}: clicked twice, the option ends off. Switched off, the power option blanks the
// power and keeps the minimum difference.
TEST(OptionSwitches, EachClickTurnsTheOptionOverWithItsLine) {
    const struct {
        void (*click)(MainWindow&);
        bool WindowState::*setting;
        MenuEntry WindowState::*menu;
        Field WindowState::*field;
        Label WindowState::*label;
        const char* on;
        const char* off;
    } kCases[] = {
        {mnuPowerCalculation_Click, &WindowState::PowerCalcOn, &WindowState::mnuPowerCalculation,
         &WindowState::txtTstPower, &WindowState::lblTstPower,
         "Power Calculation Option ON [Enter Minimum Difference for Power Calculation]",
         "Power Calculation Option OFF"},
        {mnuNormalPrompt_Click, &WindowState::NormalityPromptOn, &WindowState::mnuNormalPrompt,
         &WindowState::txtOverride, &WindowState::lblOverride, "Normality Override Option ON",
         "Normality Override Option OFF"},
        {mnuOneSampleTTest_Click, &WindowState::OneSampleOn, &WindowState::mnuOneSampleTTest,
         nullptr, nullptr, "1 Sample t-Test ON", "1 Sample t-Test OFF"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.on);
        WindowFixture f("options");
        WindowState& ui = f.w().ui;
        ui.txtDiff_levl.text = "2";
        for (const bool on : {true, false}) {
            ui.txtTstPower.text = "87.25%";
            c.click(f.w());
            EXPECT_EQ(ui.*c.setting, on);
            EXPECT_EQ((ui.*c.menu).checked, on);
            if (c.field != nullptr) {
                EXPECT_EQ((ui.*c.field).visible, on);
                EXPECT_EQ((ui.*c.label).enabled, on);
            }
        }
        EXPECT_EQ(test::statusLines(ui.Status), (std::vector<std::string>{"", c.on, c.off}));
        EXPECT_FALSE(ui.Frame13.visible);
        EXPECT_EQ(ui.txtTstPower.text.empty(), c.setting == &WindowState::PowerCalcOn);
        EXPECT_EQ(ui.txtDiff_levl.text, "2");
    }
}

}  // namespace
}  // namespace bx
