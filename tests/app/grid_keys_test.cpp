// SPDX-License-Identifier: MIT
// Typing into the grids, the Enter/Escape/Backspace rules, copy and paste.
#include <gtest/gtest.h>

#include "app/grid_commands.h"
#include "entry/grid.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::WindowFixture;

void typeKeys(MainWindow& w, int grid, const std::string& keys) {
    for (char c : keys) {
        GridKeyPress(w, c, grid);
    }
}

// The Data and Transform columns of a grid as "d1 d2 ... d10 / t1 ... t10" ("." for blank).
std::string columns(const Grid& grid) {
    std::string text;
    for (int col : {Grid::kDataCol, Grid::kTransformCol}) {
        text += col == Grid::kDataCol ? "" : "/ ";
        for (int row = 1; row < Grid::kRows; ++row) {
            const std::string& cell = grid.cell(row, col);
            text += (cell.empty() ? "." : cell) + " ";
        }
    }
    return text;
}

// {cell text before, keys typed, cell text after}, the cell fresh as after a move. A fresh
// cell is replaced by the first digit; no minus, exponent, comma or letter can be typed;
// Backspace ends the freshness, so the next digit is appended; "µ" is one character of two
// bytes; Escape and Space blank the cell.
TEST(GridTyping, KeysEditTheCurrentCell) {
    const struct {
        const char* before;
        const char* keys;
        const char* after;
    } kCases[] = {
        {"", "12.5", "12.5"}, {"99", "7", "7"}, {"99", "7-e,a", "7"}, {"12.5", "\b7", "12.7"},
        {"µ5", "\b\b", ""},   {"", "\b", ""},   {"3", "\x1b", ""},    {"3", " ", ""},
    };
    for (const auto& c : kCases) {
        WindowFixture f("keys-typing");
        MainWindow& w = f.w();
        w.ui.Grid1.setCell(1, 1, c.before);
        typeKeys(w, 1, c.keys);
        EXPECT_EQ(w.ui.Grid1.cell(1, 1), c.after) << c.before << " " << c.keys;
    }
}

// Enter moves down and stays in row ten, where a selection collapses onto the current cell.
TEST(GridTyping, EnterMovesDownAndStaysInRowTen) {
    WindowFixture f("keys-enter");
    MainWindow& w = f.w();
    typeKeys(w, 2, "10\r11\r12");
    EXPECT_EQ(columns(w.ui.Grid2), "10 11 12 . . . . . . . / . . . . . . . . . . ");
    // Enter in row ten keeps the cell: the next digit is appended.
    w.ui.Grid2.setCurrent(10, 1);
    typeKeys(w, 2, "5\r6");
    EXPECT_EQ(w.ui.Grid2.row(), 10);
    EXPECT_EQ(w.ui.Grid2.cell(10, 1), "56");
    w.ui.Grid2.setSelection(9, 1, 10, 1);
    GridKeyPress(w, 13, 2);
    EXPECT_EQ(w.ui.Grid2.row(), 10);
    EXPECT_EQ(w.ui.Grid2.rowSel(), 10);
}

// Five replicates of 4, transformed to 4.0.
void fillFive(MainWindow& w) {
    for (int row = 1; row <= 5; ++row) {
        w.ui.Grid1.setCell(row, 1, "4");
        w.ui.Grid1.setCell(row, 2, "4.0");
    }
}

// Delete blanks every selected replicate and nothing else (not the Transform column).
TEST(GridTyping, DeleteBlanksTheSelectedReplicates) {
    WindowFixture f("keys-delete");
    MainWindow& w = f.w();
    fillFive(w);
    w.ui.Grid1.setSelection(4, 1, 2, 2);
    GridKeyPress(w, 127, 1);
    EXPECT_EQ(columns(w.ui.Grid1), "4 . . . 4 . . . . . / 4.0 4.0 4.0 4.0 4.0 . . . . . ");
}

// The Transform column is never typed into: a key there moves the cursor to the Data column
// and is typed there, replacing the value. Ctrl+C and the Edit menu copy any selection, the
// Transform column included.
TEST(GridTyping, TheTransformColumnIsCopiedButNotTypedInto) {
    WindowFixture f("keys-transform");
    MainWindow& w = f.w();
    fillFive(w);
    w.ui.Grid1.setCurrent(5, 2);
    GridKeyPress(w, '9', 1);
    EXPECT_EQ(columns(w.ui.Grid1), "4 4 4 4 9 . . . . . / 4.0 4.0 4.0 4.0 4.0 . . . . . ");
    EXPECT_EQ(std::pair(w.ui.Grid1.row(), w.ui.Grid1.col()), std::pair(5, 1));
    w.ui.Grid1.setCurrent(4, 2);
    GridKeyPress(w, 3, 1);
    EXPECT_EQ(f.desktop.clipboard, "4.0");
    w.ui.Grid1.setCurrent(4, 2);
    gridSelectionChanged(w, 1);
    mnuEditCopy_Click(w);
    EXPECT_EQ(f.desktop.clipboard, "4.0");
}

TEST(GridClipboard, CtrlCInTheDataColumnCopiesTabsAndLineEnds) {
    WindowFixture f("clip-copy");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 1, "10");
    w.ui.Grid1.setCell(1, 2, "10.0");
    w.ui.Grid1.setCell(2, 1, "11");
    w.ui.Grid1.setCell(2, 2, "11.0");
    w.ui.Grid1.setSelection(1, 1, 2, 2);
    GridKeyPress(w, 3, 1);
    EXPECT_EQ(f.desktop.clipboard, "10\t10.0\n11\t11.0");
    EXPECT_EQ(w.ui.Text2, "10\t10.0\n11\t11.0");
    EXPECT_EQ(w.ui.ActiveGrid, 0);
}

// Paste over a grid whose ten Data cells hold "9" and whose Transform cells are blank:
// {case, clipboard, selection from (row, col) to (rowSel, colSel), columns after, last line}.
// Spreadsheets end every row with CR LF, the last one included; text editors use LF. Only a
// row's first cell lands (never in Transform), but a single row goes down the Data column.
TEST(GridClipboard, PasteFromTheSelection) {
    const struct {
        const char* name;
        const char* clipboard;
        int row, col, rowSel, colSel;
        const char* after;
        const char* line;
    } kCases[] = {
        {"one cell takes a column downward", "1\r\n2\r\n3\r\n4\r\n", 3, 1, 3, 1,
         "9 9 1 2 3 4 9 9 9 9 / . . . . . . . . . . ", "Pasted 4 values."},
        {"clipped at row ten", "1\r\n2\r\n3\r\n4\r\n5\r\n", 8, 1, 8, 1,
         "9 9 9 9 9 9 9 1 2 3 / . . . . . . . . . . ", "Pasted 3 values; 2 did not fit."},
        {"two columns keep to Data", "1\t1.5\n2\t2.5\t7", 1, 2, 1, 2,
         "1 2 9 9 9 9 9 9 9 9 / . . . . . . . . . . ", "Pasted 2 values; 3 did not fit."},
        {"a row goes down the column", "95\t92\t90\r\n", 1, 1, 1, 1,
         "95 92 90 9 9 9 9 9 9 9 / . . . . . . . . . . ", "Pasted 3 values."},
        {"a single short value", "7", 2, 1, 2, 1, "9 7 9 9 9 9 9 9 9 9 / . . . . . . . . . . ",
         "Pasted 1 value."},
        {"an empty clipboard changes nothing", "", 2, 1, 2, 1,
         "9 9 9 9 9 9 9 9 9 9 / . . . . . . . . . . ", "Nothing in Clipboard to Paste!"},
        {"a whole Data column is cleared below", "1\r\n2\r\n3\r\n4\r\n", 1, 1, 10, 1,
         "1 2 3 4 . . . . . . / . . . . . . . . . . ", "Pasted 4 values."},
        {"a range takes what fits in it", "1\t2\n3\t4\n5\t6", 5, 1, 6, 1,
         "9 9 9 9 1 3 9 9 9 9 / . . . . . . . . . . ", "Pasted 2 values; 4 did not fit."},
        {"a range selected upward", "1\n2", 6, 1, 5, 1,
         "9 9 9 9 1 2 9 9 9 9 / . . . . . . . . . . ", "Pasted 2 values."},
    };
    for (const auto& c : kCases) {
        WindowFixture f("clip-paste");
        MainWindow& w = f.w();
        for (int row = 1; row < Grid::kRows; ++row) {
            w.ui.Grid2.setCell(row, Grid::kDataCol, "9");
        }
        w.postStatus("earlier");
        f.desktop.clipboard = c.clipboard;
        w.ui.Grid2.setSelection(c.row, c.col, c.rowSel, c.colSel);
        GridKeyPress(w, 22, 2);
        EXPECT_EQ(columns(w.ui.Grid2), c.after) << c.name;
        // The line is added to the list; what was there stays.
        EXPECT_EQ(test::statusLines(w.ui.Status), std::vector<std::string>({"", "earlier", c.line}))
            << c.name;
    }
}

TEST(GridClipboard, AfterEditCopyEditPasteWaitsForAGridEvent) {
    WindowFixture f("clip-edit");
    MainWindow& w = f.w();
    w.ui.Grid1.setCell(1, 1, "10");
    w.ui.Grid1.setCell(2, 1, "11");
    w.ui.Grid1.setSelection(1, 1, 2, 1);
    gridSelectionChanged(w, 1);
    mnuEditCopy_Click(w);
    EXPECT_EQ(f.desktop.clipboard, "10\n11");
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

}  // namespace
}  // namespace bx
