// The status list and the resetting and blanking of the result panels.
#include <gtest/gtest.h>

#include "app/result_display.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::WindowFixture;

TEST(StatusList, EachLineFollowsACarriageReturnAndLineFeed) {
    WindowFixture f("status");
    MainWindow& w = f.w();
    w.postStatus("first");
    w.postStatus("     second");
    EXPECT_EQ(w.ui.Status, "\r\nfirst\r\n     second");
    EXPECT_EQ(w.ui.statusCaret, w.ui.Status.size());
}

TEST(ResultPanels, ResetShowsCountsAndMeansWithTheirPatterns) {
    WindowFixture f("reset-panels");
    MainWindow& w = f.w();
    w.analysis.SampN = 4;
    w.analysis.SampMean = 2.5;           // four values with mean two and a half
    w.analysis.SampStdDev = 1.29099444;  // sd of 1, 2, 3, 4
    w.analysis.RefN = 10;
    w.analysis.RefMean = 2;
    w.ui.imgSced = Picture::Fail;
    w.ui.Frame10.enabled = false;
    w.ui.lblWtestW.enabled = false;
    w.ui.lblDf.enabled = false;
    w.ui.txtTstDegFreedom.visible = false;
    ResetResultPanels(w);
    EXPECT_EQ(w.ui.txtSampNum.text, "4");
    EXPECT_EQ(w.ui.txtSampMean.text, "2.5");
    EXPECT_EQ(w.ui.txtSampStdDev.text, "1.291");
    EXPECT_EQ(w.ui.txtRefNum.text, "10");
    EXPECT_EQ(w.ui.txtRefMean.text, "2.0");
    EXPECT_EQ(w.ui.imgSced, Picture::Question);
    EXPECT_TRUE(w.ui.Frame10.enabled);
    EXPECT_TRUE(w.ui.lblWtestW.enabled);
    EXPECT_TRUE(w.ui.lblDf.enabled);
    EXPECT_TRUE(w.ui.txtTstDegFreedom.visible);
}

TEST(ResultPanels, ClearKeepsTheOverrideTextAndBlanksTheRest) {
    WindowFixture f("clear-displays");
    MainWindow& w = f.w();
    w.ui.txtOverride.text = "Invoked";
    w.ui.txtTstStat.text = "Student's t";
    w.ui.txtSampMean.text = "11.0";
    w.ui.Grid1.setCell(1, 2, "10.0");
    w.ui.Grid2.setCell(3, 2, "~");
    w.ui.Grid1.setCell(1, 1, "10");
    w.ui.imgTestPassFail = Picture::Ok;
    w.ui.Frame11.enabled = false;
    ClearResultDisplays(w);
    EXPECT_EQ(w.ui.txtOverride.text, "Invoked");
    EXPECT_EQ(w.ui.txtTstStat.text, "");
    EXPECT_EQ(w.ui.txtSampMean.text, "");
    EXPECT_EQ(w.ui.Grid1.cell(1, 2), "");
    EXPECT_EQ(w.ui.Grid2.cell(3, 2), "");
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "10");  // entered data stay
    EXPECT_EQ(w.ui.imgTestPassFail, Picture::Question);
    EXPECT_TRUE(w.ui.Frame11.enabled);
    EXPECT_EQ(w.ui.focus, FocusTarget::ProjectName);
}

}  // namespace
}  // namespace bx
