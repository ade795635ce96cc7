// SPDX-License-Identifier: MIT
#pragma once
// A replicate grid: 11 rows by 3 columns of text. Row 0 holds the headings, column 0 the
// replicate labels, column 1 the entered data and column 2 the transformed values. The current
// cell is (row, col); the selection is the rectangle between it and (rowSel, colSel).

#include <array>
#include <string>

namespace bx {

class Grid {
  public:
    static constexpr int kRows = 11;
    static constexpr int kCols = 3;
    static constexpr int kDataCol = 1;
    static constexpr int kTransformCol = 2;

    Grid();

    const std::string& cell(int row, int col) const;
    void setCell(int row, int col, std::string text);

    int row() const { return row_; }
    int col() const { return col_; }
    int rowSel() const { return rowSel_; }
    int colSel() const { return colSel_; }

    // Makes (row, col) the current cell and collapses the selection onto it.
    void setCurrent(int row, int col);
    // Selects the rectangle from the current cell (row, col) to (rowSel, colSel).
    void setSelection(int row, int col, int rowSel, int colSel);

    // The line end of copied text: the platform's.
    static constexpr const char* kLineEnd = "\n";

    // Selection text: cells of the selected rectangle row by row, a tab between cells of a row
    // and kLineEnd between rows.
    std::string selectionText() const;

    // How a paste went: the values that landed in cells and those that fell outside.
    struct PasteCount {
        int pasted = 0;
        int leftOver = 0;
    };

    // Pastes `text` into the Data column at the selection's rows: a line end (CR, CR LF or LF)
    // moves to the next row, and a final line end does not start an extra row; a tab separates
    // cells, of which only each row's first lands (the Transform column is never pasted into),
    // except that a single row of cells goes down the column. A selection of one row takes
    // the values downward as far as the grid goes; a taller one takes what fits in it. When
    // the selection spans all ten rows, its Data cells below the pasted rows are blanked, so
    // that no old value is left under a shorter column. An empty text changes nothing.
    PasteCount paste(const std::string& text);

    // The widget's focus highlight (shown while the grid has the focus).
    bool highlighted = false;

  private:
    std::array<std::array<std::string, kCols>, kRows> cells_{};
    int row_ = 1;
    int col_ = 1;
    int rowSel_ = 1;
    int colSel_ = 1;
};

}  // namespace bx
