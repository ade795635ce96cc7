// SPDX-License-Identifier: MIT
#include "app/grid_commands.h"

#include <algorithm>
#include <string>

#include "app/main_window.h"
#include "entry/grid.h"

namespace bx {
namespace {

constexpr int kKeyCopy = 3;
constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
constexpr int kKeyPaste = 22;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyDelete = 127;

// Removes the last character of a UTF-8 text (a pasted value may hold more than ASCII).
void dropLastCharacter(std::string& text) {
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((c & 0xC0U) != 0x80U) {
            break;
        }
    }
}

}  // namespace

Grid& gridByIndex(MainWindow& w, int gridIndex) {
    return gridIndex == 2 ? w.ui.Grid2 : w.ui.Grid1;
}

void gridSelectionChanged(MainWindow& w, int gridIndex) {
    w.ui.CellFresh = true;
    w.ui.ActiveGrid = gridIndex == 2 ? 2 : 1;
}

void gridGotFocus(MainWindow& w, int gridIndex) {
    gridByIndex(w, gridIndex).highlighted = true;
    // Entering a cell by any means makes typing replace its text.
    w.ui.CellFresh = true;
}

void gridEditCell(MainWindow& w, int gridIndex) {
    Grid& grid = gridByIndex(w, gridIndex);
    if (grid.col() != Grid::kDataCol) {
        grid.setSelection(grid.row(), Grid::kDataCol, grid.row(), Grid::kDataCol);
    }
    w.ui.ActiveGrid = gridIndex == 2 ? 2 : 1;
    w.ui.CellFresh = false;
}

void gridLostFocus(MainWindow& w, int gridIndex) {
    gridByIndex(w, gridIndex).highlighted = false;
    w.ui.ActiveGrid = gridIndex == 2 ? 2 : 1;
}

void gridOtherMouseButton(MainWindow& w, int gridIndex) {
    if (gridIndex != 1) {
        return;
    }
    w.ui.Status = "Mid ";
    w.ui.statusCaret = w.ui.Status.size();
}

void GridKeyPress(MainWindow& w, int keyCode, int gridIndex) {
    Grid& grid = gridByIndex(w, gridIndex);
    if (keyCode == kKeyCopy) {
        // The Transform column may be copied as it stands.
        CopyGridToClipboard(w, gridIndex);
        return;
    }
    if (grid.col() != Grid::kDataCol) {
        // The key that brings the cell back from the Transform column is typed there too.
        grid.setSelection(grid.row(), Grid::kDataCol, grid.rowSel(), Grid::kDataCol);
        gridSelectionChanged(w, gridIndex);
    }
    if (keyCode == ',') {
        if (!w.ui.commaIsDecimalMark) {
            w.postStatus("     The comma is not a decimal mark here: type a point (12.5).");
            return;
        }
        keyCode = '.';
    }
    const int row = grid.row();
    std::string text = grid.cell(row, Grid::kDataCol);
    switch (keyCode) {
        case kKeyPaste:
            PasteClipboardToGrid(w, gridIndex);
            return;
        case kKeyBackspace:
            if (!text.empty()) {
                dropLastCharacter(text);
                grid.setCell(row, Grid::kDataCol, text);
                w.ui.CellFresh = false;
            }
            return;
        case kKeyEnter: {
            const bool moved = row < Grid::kRows - 1;
            const bool wasRange = grid.rowSel() != grid.row() || grid.colSel() != grid.col();
            grid.setCurrent(moved ? row + 1 : row, Grid::kDataCol);
            if (moved || wasRange) {
                gridSelectionChanged(w, gridIndex);
            }
            return;
        }
        case kKeyEscape:
        case kKeySpace:
            grid.setCell(row, Grid::kDataCol, "");
            return;
        case kKeyDelete:
            // Every selected replicate; the Transform column is never typed into.
            for (int r = std::min(row, grid.rowSel()); r <= std::max(row, grid.rowSel()); ++r) {
                grid.setCell(r, Grid::kDataCol, "");
            }
            return;
        default:
            break;
    }
    const bool accepted = keyCode == '.' || (keyCode >= '0' && keyCode <= '9');
    if (!accepted) {
        return;
    }
    const char typed = static_cast<char>(keyCode);
    if (w.ui.CellFresh) {
        text = std::string(1, typed);
    } else {
        text.push_back(typed);
    }
    grid.setCell(row, Grid::kDataCol, text);
    w.ui.CellFresh = false;
}

void CopyGridToClipboard(MainWindow& w, int gridIndex) {
    const std::string text = gridByIndex(w, gridIndex).selectionText();
    w.desktop().setClipboardText(text);
    w.ui.Text2 = text;
    w.ui.ActiveGrid = 0;
}

void PasteClipboardToGrid(MainWindow& w, int gridIndex) {
    WindowState& ui = w.ui;
    ui.Text2 = w.desktop().clipboardText();
    if (ui.Text2.empty()) {
        w.postStatus("Nothing in Clipboard to Paste!");
        return;
    }
    Grid& grid = gridByIndex(w, gridIndex);
    const Grid::PasteCount count = grid.paste(ui.Text2);
    grid.setSelection(grid.row(), Grid::kDataCol, grid.rowSel(), Grid::kDataCol);
    std::string line =
        "Pasted " + std::to_string(count.pasted) + (count.pasted == 1 ? " value" : " values");
    if (count.leftOver > 0) {
        line += "; " + std::to_string(count.leftOver) + " did not fit";
    }
    w.postStatus(line + ".");
}

void mnuEditCopy_Click(MainWindow& w) {
    if (w.ui.ActiveGrid == 1 || w.ui.ActiveGrid == 2) {
        CopyGridToClipboard(w, w.ui.ActiveGrid);
    }
}

void mnuEditPaste_Click(MainWindow& w) {
    if (w.ui.ActiveGrid == 1 || w.ui.ActiveGrid == 2) {
        PasteClipboardToGrid(w, w.ui.ActiveGrid);
    }
}

}  // namespace bx
