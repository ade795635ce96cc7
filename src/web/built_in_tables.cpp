// SPDX-License-Identifier: MIT
#include "web/built_in_tables.h"

#include <algorithm>
#include <vector>

#include "base/text_format.h"
#include "generator/generated_table.h"
#include "tables/stat_tables.h"

namespace bx::web {
namespace {

std::string_view withoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    return lowerTrimmed(a) == lowerTrimmed(b);
}

// The rows of `generated` in the field order of `layout`, each text as reading the written
// field gives it back; empty when a field of the layout is missing.
std::vector<std::vector<std::string>> rowsInLayout(const gen::GeneratedTable& generated,
                                                   const StatTableLayout& layout) {
    std::vector<std::string_view> names{layout.keyField};
    for (std::size_t i = 0; i < layout.valueCount; ++i) {
        names.push_back(layout.valueFields[i]);
    }
    std::vector<std::size_t> from;
    std::vector<bool> numeric;
    for (std::string_view name : names) {
        const auto f = std::find_if(generated.fields.begin(), generated.fields.end(),
                                    [&](const DbfFieldDef& d) { return sameName(d.name, name); });
        if (f == generated.fields.end()) {
            return {};
        }
        from.push_back(static_cast<std::size_t>(f - generated.fields.begin()));
        numeric.push_back(f->type == 'N');
    }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(generated.rows.size());
    for (const std::vector<std::string>& written : generated.rows) {
        std::vector<std::string> row;
        row.reserve(from.size());
        for (std::size_t i = 0; i < from.size(); ++i) {
            const std::string_view text =
                from[i] < written.size() ? std::string_view(written[from[i]]) : std::string_view();
            row.emplace_back(numeric[i] ? trimBlanks(text) : withoutTrailingBlanks(text));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

std::shared_ptr<const StatTables> builtInTables(const std::string& dataFolder) {
    std::string error;
    std::vector<gen::GeneratedTable> generated{gen::studentTTable(), gen::mannWhitneyTable(),
                                               gen::rankitTable(), gen::powerTable()};
    gen::GeneratedTable w = gen::shapiroWilkPercentagePointTable(
        dataFolder + "/shapiro_wilk_percentage_points.csv", error);
    if (error.empty()) {
        generated.push_back(std::move(w));
        gen::GeneratedTable w1 =
            gen::shapiroWilkCoefficientTable(dataFolder + "/shapiro_wilk_coefficients.csv", error);
        if (error.empty()) {
            generated.push_back(std::move(w1));
        }
    }
    std::shared_ptr<const StatTables> tables = std::make_shared<StatTables>();
    for (const StatTableLayout& layout : kStatTableLayouts) {
        const std::string fileName = std::string(layout.name) + ".dbf";
        const auto g = std::find_if(generated.begin(), generated.end(),
                                    [&](const auto& t) { return sameName(t.fileName, fileName); });
        if (g != generated.end()) {
            std::vector<std::vector<std::string>> rows = rowsInLayout(*g, layout);
            if (!rows.empty()) {
                tables = StatTables::withRows(*tables, layout.id, std::move(rows));
            }
        }
    }
    return tables;
}

}  // namespace bx::web
