// SPDX-License-Identifier: MIT
#pragma once
// The spreadsheet layout of the report: column widths, font, alignments and borders, sent in a
// fixed order to whatever lays the report out (a workbook writer, or a recorder in tests).

#include <string>
#include <string_view>

namespace bx {

// Horizontal alignment codes as the spreadsheet takes them.
inline constexpr int kAlignLeft = 2;
inline constexpr int kAlignCenter = 3;
inline constexpr int kAlignRight = 4;
// The continuous line style of a border.
inline constexpr int kLineContinuous = 1;

class ReportLayout {
  public:
    virtual ~ReportLayout() = default;

    // Width of column `column` (1 for A), in characters of the default font.
    virtual void setColumnWidth(int column, double width) = 0;
    // Font name, then size, for every cell of the sheet.
    virtual void setFontName(const std::string& name) = 0;
    virtual void setFontSize(double size) = 0;
    // Horizontal alignment of the cells from `first` to `last` (addresses such as "B3" or
    // "c10", letter case not significant).
    virtual void setHorizontalAlignment(std::string_view first, std::string_view last,
                                        int alignment) = 0;
    // A border around the outside of the range from `first` to `last`.
    virtual void borderAround(std::string_view first, std::string_view last, int lineStyle) = 0;
};

// Sends the report's layout steps to `layout`, in order: ten column widths of 8, Arial, size 8,
// fifteen alignments, seven borders.
void layOutReport(ReportLayout& layout);

// A cell address split into its 0-based row and column; false when `address` is not a
// column letter (A to Z) followed by a row number from 1.
bool parseCellAddress(std::string_view address, int& row, int& column);

}  // namespace bx
