// SPDX-License-Identifier: MIT
#include "entry/grid.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace bx {
namespace {

// The heading row and the label column are fixed: they can never be current or selected.
int clampRow(int r) {
    return std::clamp(r, 1, Grid::kRows - 1);
}
int clampCol(int c) {
    return std::clamp(c, 1, Grid::kCols - 1);
}

// Splits clipboard text into rows of cells. Rows end at CR LF, CR or LF; a final line end
// does not make an extra row.
std::vector<std::vector<std::string>> splitCells(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1);
    rows.back().emplace_back();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\t') {
            rows.back().emplace_back();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            if (i + 1 < text.size()) {
                rows.emplace_back();
                rows.back().emplace_back();
            }
        } else {
            rows.back().back().push_back(c);
        }
    }
    return rows;
}

}  // namespace

Grid::Grid() = default;

const std::string& Grid::cell(int row, int col) const {
    if (row < 0 || row >= kRows || col < 0 || col >= kCols) {
        throw std::out_of_range("grid cell");
    }
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void Grid::setCell(int row, int col, std::string text) {
    if (row < 0 || row >= kRows || col < 0 || col >= kCols) {
        throw std::out_of_range("grid cell");
    }
    cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(text);
}

void Grid::setCurrent(int row, int col) {
    row_ = rowSel_ = clampRow(row);
    col_ = colSel_ = clampCol(col);
}

void Grid::setSelection(int row, int col, int rowSel, int colSel) {
    row_ = clampRow(row);
    col_ = clampCol(col);
    rowSel_ = clampRow(rowSel);
    colSel_ = clampCol(colSel);
}

std::string Grid::selectionText() const {
    const int r1 = std::min(row_, rowSel_);
    const int r2 = std::max(row_, rowSel_);
    const int c1 = std::min(col_, colSel_);
    const int c2 = std::max(col_, colSel_);
    std::string text;
    for (int r = r1; r <= r2; ++r) {
        if (r > r1) {
            text += kLineEnd;
        }
        for (int c = c1; c <= c2; ++c) {
            if (c > c1) {
                text += '\t';
            }
            text += cell(r, c);
        }
    }
    return text;
}

Grid::PasteCount Grid::paste(const std::string& text) {
    PasteCount count;
    if (text.empty()) {
        return count;
    }
    const int r1 = std::min(row_, rowSel_);
    const bool single = row_ == rowSel_;
    const int r2 = single ? kRows - 1 : std::max(row_, rowSel_);
    // Values land in the Data column only: the Transform column is the program's output.
    const int c1 = kDataCol;
    const int c2 = kDataCol;
    auto rows = splitCells(text);
    // A single row of cells (copied across a spreadsheet row) is a sample's values: they go
    // down the Data column.
    if (rows.size() == 1 && rows.front().size() > 1) {
        std::vector<std::vector<std::string>> column;
        for (std::string& cell : rows.front()) {
            column.push_back({std::move(cell)});
        }
        rows = std::move(column);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = r1 + static_cast<int>(i);
        for (std::size_t j = 0; j < rows[i].size(); ++j) {
            const int c = c1 + static_cast<int>(j);
            if (r > r2 || c > c2) {
                ++count.leftOver;
            } else {
                setCell(r, c, rows[i][j]);
                ++count.pasted;
            }
        }
    }
    if (!single && r1 == 1 && r2 == kRows - 1) {
        for (int r = r1 + static_cast<int>(rows.size()); r <= r2; ++r) {
            for (int c = c1; c <= c2; ++c) {
                setCell(r, c, "");
            }
        }
    }
    return count;
}

}  // namespace bx
