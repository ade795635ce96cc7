// SPDX-License-Identifier: MIT
// The replicate grids on screen: key codes, typing, mouse selection, focus, the right mouse
// button, and copy and paste through the system clipboard (Edit menu and Ctrl+C / Ctrl+V).

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "entry/grid.h"
#include "gui/grid_view.h"
#include "gui_support.h"

namespace bx::gui::test {
namespace {

int code(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
         const QString& text = QString()) {
    const QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    return GridView::characterCode(event);
}

TEST(GridKeys, KeyPressesBecomeTheirCharacterCodes) {
    ensureApplication();
    EXPECT_EQ(code(Qt::Key_C, Qt::ControlModifier), 3);
    EXPECT_EQ(code(Qt::Key_V, Qt::ControlModifier), 22);
    EXPECT_EQ(code(Qt::Key_Backspace), 8);
    EXPECT_EQ(code(Qt::Key_Return, Qt::NoModifier, "\r"), 13);
    EXPECT_EQ(code(Qt::Key_Enter, Qt::KeypadModifier, "\r"), 13);
    EXPECT_EQ(code(Qt::Key_Escape), 27);
    EXPECT_EQ(code(Qt::Key_Space, Qt::NoModifier, " "), 32);
    EXPECT_EQ(code(Qt::Key_Period, Qt::NoModifier, "."), 46);
    EXPECT_EQ(code(Qt::Key_9, Qt::KeypadModifier, "9"), 57);
    EXPECT_EQ(code(Qt::Key_A, Qt::NoModifier, "a"), 97);
    // Keys that type no character.
    EXPECT_EQ(code(Qt::Key_Left), -1);
    EXPECT_EQ(code(Qt::Key_Tab, Qt::NoModifier, "\t"), -1);
    EXPECT_EQ(code(Qt::Key_F2), -1);
    EXPECT_EQ(code(Qt::Key_Delete, Qt::NoModifier, "\x7f"), 127);
}

TEST(GridTyping, DigitsAndPointBuildTheCellText) {
    FormFixture f("typing");
    QWidget* grid = f.widget("Grid1");
    grid->setFocus();
    QTest::keyClicks(grid, "12.5a");
    EXPECT_EQ(f.cell("Grid1", 1, 1), "12.5");
    // The arrow keys move the cursor: the next digit replaces that cell's text.
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClicks(grid, "3");
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClicks(grid, "7");
    EXPECT_EQ(f.cell("Grid1", 1, 1), "7");
    EXPECT_EQ(f.cell("Grid1", 2, 1), "3");
    // The other grid is untouched.
    EXPECT_EQ(f.cell("Grid2", 1, 1), "");
}

// The selection as {row, col, rowSel, colSel}.
std::vector<int> selection(const Grid& g) {
    return {g.row(), g.col(), g.rowSel(), g.colSel()};
}

TEST(GridMouse, DraggingSelectsARectangle) {
    FormFixture f("drag");
    f.dragCells("Grid1", 2, 1, 4, 2);
    const Grid& g = f.core().ui.Grid1;
    EXPECT_EQ(selection(g), std::vector<int>({2, 1, 4, 2}));
    EXPECT_EQ(f.core().ui.ActiveGrid, 1);
    EXPECT_TRUE(g.highlighted);

    // A heading selects its column, a row label its row.
    f.clickCell("Grid1", 0, 2);
    EXPECT_EQ(selection(g), std::vector<int>({1, 2, 10, 2}));
    f.clickCell("Grid1", 6, 0);
    EXPECT_EQ(selection(g), std::vector<int>({6, 1, 6, 2}));

    // Shift and an arrow key grow the selection from the current cell.
    f.clickCell("Grid1", 3, 1);
    QTest::keyClick(f.widget("Grid1"), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(selection(g), std::vector<int>({3, 1, 4, 1}));
}

// Page Down goes to the last of the ten rows, Page Up to the first, in the current column.
TEST(GridKeys, PageKeysGoToTheFirstAndLastRow) {
    FormFixture f("page-keys");
    f.clickCell("Grid2", 4, 2);
    QTest::keyClick(f.widget("Grid2"), Qt::Key_PageDown);
    EXPECT_EQ(selection(f.core().ui.Grid2), std::vector<int>({10, 2, 10, 2}));
    QTest::keyClick(f.widget("Grid2"), Qt::Key_PageUp);
    EXPECT_EQ(selection(f.core().ui.Grid2), std::vector<int>({1, 2, 1, 2}));
}

TEST(GridMouse, FocusHighlightAndTheOtherMouseButtons) {
    FormFixture f("focus");
    f.clickCell("Grid2", 1, 1);
    EXPECT_TRUE(f.core().ui.Grid2.highlighted);
    f.widget("txtProjectName")->setFocus();
    EXPECT_FALSE(f.core().ui.Grid2.highlighted);
    EXPECT_EQ(f.core().ui.ActiveGrid, 2);

    f.core().postStatus("kept");
    f.clickCell("Grid2", 2, 1, Qt::RightButton);
    EXPECT_EQ(f.statusLines(), QStringList({"", "kept"}));
    f.clickCell("Grid1", 2, 1, Qt::RightButton);
    EXPECT_EQ(f.statusLines(), QStringList({"Mid "}));
    f.clickCell("Grid1", 2, 1, Qt::MiddleButton);
    EXPECT_EQ(f.statusLines(), QStringList({"Mid "}));
}

QString clipboard() {
    return QGuiApplication::clipboard()->text();
}

// Edit > Copy and Ctrl+V, then Ctrl+C and Edit > Paste, through the system clipboard. The
// selection text has the platform's line end between rows.
TEST(GridClipboard, EditMenuAndCtrlKeysCopyAndPasteBetweenGrids) {
    FormFixture f("clipboard");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.dragCells("Grid1", 1, 1, 3, 1);
    f.action("mnuEditCopy")->trigger();
    EXPECT_EQ(clipboard(), "10\n11\n12");
    EXPECT_EQ(f.form().findChild<QLineEdit*>("Text2")->text(), "10\n11\n12");
    f.dragCells("Grid2", 5, 1, 7, 1);
    QTest::keyClick(f.widget("Grid2"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.cell("Grid2", 7, 1), "12");

    f.dragCells("Grid2", 6, 1, 7, 1);
    QTest::keyClick(f.widget("Grid2"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), "11\n12");
    f.dragCells("Grid1", 8, 1, 9, 1);
    f.action("mnuEditPaste")->trigger();
    EXPECT_EQ(f.cell("Grid1", 9, 1), "12");
}

// The usual case: one cell current, a spreadsheet column on the clipboard. Ctrl+V fills
// downward from the cell to row 10 and says what did not fit; Delete clears a selection.
TEST(GridClipboard, CtrlVFromOneCellFillsDownward) {
    FormFixture f("paste-down");
    QGuiApplication::clipboard()->setText("1.5\r\n2.5\r\n3.5\r\n4.5\r\n");
    f.clickCell("Grid2", 8, 1);
    QTest::keyClick(f.widget("Grid2"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.cell("Grid2", 8, 1), "1.5");
    EXPECT_EQ(f.cell("Grid2", 10, 1), "3.5");
    EXPECT_EQ(f.statusLines().last(), "Pasted 3 values; 1 did not fit.");
    f.dragCells("Grid2", 8, 1, 9, 1);
    QTest::keyClick(f.widget("Grid2"), Qt::Key_Delete);
    EXPECT_EQ(f.cell("Grid2", 8, 1), "");
    EXPECT_EQ(f.cell("Grid2", 9, 1), "");
    EXPECT_EQ(f.cell("Grid2", 10, 1), "3.5");
}

// Opening a menu takes the keyboard from the grid for a moment; it is not leaving the grid, so
// the Edit menu's wait after a copy goes on.
TEST(GridClipboard, OpeningAMenuIsNotLeavingTheGrid) {
    FormFixture f("popup");
    f.typeColumn("Grid1", {"10", "11", "12"});
    f.dragCells("Grid1", 1, 1, 3, 1);
    QTest::keyClick(f.widget("Grid1"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(f.core().ui.ActiveGrid, 0);
    QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(f.widget("Grid1"), &out);
    EXPECT_EQ(f.core().ui.ActiveGrid, 0);
    EXPECT_TRUE(f.core().ui.Grid1.highlighted);
    // A paste would post its line; nothing happens.
    f.form().forward([](MainWindow& w) { w.postStatus("kept"); });
    f.action("mnuEditPaste")->trigger();
    EXPECT_EQ(f.statusLines(), QStringList({"", "kept"}));

    // Leaving for another field is.
    QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(f.widget("Grid1"), &left);
    EXPECT_EQ(f.core().ui.ActiveGrid, 1);
    EXPECT_FALSE(f.core().ui.Grid1.highlighted);
}

}  // namespace
}  // namespace bx::gui::test
