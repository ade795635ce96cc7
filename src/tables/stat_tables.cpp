#include "tables/stat_tables.h"

#include "app/text_format.h"
#include "tables/dbf_table.h"

namespace bx {
namespace {

std::string_view withoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool sameFieldName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto up = [](char c) {
            return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        };
        if (up(a[i]) != up(b[i])) {
            return false;
        }
    }
    return true;
}

StatTable readTable(const std::string& folder, const StatTableLayout& layout) {
    StatTable table;
    table.fileName = std::string(layout.name) + ".dbf";
    std::vector<std::string_view> fields{layout.keyField};
    for (std::size_t i = 0; i < layout.valueCount; ++i) {
        fields.push_back(layout.valueFields[i]);
    }

    DbfTable file;
    table.error = file.open(folder, table.fileName, DbfOpenMode::ReadOnly);
    if (!table.error) {
        table.error = file.requireFields(fields);
    }
    while (!table.error && !file.eof()) {
        std::vector<std::string> row(fields.size());
        for (std::size_t i = 0; i < fields.size() && !table.error; ++i) {
            table.error = file.readField(fields[i], row[i]);
        }
        if (!table.error) {
            table.rows.push_back(std::move(row));
            table.error = file.moveNext();
        }
    }
    if (table.error) {
        table.rows.clear();
    }
    table.index();
    return table;
}

}  // namespace

void StatTable::index() {
    numbers.clear();
    firstRowByKey_.clear();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<double> values;
        values.reserve(rows[r].size());
        for (const std::string& text : rows[r]) {
            values.push_back(leadingNumber(text));
        }
        numbers.push_back(std::move(values));
        if (!rows[r].empty()) {
            // emplace keeps the first row of a key, as a search in file order finds it
            firstRowByKey_.emplace(std::string(withoutTrailingBlanks(rows[r].front())),
                                   static_cast<int>(r));
        }
    }
}

int StatTable::findRowIndex(std::string_view key) const {
    const auto found = firstRowByKey_.find(std::string(withoutTrailingBlanks(key)));
    return found == firstRowByKey_.end() ? -1 : found->second;
}

const std::vector<std::string>* StatTable::findRow(std::string_view key) const {
    const int r = findRowIndex(key);
    return r < 0 ? nullptr : &rows[static_cast<std::size_t>(r)];
}

StatTables::StatTables() {
    for (const StatTableLayout& layout : kStatTableLayouts) {
        StatTable& t = tables_[static_cast<std::size_t>(layout.id)];
        t.fileName = std::string(layout.name) + ".dbf";
        t.error = makeTableError(kErrFileNotFound, t.fileName + " (tables not read)");
    }
}

std::shared_ptr<const StatTables> StatTables::load(const std::string& programFolder) {
    auto tables = std::make_shared<StatTables>();
    for (const StatTableLayout& layout : kStatTableLayouts) {
        tables->tables_[static_cast<std::size_t>(layout.id)] = readTable(programFolder, layout);
    }
    return tables;
}

std::vector<std::string> StatTables::unreadableFiles() const {
    std::vector<std::string> files;
    for (const StatTable& t : tables_) {
        if (!t.readable()) {
            files.push_back(t.fileName + ": " + t.error.description);
        }
    }
    return files;
}

int StatTables::columnOf(StatTableId id, std::string_view field) {
    const StatTableLayout& layout = statTableLayout(id);
    for (std::size_t i = 0; i < layout.valueCount; ++i) {
        if (sameFieldName(layout.valueFields[i], field)) {
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

}  // namespace bx
