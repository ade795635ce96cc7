// The two Clear buttons and Clear All.
#include <gtest/gtest.h>

#include "app/options.h"
#include "app/result_display.h"
#include "app/clearing.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::statusLines;
using test::WindowFixture;

void enterSomething(MainWindow& w) {
    w.ui.txtProjectName.text = "Lake";
    w.ui.txtSampId.text = "S1";
    w.ui.txtSampAlias.text = "station 1";
    w.ui.txtRefId.text = "R1";
    w.ui.txtRefAlias.text = "control";
    w.ui.Grid1.setCell(1, 1, "10");
    w.ui.Grid1.setCell(1, 2, "10.0");
    w.ui.Grid2.setCell(1, 1, "14");
    w.ui.Grid2.setCell(1, 2, "14.0");
    w.ui.txtTstStat.text = "Student's t";
    w.ui.txtSampMean.text = "11.0";
    w.ui.imgTestPassFail = Picture::Fail;
    w.postStatus("*** Stats complete.");
}

TEST(Clear, TheTestSampleButtonTouchesOnlyTheTestSample) {
    WindowFixture f("clear-samp");
    MainWindow& w = f.w();
    enterSomething(w);
    w.ui.Grid1.setCurrent(5, 2);
    const std::string status = w.ui.Status;
    cmdClearSamp_Click(w);
    EXPECT_EQ(w.ui.txtSampId.text, "");
    EXPECT_EQ(w.ui.txtSampAlias.text, "");
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "");
    EXPECT_EQ(w.ui.Grid1.cell(1, 2), "");
    EXPECT_EQ(w.ui.Grid1.row(), 1);
    EXPECT_EQ(w.ui.Grid1.col(), 1);
    EXPECT_EQ(w.ui.Grid2.cell(1, 1), "14");
    EXPECT_EQ(w.ui.txtRefId.text, "R1");
    EXPECT_EQ(w.ui.txtTstStat.text, "Student's t");
    EXPECT_EQ(w.ui.Status, status);
    cmdClearRef_Click(w);
    EXPECT_EQ(w.ui.txtRefId.text, "");
    EXPECT_EQ(w.ui.txtRefAlias.text, "");
    EXPECT_EQ(w.ui.Grid2.cell(1, 1), "");
}

TEST(Clear, ClearAllResetsTheWindowButNotTheOptions) {
    WindowFixture f("clear-all");
    MainWindow& w = f.w();
    enterSomething(w);
    pickHypoAlt(w, "x1 > x2");
    mnuPowerCalculation_Click(w);
    w.ui.txtDiff_levl.text = "2";
    w.ui.txtOverride.text = "Invoked";
    w.ui.Frame10.enabled = false;
    mnuClearAll_Click(w);
    EXPECT_EQ(w.ui.txtProjectName.text, "");
    EXPECT_EQ(w.ui.txtSampId.text, "");
    EXPECT_EQ(w.ui.txtRefAlias.text, "");
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "");
    EXPECT_EQ(w.ui.Grid2.cell(1, 2), "");
    EXPECT_EQ(w.ui.txtTstStat.text, "");
    EXPECT_EQ(w.ui.txtSampMean.text, "");
    EXPECT_EQ(w.ui.imgTestPassFail, Picture::Question);
    EXPECT_TRUE(w.ui.Frame10.enabled);
    EXPECT_EQ(statusLines(w.ui.Status), (std::vector<std::string>{"", "Values Reset/Cleared"}));
    EXPECT_EQ(w.ui.focus, FocusTarget::ProjectName);
    // Kept: option lists, switches, override text and the minimum difference.
    EXPECT_EQ(w.ui.cbHypoAlt.text, "x1 > x2");
    EXPECT_TRUE(w.ui.PowerCalcOn);
    EXPECT_EQ(w.ui.txtDiff_levl.text, "2");
    EXPECT_EQ(w.ui.txtOverride.text, "Invoked");
}

}  // namespace
}  // namespace bx
