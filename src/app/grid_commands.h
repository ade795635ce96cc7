// SPDX-License-Identifier: MIT
#pragma once
// Keyboard editing of the replicate grids, copy and paste.

namespace bx {

class MainWindow;
class Grid;

// Which grid: 1 is Grid1 (test, x1), 2 is Grid2 (reference, x2).
Grid& gridByIndex(MainWindow& w, int gridIndex);

// A typed character (key code as character code: 3 Ctrl+C, 22 Ctrl+V, 8 Backspace, 13 Enter,
// 27 Escape, 32 space, 127 Delete, digits and the point). Escape and space blank the current
// replicate, Delete every selected one. A key typed in the Transform column goes to the Data
// cell of its row. The comma types the point where the user's decimal mark is the comma, and
// is refused with a status line elsewhere.
void GridKeyPress(MainWindow& w, int keyCode, int gridIndex);

// Grid focus and selection events. Entering a cell (focus or selection) makes the next typed
// character replace the cell's text.
void gridGotFocus(MainWindow& w, int gridIndex);
// F2 or a double click: the current Data cell is edited, typing goes on after its text.
void gridEditCell(MainWindow& w, int gridIndex);
void gridLostFocus(MainWindow& w, int gridIndex);
// The current cell or the selection changed (the grid's own state is already updated).
void gridSelectionChanged(MainWindow& w, int gridIndex);
// A mouse button other than the left one pressed on a grid.
void gridOtherMouseButton(MainWindow& w, int gridIndex);

void CopyGridToClipboard(MainWindow& w, int gridIndex);
// Pastes the clipboard text at the grid's selection (see Grid::paste) and posts how many values
// were pasted and how many did not fit; an empty clipboard posts "Nothing in Clipboard to
// Paste!" and changes no cell.
void PasteClipboardToGrid(MainWindow& w, int gridIndex);

// Edit > "Copy grid data" and "Paste grid data", on ActiveGrid.
void mnuEditCopy_Click(MainWindow& w);
void mnuEditPaste_Click(MainWindow& w);

}  // namespace bx
