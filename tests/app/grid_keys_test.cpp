// Typing into the grids, the Enter/Escape/Backspace rules, copy and paste.
#include <gtest/gtest.h>

#include "app/grid_commands.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::WindowFixture;

void typeKeys(MainWindow& w, int grid, const std::string& keys) {
    for (char c : keys) {
        GridKeyPress(w, c, grid);
    }
}

TEST(GridTyping, DigitsAndPointBuildTheValueAndAFreshCellIsReplaced) {
    WindowFixture f("keys-typing");
    MainWindow& w = f.w();
    typeKeys(w, 1, "12.5");
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "12.5");
    w.ui.Grid1.setCurrent(2, 1);
    gridSelectionChanged(w, 1);
    w.ui.Grid1.setCell(2, 1, "99");
    typeKeys(w, 1, "7");
    EXPECT_EQ(w.ui.Grid1.cell(2, 1), "7");
    typeKeys(w, 1, "-e,a");  // no minus, exponent, comma or letters can be typed
    EXPECT_EQ(w.ui.Grid1.cell(2, 1), "7");
}

TEST(GridTyping, EnterMovesDownAndStaysInRowTen) {
    WindowFixture f("keys-enter");
    MainWindow& w = f.w();
    typeKeys(w, 2, "10\r11\r12");
    EXPECT_EQ(w.ui.Grid2.cell(1, 1), "10");
    EXPECT_EQ(w.ui.Grid2.cell(2, 1), "11");
    EXPECT_EQ(w.ui.Grid2.cell(3, 1), "12");
    w.ui.Grid2.setCurrent(10, 1);
    GridKeyPress(w, 13, 2);
    EXPECT_EQ(w.ui.Grid2.row(), 10);
    w.ui.Grid2.setSelection(9, 1, 10, 1);
    GridKeyPress(w, 13, 2);
    EXPECT_EQ(w.ui.Grid2.row(), 10);
    EXPECT_EQ(w.ui.Grid2.rowSel(), 10);  // the selection collapses onto the current cell
}

TEST(GridTyping, BackspaceEscapeAndSpace) {
    WindowFixture f("keys-edit");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 1, "12.5");
    GridKeyPress(w, 8, 1);
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "12.");
    typeKeys(w, 1, "7");  // Backspace cleared CellFresh: the digit is appended
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "12.7");
    w.ui.Grid1.setCell(1, 1, "µ5");
    GridKeyPress(w, 8, 1);
    GridKeyPress(w, 8, 1);
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "");  // a two-byte character goes in one press
    GridKeyPress(w, 8, 1);
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "");
    w.ui.Grid1.setCell(1, 1, "3");
    GridKeyPress(w, 27, 1);
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "");
    w.ui.Grid1.setCell(1, 1, "3");
    GridKeyPress(w, 32, 1);
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "");
}

TEST(GridTyping, TheTransformColumnIsNeverTypedInto) {
    WindowFixture f("keys-transform");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(4, 2, "2.5");
    w.ui.Grid1.setCurrent(4, 2);
    typeKeys(w, 1, "9");
    EXPECT_EQ(w.ui.Grid1.cell(4, 2), "2.5");
    EXPECT_EQ(w.ui.Grid1.cell(4, 1), "");
    EXPECT_EQ(w.ui.Grid1.col(), 1);
    EXPECT_EQ(w.ui.Grid1.row(), 4);
}

TEST(GridClipboard, CtrlCInTheDataColumnCopiesTabsAndCarriageReturns) {
    WindowFixture f("clip-copy");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 1, "10");
    w.ui.Grid1.setCell(1, 2, "10.0");
    w.ui.Grid1.setCell(2, 1, "11");
    w.ui.Grid1.setCell(2, 2, "11.0");
    w.ui.Grid1.setSelection(1, 1, 2, 2);
    GridKeyPress(w, 3, 1);
    EXPECT_EQ(f.desktop.clipboard, "10\t10.0\r11\t11.0");
    EXPECT_EQ(w.ui.Text2, "10\t10.0\r11\t11.0");
    EXPECT_EQ(w.ui.ActiveGrid, 0);
}

TEST(GridClipboard, CtrlCWithTheTransformColumnCurrentOnlyMovesTheCursor) {
    WindowFixture f("clip-copy-transform");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 2, "10.0");
    w.ui.Grid1.setCurrent(1, 2);
    f.desktop.clipboard = "before";
    GridKeyPress(w, 3, 1);
    EXPECT_EQ(f.desktop.clipboard, "before");
    EXPECT_EQ(w.ui.Grid1.col(), 1);
    // The Edit menu copies any selection, the Transform column included.
    w.ui.Grid1.setCurrent(1, 2);
    gridSelectionChanged(w, 1);
    mnuEditCopy_Click(w);
    EXPECT_EQ(f.desktop.clipboard, "10.0");
}

TEST(GridClipboard, PasteFillsTheSelectionRowByRow) {
    WindowFixture f("clip-paste");
    MainWindow& w = f.w();
    w.ui.Status = "\r\nold";
    // Spreadsheets put CR LF after every row, the last one included.
    f.desktop.clipboard = "10\r\n11\r\n12\r\n";
    w.ui.Grid2.setSelection(1, 1, 10, 1);
    GridKeyPress(w, 22, 2);
    EXPECT_EQ(w.ui.Grid2.cell(1, 1), "10");
    EXPECT_EQ(w.ui.Grid2.cell(2, 1), "11");
    EXPECT_EQ(w.ui.Grid2.cell(3, 1), "12");
    EXPECT_EQ(w.ui.Grid2.cell(4, 1), "");
    EXPECT_EQ(w.ui.Status, "");
    // Line feeds alone (text editors) and a block wider than the selection.
    f.desktop.clipboard = "1\t2\n3\t4";
    w.ui.Grid1.setSelection(5, 1, 6, 1);
    PasteClipboardToGrid(w, 1);
    EXPECT_EQ(w.ui.Grid1.cell(5, 1), "1");
    EXPECT_EQ(w.ui.Grid1.cell(6, 1), "3");
    EXPECT_EQ(w.ui.Grid1.cell(5, 2), "");  // outside the selection: unchanged
}

TEST(GridClipboard, AShortClipboardTextIsRefusedAndPastesNothing) {
    WindowFixture f("clip-short");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 1, "5");
    w.ui.Status = "\r\nold";
    f.desktop.clipboard = "7";
    GridKeyPress(w, 22, 1);
    EXPECT_EQ(w.ui.Status, "Nothing in Clipboard to Paste!");
    EXPECT_EQ(w.ui.Text2, "");
    EXPECT_EQ(w.ui.Grid1.cell(1, 1), "5");
}

TEST(GridClipboard, AfterEditCopyEditPasteWaitsForAGridEvent) {
    WindowFixture f("clip-edit");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 1, "10");
    w.ui.Grid1.setCell(2, 1, "11");
    w.ui.Grid1.setSelection(1, 1, 2, 1);
    gridSelectionChanged(w, 1);
    mnuEditCopy_Click(w);
    EXPECT_EQ(f.desktop.clipboard, "10\r11");
    EXPECT_EQ(w.ui.ActiveGrid, 0);
    mnuEditPaste_Click(w);  // nothing happens
    EXPECT_EQ(w.ui.Grid2.cell(1, 1), "");
    w.ui.Grid2.setSelection(1, 1, 2, 1);
    gridSelectionChanged(w, 2);
    mnuEditPaste_Click(w);
    EXPECT_EQ(w.ui.Grid2.cell(1, 1), "10");
    EXPECT_EQ(w.ui.Grid2.cell(2, 1), "11");
    gridLostFocus(w, 1);
    EXPECT_EQ(w.ui.ActiveGrid, 1);
}

TEST(GridMouse, OtherButtonOnTheTestGridReplacesTheStatus) {
    WindowFixture f("mouse");
    MainWindow& w = f.w();
    w.postStatus("x");
    gridOtherMouseButton(w, 2);
    EXPECT_EQ(w.ui.Status, "\r\nx");
    gridOtherMouseButton(w, 1);
    EXPECT_EQ(w.ui.Status, "Mid ");
}

TEST(GridArrays, GridToArrayAndBack) {
    WindowFixture f("arrays");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 1, " 10 ");
    ValueArray values;
    GridToArray(w.ui.Grid1, values);
    EXPECT_EQ(std::get<std::string>(values[1]), " 10 ");
    EXPECT_EQ(std::get<std::string>(values[2]), "");
    ValueArray transformed;
    transformed[1] = -1.16296;
    transformed[2] = std::string("~");
    ArrayToGrid(w.ui.Grid2, values, transformed);
    EXPECT_EQ(w.ui.Grid2.cell(1, 1), " 10 ");
    EXPECT_EQ(w.ui.Grid2.cell(1, 2), "-1.16296");
    EXPECT_EQ(w.ui.Grid2.cell(2, 2), "~");
}

}  // namespace
}  // namespace bx
