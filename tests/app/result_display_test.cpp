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
    EXPECT_EQ(w.ui.focus, FocusTarget::None);  // the focus stays where the user had it
}

}  // namespace
}  // namespace bx
