#pragma once
// Reads a whole table back for comparisons: every row (blank ones too) as its fields' texts.

#include <filesystem>
#include <string>
#include <vector>

#include "tables/dbf_table.h"

namespace bx::cli::test {

struct TableRows {
    std::vector<std::string> fieldNames;
    std::vector<std::vector<std::string>> rows;
};

inline TableRows readTable(const std::filesystem::path& path) {
    TableRows t;
    DbfTable table;
    if (table.open(path.parent_path().string(), path.filename().string(), DbfOpenMode::ReadOnly)) {
        return t;
    }
    for (const DbfField& f : table.fields()) {
        t.fieldNames.push_back(f.name);
    }
    for (table.moveFirst(); !table.eof(); table.moveNext()) {
        std::vector<std::string> row;
        for (const std::string& name : t.fieldNames) {
            row.push_back(table.fieldText(name));
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

}  // namespace bx::cli::test
