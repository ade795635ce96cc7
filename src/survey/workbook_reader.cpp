#include "survey/workbook_reader.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "survey/csv.h"

namespace bx {
namespace {

// The whole of one member of the archive; std::nullopt when it is not there.
std::optional<std::string> member(zip_t* archive, const std::string& name) {
    zip_stat_t st;
    if (zip_stat(archive, name.c_str(), 0, &st) != 0) {
        return std::nullopt;
    }
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen(archive, name.c_str(), 0),
                                                            &zip_fclose);
    if (!file) {
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    zip_int64_t n = 0;
    while ((n = zip_fread(file.get(), buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    if (n < 0) {
        return std::nullopt;
    }
    return text;
}

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

// Runs expat over `xml` with element handlers and character data collected by `Handler`.
template <typename Handler>
bool parseXml(const std::string& xml, Handler& handler) {
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"),
                                                                        &XML_ParserFree);
    XML_SetUserData(parser.get(), &handler);
    XML_SetElementHandler(
        parser.get(),
        [](void* data, const char* name, const char** atts) {
            static_cast<Handler*>(data)->start(localName(name), atts);
        },
        [](void* data, const char* name) { static_cast<Handler*>(data)->end(localName(name)); });
    XML_SetCharacterDataHandler(parser.get(), [](void* data, const char* s, int len) {
        static_cast<Handler*>(data)->text(std::string_view(s, static_cast<std::size_t>(len)));
    });
    return XML_Parse(parser.get(), xml.data(), static_cast<int>(xml.size()), 1) != XML_STATUS_ERROR;
}

// xl/workbook.xml: the sheets' names and relationship ids in order.
struct SheetList {
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

// xl/_rels/workbook.xml.rels: the targets of the relationship ids.
struct Relationships {
    std::vector<std::pair<std::string, std::string>> targets;
    void start(std::string_view name, const char** atts) {
        if (name == "Relationship") {
            const char* id = attribute(atts, "Id");
            const char* target = attribute(atts, "Target");
            if (id != nullptr && target != nullptr) {
                targets.emplace_back(id, target);
            }
        }
    }
    void end(std::string_view) {}
    void text(std::string_view) {}
};

// xl/sharedStrings.xml: each <si>, its <t> texts joined (rich text has several runs); the
// phonetic runs (<rPh>) are left out.
struct SharedStrings {
    std::vector<std::string> strings;
    bool inText = false;
    int phonetic = 0;
    void start(std::string_view name, const char**) {
        if (name == "si") {
            strings.emplace_back();
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
        if (inText && !strings.empty()) {
            strings.back() += s;
        }
    }
};

// The column of a cell reference ("C12" is 2), or -1.
int columnOf(const char* reference) {
    int column = 0;
    bool letters = false;
    for (const char* p = reference; *p != '\0' && std::isalpha(static_cast<unsigned char>(*p));
         ++p) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(*p)) - 'A' + 1);
        letters = true;
    }
    return letters ? column - 1 : -1;
}

// A worksheet's cells, row by row, as CSV lines.
struct Worksheet {
    const std::vector<std::string>* shared = nullptr;
    std::string csv;
    int lastRow = 0;  // the last row written
    std::vector<std::string> cells;
    int row = 0;
    int column = 0;
    std::string type;
    std::string value;
    bool inValue = false;
    bool inInline = false;

    void start(std::string_view name, const char** atts) {
        if (name == "row") {
            const char* r = attribute(atts, "r");
            row = r != nullptr ? std::atoi(r) : lastRow + 1;
            cells.clear();
            column = 0;
        } else if (name == "c") {
            const char* r = attribute(atts, "r");
            const int at = r != nullptr ? columnOf(r) : -1;
            if (at >= 0) {
                column = at;
            }
            const char* t = attribute(atts, "t");
            type = t != nullptr ? t : "n";
            value.clear();
        } else if (name == "v") {
            inValue = true;
        } else if (name == "is") {
            inInline = true;
        } else if (name == "t" && inInline) {
            inValue = true;
        }
    }
    void end(std::string_view name) {
        if (name == "v" || name == "t") {
            inValue = false;
        } else if (name == "is") {
            inInline = false;
        } else if (name == "c") {
            std::string text = value;
            if (type == "s") {
                const auto index = static_cast<std::size_t>(std::atol(value.c_str()));
                text = shared != nullptr && index < shared->size() ? (*shared)[index] : "";
            }
            if (cells.size() <= static_cast<std::size_t>(column)) {
                cells.resize(static_cast<std::size_t>(column) + 1);
            }
            cells[static_cast<std::size_t>(column)] = std::move(text);
            ++column;
        } else if (name == "row") {
            while (lastRow + 1 < row) {
                csv += '\n';
                ++lastRow;
            }
            appendCsvRecord(csv, cells);
            lastRow = std::max(lastRow, row);
        }
    }
    void text(std::string_view s) {
        if (inValue) {
            value += s;
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

std::optional<std::string> workbookSheetAsCsv(const std::string& path, const std::string& sheet,
                                              std::string& error) {
    int code = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(path.c_str(), ZIP_RDONLY, &code), &zip_discard);
    if (!archive) {
        error = "not an .xlsx workbook (not a zip archive)";
        return std::nullopt;
    }
    const std::optional<std::string> workbook = member(archive.get(), "xl/workbook.xml");
    const std::optional<std::string> rels = member(archive.get(), "xl/_rels/workbook.xml.rels");
    SheetList list;
    Relationships relationships;
    if (!workbook || !rels || !parseXml(*workbook, list) || !parseXml(*rels, relationships) ||
        list.sheets.empty()) {
        error = "not an .xlsx workbook (no sheet list)";
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
    std::string memberName = target->second;
    if (!memberName.empty() && memberName.front() == '/') {
        memberName.erase(0, 1);
    } else {
        memberName = "xl/" + memberName;
    }
    SharedStrings strings;
    if (const std::optional<std::string> sst = member(archive.get(), "xl/sharedStrings.xml")) {
        parseXml(*sst, strings);
    }
    const std::optional<std::string> xml = member(archive.get(), memberName);
    Worksheet ws;
    ws.shared = &strings.strings;
    if (!xml || !parseXml(*xml, ws)) {
        error = "sheet \"" + chosen->first + "\" cannot be read";
        return std::nullopt;
    }
    return ws.csv;
}

}  // namespace bx
