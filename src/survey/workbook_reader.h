#pragma once
// Reading one worksheet of an .xlsx workbook as comma-separated text, so that a survey kept in
// a workbook is read by the same rules as a CSV file: numbers as their stored decimal text,
// text cells (shared or inline strings) as text, empty cells empty, one line per sheet row
// (empty lines for missing rows, so that line numbers are row numbers). Dates are serial
// numbers in the sheet and stay numbers; formats and formulas are not looked at.

#include <optional>
#include <string>

namespace bx {

// True when `path` ends in .xlsx (any case).
bool isWorkbookPath(const std::string& path);

// The sheet named `sheet` (the first sheet when empty) as CSV text, or std::nullopt with
// `error` saying why (not a workbook, no such sheet).
std::optional<std::string> workbookSheetAsCsv(const std::string& path, const std::string& sheet,
                                              std::string& error);

}  // namespace bx
