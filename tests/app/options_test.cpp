// The hypothesis lists' coupling and the three Options switches with their status lines.
#include <gtest/gtest.h>

#include "app/options.h"
#include "app/result_display.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::statusLines;
using test::WindowFixture;

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
    // Typing only changes the text; the mismatched pair waits for validation.
    w.ui.cbHypoAlt.text = "x1 > x2";
    EXPECT_EQ(w.ui.cbHypoNull.text, "x1 >= x2");
}

TEST(OptionSwitches, PowerCalculationsTwiceEndsOffWithBothLines) {
    WindowFixture f("options-power");
    MainWindow& w = f.w();
    w.ui.txtDiff_levl.text = "2";
    mnuPowerCalculation_Click(w);
    EXPECT_TRUE(w.ui.PowerCalcOn);
    EXPECT_TRUE(w.ui.mnuPowerCalculation.checked);
    EXPECT_TRUE(w.ui.Frame13.visible);
    EXPECT_TRUE(w.ui.txtTstPower.visible);
    EXPECT_TRUE(w.ui.lblTstPower.enabled);
    w.ui.txtTstPower.text = "87.25%";
    mnuPowerCalculation_Click(w);
    EXPECT_FALSE(w.ui.PowerCalcOn);
    EXPECT_FALSE(w.ui.mnuPowerCalculation.checked);
    EXPECT_FALSE(w.ui.Frame13.visible);
    EXPECT_FALSE(w.ui.txtTstPower.visible);
    EXPECT_FALSE(w.ui.lblTstPower.enabled);
    EXPECT_EQ(w.ui.txtTstPower.text, "");
    EXPECT_EQ(w.ui.txtDiff_levl.text, "2");  // the minimum difference keeps its text
    EXPECT_EQ(
        statusLines(w.ui.Status),
        (std::vector<std::string>{
            "", "Power Calculation Option ON [Enter Minimum Difference for Power Calculation]",
            "Power Calculation Option OFF"}));
}

TEST(OptionSwitches, NormalityOverrideShowsTheOverrideField) {
    WindowFixture f("options-normal");
    MainWindow& w = f.w();
    mnuNormalPrompt_Click(w);
    EXPECT_TRUE(w.ui.NormalityPromptOn);
    EXPECT_TRUE(w.ui.mnuNormalPrompt.checked);
    EXPECT_TRUE(w.ui.txtOverride.visible);
    EXPECT_TRUE(w.ui.lblOverride.enabled);
    mnuNormalPrompt_Click(w);
    EXPECT_FALSE(w.ui.NormalityPromptOn);
    EXPECT_FALSE(w.ui.txtOverride.visible);
    EXPECT_FALSE(w.ui.lblOverride.enabled);
    EXPECT_EQ(statusLines(w.ui.Status),
              (std::vector<std::string>{"", "Normality Override Option ON",
                                        "Normality Override Option OFF"}));
}

TEST(OptionSwitches, OneSampleTTest) {
    WindowFixture f("options-one");
    MainWindow& w = f.w();
    mnuOneSampleTTest_Click(w);
    EXPECT_TRUE(w.ui.OneSampleOn);
    EXPECT_TRUE(w.ui.mnuOneSampleTTest.checked);
    mnuOneSampleTTest_Click(w);
    EXPECT_FALSE(w.ui.OneSampleOn);
    EXPECT_EQ(statusLines(w.ui.Status),
              (std::vector<std::string>{"", "1 Sample t-Test ON", "1 Sample t-Test OFF"}));
}

}  // namespace
}  // namespace bx
