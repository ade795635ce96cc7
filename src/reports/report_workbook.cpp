// SPDX-License-Identifier: MIT
// The one place that writes spreadsheet workbooks (libxlsxwriter).
#include "reports/report_workbook.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "base/text_format.h"
#include "tables/file_lock.h"

namespace bx {
namespace {

// The longest text a spreadsheet cell holds, in bytes of UTF-8 (the limit is 32767 characters;
// bytes are the safe side).
constexpr std::size_t kMaxCellBytes = 32767;
constexpr std::size_t kMaxSheetNameCharacters = 31;

struct WorkbookCloser {
    void operator()(lxw_workbook* wb) const {
        if (wb != nullptr) {
            workbook_close(wb);
        }
    }
};
using WorkbookPtr = std::unique_ptr<lxw_workbook, WorkbookCloser>;

// Valid UTF-8 for the workbook's XML: each byte that does not start or continue a well-formed
// character becomes U+FFFD. Texts from old data files may carry another code page.
std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned int minimum = 0;
        unsigned int code = 0;
        if (c < 0x80U) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if ((c & 0xE0U) == 0xC0U) {
            length = 2;
            code = c & 0x1FU;
            minimum = 0x80U;
        } else if ((c & 0xF0U) == 0xE0U) {
            length = 3;
            code = c & 0x0FU;
            minimum = 0x800U;
        } else if ((c & 0xF8U) == 0xF0U) {
            length = 4;
            code = c & 0x07U;
            minimum = 0x10000U;
        }
        bool ok = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            ok = (cc & 0xC0U) == 0x80U;
            code = (code << 6U) | (cc & 0x3FU);
        }
        ok = ok && code >= minimum && code <= 0x10FFFFU && (code < 0xD800U || code > 0xDFFFU);
        if (ok) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string cutUtf8(std::string text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0U) == 0x80U) {
        --end;
    }
    text.resize(end);
    return text;
}

// A sheet name: without the characters a sheet name cannot hold, not starting or ending with
// an apostrophe, at most 31 characters; empty gives the default name.
std::string safeSheetName(const std::string& name) {
    std::string cleaned;
    for (const char c : validUtf8(name)) {
        if (std::string_view("[]:*?/\\").find(c) == std::string_view::npos) {
            cleaned += c;
        }
    }
    while (!cleaned.empty() && cleaned.front() == '\'') {
        cleaned.erase(cleaned.begin());
    }
    std::size_t characters = 0;
    for (std::size_t i = 0; i < cleaned.size(); ++i) {
        if ((static_cast<unsigned char>(cleaned[i]) & 0xC0U) != 0x80U) {
            if (characters == kMaxSheetNameCharacters) {
                cleaned.resize(i);
                break;
            }
            ++characters;
        }
    }
    while (!cleaned.empty() && cleaned.back() == '\'') {
        cleaned.pop_back();
    }
    return cleaned;
}

std::uint8_t lxwAlignment(int alignment) {
    switch (alignment) {
        case kAlignLeft:
            return LXW_ALIGN_LEFT;
        case kAlignCenter:
            return LXW_ALIGN_CENTER;
        case kAlignRight:
            return LXW_ALIGN_RIGHT;
        default:
            return LXW_ALIGN_NONE;
    }
}

// Line style 1 (continuous) is the thin solid line; any other style is drawn the same way.
std::uint8_t lxwBorder(int lineStyle) {
    return lineStyle == 0 ? LXW_BORDER_NONE : LXW_BORDER_THIN;
}

TableError workbookError(lxw_error error, int savedErrno, const std::string& path) {
    // A full or failing disk is told as such, whichever step of the writing met it.
    const bool diskCause = savedErrno == ENOSPC || savedErrno == EDQUOT || savedErrno == EFBIG ||
                           savedErrno == EIO || savedErrno == EROFS;
    if ((error == LXW_ERROR_CREATING_XLSX_FILE || diskCause) && savedErrno != 0) {
        return errorFromErrno(savedErrno, path);
    }
    return makeTableError(kErrPathFileAccess, path + " (" + lxw_strerror(error) + ")");
}

// The rows and columns a range of two corner cells covers, in either order; false when
// either address is not a cell.
struct CellRange {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
};

bool parseRange(std::string_view first, std::string_view last, CellRange& range) {
    int r1 = 0;
    int c1 = 0;
    int r2 = 0;
    int c2 = 0;
    if (!parseCellAddress(first, r1, c1) || !parseCellAddress(last, r2, c2)) {
        return false;
    }
    range = {std::min(r1, r2), std::max(r1, r2), std::min(c1, c2), std::max(c1, c2)};
    return true;
}

}  // namespace

void ReportWorkbook::setColumnWidth(int column, double width) {
    if (column >= 1 && column <= LXW_COL_MAX) {
        widths_[column - 1] = width;
    }
}

void ReportWorkbook::setFontName(const std::string& name) {
    fontName_ = name;
}

void ReportWorkbook::setFontSize(double size) {
    fontSize_ = size;
}

void ReportWorkbook::setHorizontalAlignment(std::string_view first, std::string_view last,
                                            int alignment) {
    CellRange range;
    if (!parseRange(first, last, range)) {
        return;
    }
    for (int r = range.top; r <= range.bottom; ++r) {
        for (int c = range.left; c <= range.right; ++c) {
            styles_[{r, c}].alignment = alignment;
        }
    }
}

void ReportWorkbook::borderAround(std::string_view first, std::string_view last, int lineStyle) {
    CellRange range;
    if (!parseRange(first, last, range)) {
        return;
    }
    const auto [top, bottom, left, right] = range;
    for (int c = left; c <= right; ++c) {
        styles_[{top, c}].top = lineStyle;
        styles_[{bottom, c}].bottom = lineStyle;
    }
    for (int r = top; r <= bottom; ++r) {
        styles_[{r, left}].left = lineStyle;
        styles_[{r, right}].right = lineStyle;
    }
}

TableError ReportWorkbook::save(const std::string& path, const std::string& sheetName,
                                const std::vector<ReportLine>& lines) const {
    PendingFile file;
    if (TableError error = saveAside(path, sheetName, lines, file)) {
        return error;
    }
    return file.place(true);
}

TableError ReportWorkbook::saveAside(const std::string& path, const std::string& sheetName,
                                     const std::vector<ReportLine>& lines,
                                     PendingFile& file) const {
    if (TableError held = checkNotHeldOpen(path)) {
        return held;
    }
    const std::filesystem::path target(path);
    std::error_code ec;
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::current_path(ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        return makeTableError(kErrPathNotFound, path);
    }

    // A temporary name beside the target that no other writer picks; the workbook writer
    // creates it with the usual permissions.
    file.nameFor(path);

    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = nullptr;
    options.use_zip64 = LXW_FALSE;
    WorkbookPtr wb(workbook_new_opt(file.temp().c_str(), &options));
    if (!wb) {
        return makeTableError(kErrPathFileAccess, path);
    }
    const std::string name = safeSheetName(sheetName);
    lxw_worksheet* ws = workbook_add_worksheet(wb.get(), name.empty() ? nullptr : name.c_str());
    if (ws == nullptr) {
        ws = workbook_add_worksheet(wb.get(), nullptr);
    }
    if (ws == nullptr) {
        return makeTableError(kErrPathFileAccess, path);
    }

    // One format per distinct cell style, all in the sheet's font.
    std::map<CellStyle, lxw_format*> formats;
    const auto formatFor = [&](const CellStyle& style) {
        auto it = formats.find(style);
        if (it != formats.end()) {
            return it->second;
        }
        lxw_format* f = workbook_add_format(wb.get());
        if (!fontName_.empty()) {
            format_set_font_name(f, fontName_.c_str());
        }
        if (fontSize_ > 0.0) {
            format_set_font_size(f, fontSize_);
        }
        if (style.alignment != 0) {
            format_set_align(f, lxwAlignment(style.alignment));
        }
        if (style.top != 0) {
            format_set_top(f, lxwBorder(style.top));
        }
        if (style.bottom != 0) {
            format_set_bottom(f, lxwBorder(style.bottom));
        }
        if (style.left != 0) {
            format_set_left(f, lxwBorder(style.left));
        }
        if (style.right != 0) {
            format_set_right(f, lxwBorder(style.right));
        }
        formats.emplace(style, f);
        return f;
    };
    lxw_format* plain = formatFor(CellStyle{});

    // Every column takes the sheet's font; the laid-out columns also their widths.
    int nextColumn = 0;
    for (const auto& [column, width] : widths_) {
        if (column > nextColumn) {
            worksheet_set_column(ws, static_cast<lxw_col_t>(nextColumn),
                                 static_cast<lxw_col_t>(column - 1), LXW_DEF_COL_WIDTH, plain);
        }
        worksheet_set_column(ws, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                             width, plain);
        nextColumn = column + 1;
    }
    if (nextColumn < LXW_COL_MAX) {
        worksheet_set_column(ws, static_cast<lxw_col_t>(nextColumn), LXW_COL_MAX - 1,
                             LXW_DEF_COL_WIDTH, plain);
    }

    const auto styleAt = [&](int row, int column) {
        const auto it = styles_.find({row, column});
        return it == styles_.end() ? CellStyle{} : it->second;
    };
    for (std::size_t r = 0; r < lines.size() && r < LXW_ROW_MAX; ++r) {
        const ReportLine& line = lines[r];
        for (std::size_t c = 0; c < line.size() && c < LXW_COL_MAX; ++c) {
            const std::string& text = line[c];
            if (text.empty()) {
                continue;
            }
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            lxw_format* f = formatFor(styleAt(static_cast<int>(r), static_cast<int>(c)));
            double value = 0.0;
            if (readsAsNumber(text, value)) {
                worksheet_write_number(ws, row, col, value, f);
            } else {
                const std::string cellText = cutUtf8(validUtf8(text), kMaxCellBytes);
                worksheet_write_string(ws, row, col, cellText.c_str(), f);
            }
        }
    }
    // Cells that carry only a layout (a border or an alignment) are written blank.
    for (const auto& [key, style] : styles_) {
        const auto [r, c] = key;
        if (r >= LXW_ROW_MAX || c >= LXW_COL_MAX) {
            continue;
        }
        const bool hasText = static_cast<std::size_t>(r) < lines.size() &&
                             static_cast<std::size_t>(c) < lines[r].size() && !lines[r][c].empty();
        if (!hasText) {
            worksheet_write_blank(ws, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                  formatFor(style));
        }
    }

    errno = 0;
    const lxw_error closed = workbook_close(wb.release());
    const int savedErrno = errno;
    if (closed != LXW_NO_ERROR) {
        return workbookError(closed, savedErrno, path);
    }
    return {};
}

bool readsAsNumber(const std::string& text, double& value) {
    const LeadingNumber parsed = parseLeadingNumber(text);
    if (!parsed.found || !parsed.wholeText || !std::isfinite(parsed.value)) {
        return false;
    }
    value = parsed.value;
    return true;
}

std::string workbookPathFor(const std::string& reportPath) {
    constexpr std::string_view kCsv = ".csv";
    if (reportPath.size() >= kCsv.size() &&
        reportPath.compare(reportPath.size() - kCsv.size(), kCsv.size(), kCsv) == 0) {
        return reportPath.substr(0, reportPath.size() - kCsv.size()) + ".xlsx";
    }
    return reportPath + ".xlsx";
}

std::string workbookLibraryVersion() {
    return LXW_VERSION;
}

}  // namespace bx
