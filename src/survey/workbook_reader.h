// SPDX-License-Identifier: MIT
#pragma once
// Reading one worksheet of an .xlsx workbook as comma-separated text, so that a survey kept in
// a workbook is read by the same rules as a CSV file. A cell's text is what the sheet stores:
// a number as its decimal text, a text (a shared or inline string, a formula's text result) as
// it is, a logical as TRUE or FALSE, an error as its code (#DIV/0!), a formula as its stored
// result. Dates are serial numbers in the sheet and come out as numbers.
//
// Each row with content is one record (one line, unless a text holds a line end); rows without
// content are left out, and `rowOfLine` gives the sheet row of every line, so that messages
// name the sheet's rows. Every record is as wide as the first one, the header: a missing cell
// is an empty field, and cells right of the header's last name are left out, since no column
// names them. Cells that hold no plain number or text are listed as problems, for the survey
// reader to refuse where it reads them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bx {

// The sheet's bounds: rows 1 to 1,048,576, columns A to XFD.
inline constexpr int kSheetRows = 1 << 20;
inline constexpr int kSheetColumns = 1 << 14;
// The most a part of the archive may unpack to, and the most text a sheet may come to.
inline constexpr std::uint64_t kMaxWorkbookPartBytes = std::uint64_t{512} << 20;

// A cell whose text is not a plain number or text.
struct CellProblem {
    enum class Kind : std::uint8_t {
        NoStoredResult,  // a formula the workbook holds no result for (its text is empty)
        Error,           // an error value, its text the code (#DIV/0!)
        Date,            // a number shown as a date or a time (its text the serial number)
        Logical,         // TRUE or FALSE
    };
    int row = 0;     // the sheet's row, from 1
    int column = 0;  // from 0, column A
    Kind kind = Kind::NoStoredResult;

    // True when the cell's text stands for nothing the sheet shows (no stored result, an
    // error), so that it is refused in every column the survey reads; a date or a logical is
    // refused only as a value.
    bool unreadable() const { return kind == Kind::NoStoredResult || kind == Kind::Error; }
    // Why the cell is refused ("cell B4 holds a date; a value must be a number"), given its text.
    std::string reason(std::string_view text) const;
};

// One sheet as CSV text.
struct WorkbookSheet {
    std::string csv;
    std::vector<int> rowOfLine;         // the sheet row of each line of `csv`, line 1 first
    std::vector<CellProblem> problems;  // by row, then column; only cells within the records

    // The sheet row of a line of `csv` (line 1 is the first); a line past the last is kept.
    int rowOf(int line) const;
};

// The name of a column ("A" for 0, "XFD" for 16383).
std::string columnName(int column);

// True when `path` ends in .xlsx (any case).
bool isWorkbookPath(const std::string& path);

// The names of the workbook's sheets in their order, or none with `error` saying why.
std::vector<std::string> workbookSheetNames(const std::string& path, std::string& error);

// The sheet named `sheet` (the first sheet when empty), or std::nullopt with `error` saying why:
// not a workbook, no such sheet, a part larger than kMaxWorkbookPartBytes, a row or cell
// reference outside the sheet, a string the workbook does not hold.
std::optional<WorkbookSheet> workbookSheetAsCsv(const std::string& path, const std::string& sheet,
                                                std::string& error);

}  // namespace bx
