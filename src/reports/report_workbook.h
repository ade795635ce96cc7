// SPDX-License-Identifier: MIT
#pragma once
// The report as a spreadsheet workbook: the cells of the comma-separated report with the
// layout of the report applied (column widths, font, alignments, borders). Texts that read
// as numbers are stored as numbers, as a spreadsheet reading the comma-separated file would.

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "reports/report_layout.h"
#include "reports/report_lines.h"
#include "reports/text_file.h"
#include "tables/table_error.h"

namespace bx {

class ReportWorkbook : public ReportLayout {
  public:
    void setColumnWidth(int column, double width) override;
    void setFontName(const std::string& name) override;
    void setFontSize(double size) override;
    void setHorizontalAlignment(std::string_view first, std::string_view last,
                                int alignment) override;
    void borderAround(std::string_view first, std::string_view last, int lineStyle) override;

    // Writes the workbook with `lines` as its one sheet, named `sheetName` (characters a sheet
    // name cannot take are dropped). The workbook goes to a temporary file beside `path` that
    // then replaces `path`, so that a failed write leaves an earlier workbook as it was.
    // Fails with 70 while another program holds `path` open.
    TableError save(const std::string& path, const std::string& sheetName,
                    const std::vector<ReportLine>& lines) const;
    // The same into the temporary file of `file`, for the caller to place (with the
    // comma-separated report, so that the two files are put in place together).
    TableError saveAside(const std::string& path, const std::string& sheetName,
                         const std::vector<ReportLine>& lines, PendingFile& file) const;

  private:
    struct CellStyle {
        int alignment = 0;  // 0: general
        int top = 0;        // line styles of the four edges, 0 for none
        int bottom = 0;
        int left = 0;
        int right = 0;
        bool operator<(const CellStyle& o) const {
            return std::tie(alignment, top, bottom, left, right) <
                   std::tie(o.alignment, o.top, o.bottom, o.left, o.right);
        }
    };
    using CellKey = std::pair<int, int>;  // 0-based row, column

    std::map<int, double> widths_;  // 0-based column
    std::string fontName_;
    double fontSize_ = 0.0;
    std::map<CellKey, CellStyle> styles_;
};

// The number a spreadsheet reads from a field, or false when it reads text: the whole field
// (blanks around it aside) must be a finite decimal number.
bool readsAsNumber(const std::string& text, double& value);

// The workbook path beside a report: ".csv" replaced by ".xlsx" (or ".xlsx" added).
std::string workbookPathFor(const std::string& reportPath);

// The version of the workbook library the program is built with, e.g. "1.1.4".
std::string workbookLibraryVersion();

}  // namespace bx
