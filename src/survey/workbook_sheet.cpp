// SPDX-License-Identifier: MIT
// The parts of a workbook sheet that need no workbook file: its problem cells' words, its rows
// and its column names (the reading of .xlsx files is in workbook_reader.cpp).
#include "survey/workbook_reader.h"

namespace bx {

std::string CellProblem::reason(std::string_view text) const {
    const std::string cell = "cell " + columnName(column) + std::to_string(row);
    switch (kind) {
        case Kind::NoStoredResult:
            return cell +
                   " holds a formula without a stored result (open and save the workbook in a "
                   "spreadsheet program first)";
        case Kind::Error:
            return cell + " holds the error " + std::string(text);
        case Kind::Date:
            return cell + " holds a date; a value must be a number";
        case Kind::Logical:
            return cell + " holds " + std::string(text) + "; a value must be a number";
    }
    return cell;
}

int WorkbookSheet::rowOf(int line) const {
    return line >= 1 && static_cast<std::size_t>(line) <= rowOfLine.size()
               ? rowOfLine[static_cast<std::size_t>(line) - 1]
               : line;
}

std::string columnName(int column) {
    std::string name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return name;
}

}  // namespace bx
