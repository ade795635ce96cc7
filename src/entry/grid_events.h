#pragma once
// Keyboard editing of the replicate grids, copy and paste, and moving values between a grid
// and a value array.

#include "entry/value_array.h"

namespace bx {

class MainWindow;
class Grid;

// Which grid: 1 is Grid1 (test, x1), 2 is Grid2 (reference, x2).
Grid& gridByIndex(MainWindow& w, int gridIndex);

// A typed character (key code as character code: 3 Ctrl+C, 22 Ctrl+V, 8 Backspace, 13 Enter,
// 27 Escape, 32 space, digits and the point).
void GridKeyPress(MainWindow& w, int keyCode, int gridIndex);

// Grid focus and selection events.
void gridGotFocus(MainWindow& w, int gridIndex);
void gridLostFocus(MainWindow& w, int gridIndex);
// The current cell or the selection changed (the grid's own state is already updated).
void gridSelectionChanged(MainWindow& w, int gridIndex);
// A mouse button other than the left one pressed on a grid.
void gridOtherMouseButton(MainWindow& w, int gridIndex);

void CopyGridToClipboard(MainWindow& w, int gridIndex);
void PasteClipboardToGrid(MainWindow& w, int gridIndex);

// Edit > "Copy grid data" and "Paste grid data", on ActiveGrid.
void mnuEditCopy_Click(MainWindow& w);
void mnuEditPaste_Click(MainWindow& w);

// Column 1, rows 1 to 10, into slots 1 to 10 as texts.
void GridToArray(const Grid& grid, ValueArray& values);
// Slots 1 to 10 of `values` into column 1 and of `transformed` into column 2, as texts.
void ArrayToGrid(Grid& grid, const ValueArray& values, const ValueArray& transformed);
// Blank columns 1 and 2 (ClearGrid) or column 2 only (ClearTransformColumn), rows 1 to 10;
// then row 1, column 1 becomes the current cell.
void ClearGrid(Grid& grid);
void ClearTransformColumn(Grid& grid);

}  // namespace bx
