// SPDX-License-Identifier: MIT
#include "survey/workbook_reader.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

#include "survey/csv.h"

namespace bx {
namespace {

constexpr std::string_view kPartLimitText = "512 MiB";

// The local name of an element or attribute ("x:sheet" and "sheet" alike).
std::string_view localName(const char* name) {
    std::string_view n(name);
    const std::size_t colon = n.rfind(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

const char* attribute(const char** atts, std::string_view name) {
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (localName(atts[i]) == name) {
            return atts[i + 1];
        }
    }
    return nullptr;
}

// The number a text of decimal digits stands for, or std::nullopt for any other text. Numbers
// above `cap` come out as cap + 1, so that no text overflows.
std::optional<std::int64_t> parseCount(std::string_view text, std::int64_t cap) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = std::min(n * 10 + (c - '0'), cap + 1);
    }
    return n;
}

// What every part's reader has: the parser, so that it can stop it, and why it stopped.
struct XmlHandler {
    XML_Parser parser = nullptr;
    std::string error;

    void fail(std::string why) {
        if (error.empty()) {
            error = std::move(why);
            XML_StopParser(parser, XML_FALSE);
        }
    }
};

enum class Parsed { Done, Missing, Failed };

// Parses the part `name` of the archive with `handler` as it is unpacked, block by block, so
// that a large sheet is never held whole. A part that says it unpacks to more than
// kMaxWorkbookPartBytes is refused before it is read, one that does so without saying when
// it gets there.
template <typename Handler>
Parsed parsePart(zip_t* archive, const std::string& name, Handler& handler, std::string& error) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(archive, name.c_str(), 0, &st) != 0) {
        return Parsed::Missing;
    }
    const std::string tooLarge =
        "its part " + name + " unpacks to more than " + std::string(kPartLimitText);
    if ((st.valid & ZIP_STAT_SIZE) != 0 && st.size > kMaxWorkbookPartBytes) {
        error = tooLarge;
        return Parsed::Failed;
    }
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen(archive, name.c_str(), 0),
                                                            &zip_fclose);
    if (!file) {
        error = "its part " + name + " cannot be unpacked";
        return Parsed::Failed;
    }
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"),
                                                                        &XML_ParserFree);
    handler.parser = parser.get();
    XML_SetUserData(parser.get(), &handler);
    XML_SetElementHandler(
        parser.get(),
        [](void* data, const char* element, const char** atts) {
            static_cast<Handler*>(data)->start(localName(element), atts);
        },
        [](void* data, const char* element) {
            static_cast<Handler*>(data)->end(localName(element));
        });
    XML_SetCharacterDataHandler(parser.get(), [](void* data, const char* s, int len) {
        static_cast<Handler*>(data)->text(std::string_view(s, static_cast<std::size_t>(len)));
    });
    // No part of a workbook declares a document type; one that does could define entities that
    // expand to far more text than the part holds.
    XML_SetStartDoctypeDeclHandler(parser.get(),
                                   [](void* data, const char*, const char*, const char*, int) {
                                       static_cast<Handler*>(data)->fail(
                                           "a part of it declares a document type, as no "
                                           "workbook does");
                                   });
    std::vector<char> buffer(std::size_t{1} << 16);
    std::uint64_t total = 0;
    while (true) {
        const zip_int64_t n = zip_fread(file.get(), buffer.data(), buffer.size());
        if (n < 0) {
            error = "its part " + name + " cannot be unpacked";
            return Parsed::Failed;
        }
        total += static_cast<std::uint64_t>(n);
        if (total > kMaxWorkbookPartBytes) {
            error = tooLarge;
            return Parsed::Failed;
        }
        if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(n), n == 0) ==
            XML_STATUS_ERROR) {
            error = !handler.error.empty()
                        ? handler.error
                        : "its part " + name + " is not well-formed XML (line " +
                              std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
                              XML_ErrorString(XML_GetErrorCode(parser.get())) + ")";
            return Parsed::Failed;
        }
        if (n == 0) {
            return Parsed::Done;
        }
    }
}

// xl/workbook.xml: the sheets' names and relationship ids in order.
struct SheetList : XmlHandler {
    std::vector<std::pair<std::string, std::string>> sheets;
    void start(std::string_view name, const char** atts) {
        if (name == "sheet") {
            const char* n = attribute(atts, "name");
            const char* id = attribute(atts, "id");
            sheets.emplace_back(n != nullptr ? n : "", id != nullptr ? id : "");
        }
    }
    void end(std::string_view) {}
    void text(std::string_view) {}
};

// xl/_rels/workbook.xml.rels: the targets of the relationship ids, and of the shared strings and
// the styles by their type.
struct Relationships : XmlHandler {
    std::vector<std::pair<std::string, std::string>> targets;
    std::string sharedStrings = "sharedStrings.xml";
    std::string styles = "styles.xml";
    void start(std::string_view name, const char** atts) {
        if (name == "Relationship") {
            const char* id = attribute(atts, "Id");
            const char* target = attribute(atts, "Target");
            const char* type = attribute(atts, "Type");
            if (id != nullptr && target != nullptr) {
                targets.emplace_back(id, target);
            }
            const std::string_view t = type != nullptr ? type : "";
            if (target != nullptr && t.size() > 14 && t.substr(t.size() - 14) == "/sharedStrings") {
                sharedStrings = target;
            } else if (target != nullptr && t.size() > 7 && t.substr(t.size() - 7) == "/styles") {
                styles = target;
            }
        }
    }
    void end(std::string_view) {}
    void text(std::string_view) {}
};

// The archive's name of a part a relationship of the workbook points to.
std::string partPath(std::string target) {
    if (!target.empty() && target.front() == '/') {
        target.erase(0, 1);
        return target;
    }
    return "xl/" + target;
}

// xl/sharedStrings.xml: each <si>, its <t> texts joined (rich text has several runs), the
// phonetic runs (<rPh>) left out; all of them one after another.
struct SharedStrings : XmlHandler {
    std::string texts;
    std::vector<std::size_t> ends;  // where each ends in `texts`
    bool inText = false;
    int phonetic = 0;

    std::size_t size() const { return ends.size(); }
    std::string_view at(std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(texts).substr(begin, ends[i] - begin);
    }
    void start(std::string_view name, const char**) {
        if (name == "si") {
            ends.push_back(texts.size());
        } else if (name == "rPh") {
            ++phonetic;
        } else if (name == "t" && phonetic == 0) {
            inText = true;
        }
    }
    void end(std::string_view name) {
        if (name == "rPh") {
            --phonetic;
        } else if (name == "t") {
            inText = false;
        }
    }
    void text(std::string_view s) {
        if (inText && !ends.empty()) {
            texts += s;
            ends.back() = texts.size();
        }
    }
};

// True for a number format code that shows a date or a time: one with a y, m, d, h or s that
// is not quoted ("0 \"days\""), escaped (\d), a fill or a space width (*d, _d), or inside
// brackets ([Red], [$-409]), where only an elapsed time ([h], [mm], [ss]) counts.
bool isDateFormatCode(std::string_view code) {
    constexpr std::string_view kDateLetters = "ymdhsYMDHS";
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '\\' || c == '*' || c == '_') {
            ++i;
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            const std::string_view inside =
                code.substr(i + 1, close == std::string_view::npos ? 0 : close - i - 1);
            if (!inside.empty() && inside.find_first_not_of("hmsHMS") == std::string_view::npos) {
                return true;
            }
            i = close == std::string_view::npos ? code.size() : close;
        } else if (kDateLetters.find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// The built-in number formats that show dates and times: 14 to 22 and 45 to 47, and those of
// East Asian spreadsheet programs (27 to 36, 50 to 58).
bool isBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

// xl/styles.xml: the number format of each cell format (the `s` of a cell indexes cellXfs),
// and the format codes the workbook defines. A spreadsheet program keeps at most some 64,000
// cell formats; later ones are not looked at.
struct Styles : XmlHandler {
    static constexpr std::size_t kMaxFormats = std::size_t{1} << 16;
    std::vector<std::pair<int, bool>> defined;  // numFmtId, shows a date
    std::vector<int> formatOfStyle;
    int inCellFormats = 0;

    void start(std::string_view name, const char** atts) {
        if (name == "numFmt" && defined.size() < kMaxFormats) {
            const char* id = attribute(atts, "numFmtId");
            const char* code = attribute(atts, "formatCode");
            const std::optional<std::int64_t> n = parseCount(id != nullptr ? id : "", 1 << 30);
            if (n && code != nullptr) {
                defined.emplace_back(static_cast<int>(*n), isDateFormatCode(code));
            }
        } else if (name == "cellXfs") {
            ++inCellFormats;
        } else if (name == "xf" && inCellFormats > 0 && formatOfStyle.size() < kMaxFormats) {
            const char* id = attribute(atts, "numFmtId");
            formatOfStyle.push_back(
                static_cast<int>(parseCount(id != nullptr ? id : "0", 1 << 30).value_or(0)));
        }
    }
    void end(std::string_view name) {
        if (name == "cellXfs") {
            --inCellFormats;
        }
    }
    void text(std::string_view) {}

    // Whether each cell format shows a date.
    std::vector<bool> dateStyles() const {
        std::vector<bool> dates;
        for (const int format : formatOfStyle) {
            const auto own = std::find_if(defined.begin(), defined.end(),
                                          [&](const auto& d) { return d.first == format; });
            dates.push_back(own != defined.end() ? own->second : isBuiltInDateFormat(format));
        }
        return dates;
    }
};

const std::string kBounds = "(rows 1 to 1048576, columns A to XFD)";

// A worksheet's cells, row by row, as CSV records.
struct Worksheet : XmlHandler {
    const SharedStrings* shared = nullptr;
    const std::vector<bool>* dateStyles = nullptr;
    WorkbookSheet* out = nullptr;

    int width = -1;  // the header's, once it has been read
    int lastRow = 0;
    int row = 0;
    bool inRow = false;
    std::vector<std::pair<int, std::string>> cells;  // the row's cells with content, by column
    std::vector<CellProblem> rowProblems;
    int nextColumn = 0;

    // The cell being read.
    bool inCell = false;
    int column = 0;
    std::string type;
    int style = 0;
    bool hasFormula = false;
    bool hasValue = false;
    std::string value;
    bool inValue = false;
    bool inInline = false;
    int phonetic = 0;

    void start(std::string_view name, const char** atts) {
        if (name == "row") {
            startRow(attribute(atts, "r"));
        } else if (name == "c" && inRow) {
            startCell(attribute(atts, "r"), attribute(atts, "t"), attribute(atts, "s"));
        } else if (!inCell) {
            return;
        } else if (name == "f") {
            hasFormula = true;
        } else if (name == "v") {
            inValue = true;
            hasValue = true;
        } else if (name == "is") {
            inInline = true;
        } else if (name == "rPh") {
            ++phonetic;
        } else if (name == "t" && inInline && phonetic == 0) {
            inValue = true;
            hasValue = true;
        }
    }
    void end(std::string_view name) {
        if (name == "v" || name == "t") {
            inValue = false;
        } else if (name == "rPh") {
            --phonetic;
        } else if (name == "is") {
            inInline = false;
        } else if (name == "c" && inCell) {
            endCell();
        } else if (name == "row" && inRow) {
            endRow();
        }
    }
    void text(std::string_view s) {
        if (inValue) {
            value += s;
        }
    }

    void startRow(const char* r) {
        if (r != nullptr) {
            const std::optional<std::int64_t> n = parseCount(r, kSheetRows);
            if (!n || *n < 1 || *n > kSheetRows) {
                fail("row " + std::string(r) + " is outside the sheet " + kBounds);
                return;
            }
            row = static_cast<int>(*n);
        } else if (lastRow == kSheetRows) {
            fail("a row after row 1048576 is outside the sheet " + kBounds);
            return;
        } else {
            row = lastRow + 1;
        }
        lastRow = row;
        inRow = true;
        cells.clear();
        rowProblems.clear();
        nextColumn = 0;
    }

    void startCell(const char* r, const char* t, const char* s) {
        if (r != nullptr) {
            // Letters, then the row's digits.
            const std::string_view ref(r);
            std::size_t letters = 0;
            std::int64_t at = 0;
            while (letters < ref.size() && std::isalpha(static_cast<unsigned char>(ref[letters]))) {
                at = std::min<std::int64_t>(
                    at * 26 + (std::toupper(static_cast<unsigned char>(ref[letters])) - 'A' + 1),
                    kSheetColumns + 1);
                ++letters;
            }
            const std::optional<std::int64_t> rowPart = parseCount(ref.substr(letters), kSheetRows);
            if (letters == 0 || !rowPart) {
                fail("\"" + std::string(ref) + "\" in row " + std::to_string(row) +
                     " is no cell reference");
                return;
            }
            if (at > kSheetColumns || *rowPart < 1 || *rowPart > kSheetRows) {
                fail("cell reference " + std::string(ref) + " is outside the sheet " + kBounds);
                return;
            }
            column = static_cast<int>(at - 1);
        } else if (nextColumn >= kSheetColumns) {
            fail("a cell after column XFD in row " + std::to_string(row) +
                 " is outside the sheet " + kBounds);
            return;
        } else {
            column = nextColumn;
        }
        inCell = true;
        type = t != nullptr ? t : "n";
        style = static_cast<int>(parseCount(s != nullptr ? s : "0", 1 << 30).value_or(0));
        hasFormula = false;
        hasValue = false;
        value.clear();
        inValue = false;
        inInline = false;
        phonetic = 0;
    }

    void endCell() {
        inCell = false;
        nextColumn = column + 1;
        if (width >= 0 && column >= width) {
            return;  // no column names it
        }
        std::optional<CellProblem::Kind> problem;
        std::string text;
        if (hasFormula && (type == "str" ? !hasValue : value.empty())) {
            problem = CellProblem::Kind::NoStoredResult;
        } else if (type == "s") {
            const std::optional<std::int64_t> index =
                parseCount(value, static_cast<std::int64_t>(shared->size()));
            if (!index || *index >= static_cast<std::int64_t>(shared->size())) {
                fail("cell " + columnName(column) + std::to_string(row) +
                     " refers to a shared string the workbook does not hold (\"" + value + "\")");
                return;
            }
            text = shared->at(static_cast<std::size_t>(*index));
        } else if (type == "b") {
            text = value == "1" ? "TRUE" : value == "0" ? "FALSE" : value;
            problem = CellProblem::Kind::Logical;
        } else if (type == "e") {
            text = value;
            problem = CellProblem::Kind::Error;
        } else if (type == "d") {
            text = value;  // an ISO 8601 date and time
            problem = CellProblem::Kind::Date;
        } else {
            // A number, an inline string, a formula's text result.
            text = value;
            if (type == "n" && static_cast<std::size_t>(style) < dateStyles->size() &&
                (*dateStyles)[static_cast<std::size_t>(style)]) {
                problem = CellProblem::Kind::Date;
            }
        }
        if (text.empty() && problem != CellProblem::Kind::NoStoredResult) {
            return;  // an empty cell, a formatted one, say
        }
        cells.emplace_back(column, std::move(text));
        if (problem) {
            rowProblems.push_back({row, column, *problem});
        }
    }

    // Writes the row's record, as wide as the header: the cells are kept as they come, so that
    // the empty ones between them cost no more than their commas.
    void endRow() {
        inRow = false;
        if (cells.empty()) {
            return;
        }
        // A cell given twice counts as written last.
        std::stable_sort(cells.begin(), cells.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        if (width < 0) {
            width = cells.back().first + 1;
        }
        const std::size_t before = out->csv.size();
        int commas = 0;  // the commas written, one before each field after the first
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i + 1 < cells.size() && cells[i + 1].first == cells[i].first) {
                continue;
            }
            out->csv.append(static_cast<std::size_t>(cells[i].first - commas), ',');
            commas = cells[i].first;
            appendCsvField(out->csv, cells[i].second);
        }
        out->csv.append(static_cast<std::size_t>(width - 1 - commas), ',');
        out->csv += '\n';
        const auto lines = std::count(out->csv.begin() + static_cast<std::ptrdiff_t>(before),
                                      out->csv.end(), '\n');
        out->rowOfLine.insert(out->rowOfLine.end(), static_cast<std::size_t>(lines), row);
        out->problems.insert(out->problems.end(), rowProblems.begin(), rowProblems.end());
        if (out->csv.size() > kMaxWorkbookPartBytes) {
            fail("its cells come to more than " + std::string(kPartLimitText) + " of text");
        }
    }
};

}  // namespace

bool isWorkbookPath(const std::string& path) {
    if (path.size() < 5) {
        return false;
    }
    std::string end = path.substr(path.size() - 5);
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".xlsx";
}

std::vector<std::string> workbookSheetNames(const std::string& path, std::string& error) {
    int code = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(path.c_str(), ZIP_RDONLY, &code), &zip_discard);
    if (!archive) {
        error = "not an .xlsx workbook (not a zip archive)";
        return {};
    }
    SheetList list;
    std::string why;
    if (parsePart(archive.get(), "xl/workbook.xml", list, why) != Parsed::Done ||
        list.sheets.empty()) {
        error = why.empty() ? "not an .xlsx workbook (no sheet list)" : why;
        return {};
    }
    std::vector<std::string> names;
    for (const auto& sheet : list.sheets) {
        names.push_back(sheet.first);
    }
    return names;
}

std::optional<WorkbookSheet> workbookSheetAsCsv(const std::string& path, const std::string& sheet,
                                                std::string& error) {
    int code = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(path.c_str(), ZIP_RDONLY, &code), &zip_discard);
    if (!archive) {
        error = "not an .xlsx workbook (not a zip archive)";
        return std::nullopt;
    }
    SheetList list;
    Relationships relationships;
    std::string why;
    if (parsePart(archive.get(), "xl/workbook.xml", list, why) != Parsed::Done ||
        parsePart(archive.get(), "xl/_rels/workbook.xml.rels", relationships, why) !=
            Parsed::Done ||
        list.sheets.empty()) {
        error = why.empty() ? "not an .xlsx workbook (no sheet list)" : why;
        return std::nullopt;
    }
    const auto chosen = sheet.empty()
                            ? list.sheets.begin()
                            : std::find_if(list.sheets.begin(), list.sheets.end(),
                                           [&](const auto& s) { return s.first == sheet; });
    if (chosen == list.sheets.end()) {
        error = "the workbook has no sheet \"" + sheet + "\"";
        return std::nullopt;
    }
    const auto target = std::find_if(relationships.targets.begin(), relationships.targets.end(),
                                     [&](const auto& r) { return r.first == chosen->second; });
    if (target == relationships.targets.end()) {
        error = "the workbook does not say where sheet \"" + chosen->first + "\" is";
        return std::nullopt;
    }
    SharedStrings strings;
    Styles styles;
    if (parsePart(archive.get(), partPath(relationships.sharedStrings), strings, error) ==
            Parsed::Failed ||
        parsePart(archive.get(), partPath(relationships.styles), styles, error) == Parsed::Failed) {
        return std::nullopt;
    }
    const std::vector<bool> dateStyles = styles.dateStyles();
    WorkbookSheet result;
    Worksheet ws;
    ws.shared = &strings;
    ws.dateStyles = &dateStyles;
    ws.out = &result;
    const Parsed parsed = parsePart(archive.get(), partPath(target->second), ws, why);
    if (parsed != Parsed::Done) {
        error = "sheet \"" + chosen->first + "\" cannot be read" +
                (parsed == Parsed::Missing ? std::string(" (the workbook lacks it)") : ": " + why);
        return std::nullopt;
    }
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const CellProblem& a, const CellProblem& b) {
                         return a.row != b.row ? a.row < b.row : a.column < b.column;
                     });
    return result;
}

}  // namespace bx
