// SPDX-License-Identifier: MIT
#include "tables/stat_tables.h"

#include <algorithm>

#include "base/text_format.h"
#include "tables/dbf_table.h"
#include "tables/table_manifest.h"

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

// Whether the table file `fileName` in `folder` is the one `manifest` lists: no error when it
// is, else why not.
TableError checkAgainstManifest(const std::string& folder, const std::string& fileName,
                                const std::vector<ManifestEntry>& manifest) {
    const std::string path = DbfTable::resolvePath(folder, fileName);
    if (path.empty()) {
        const std::string expected = folder + "/" + fileName;
        return makeFileError(kErrFileNotFound, expected, "no such file", expected);
    }
    const auto listed = std::find_if(manifest.begin(), manifest.end(), [&](const ManifestEntry& e) {
        return sameFieldName(e.fileName, fileName);
    });
    if (listed == manifest.end()) {
        return makeFileError(kErrPathFileAccess, path, "not listed in the table manifest",
                             path + " (not in the manifest)");
    }
    ManifestEntry found;
    if (TableError error = describeFile(path, found)) {
        return error;
    }
    if (found.size != listed->size || found.sha256 != listed->sha256) {
        return makeFileError(kErrPathFileAccess, path,
                             "changed since it was installed (its size or checksum differs)",
                             path + " (size or checksum differs from the manifest)");
    }
    return {};
}

StatTable readTable(const std::string& folder, const StatTableLayout& layout,
                    const std::vector<ManifestEntry>* manifest) {
    StatTable table;
    table.fileName = std::string(layout.name) + ".dbf";
    if (manifest != nullptr) {
        table.error = checkAgainstManifest(folder, table.fileName, *manifest);
        if (table.error) {
            table.index();
            return table;
        }
    }
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
    indexWholeKeys();
}

std::shared_ptr<const StatTables> StatTables::load(const std::string& programFolder) {
    auto tables = std::make_shared<StatTables>();
    std::vector<ManifestEntry> manifest;
    const TableError manifestError = readTableManifest(programFolder, manifest);
    std::vector<std::string> damaged;
    for (const StatTableLayout& layout : kStatTableLayouts) {
        StatTable& table = tables->tables_[static_cast<std::size_t>(layout.id)];
        table = readTable(programFolder, layout, manifestError ? nullptr : &manifest);
        if (!table.readable()) {
            damaged.push_back(table.fileName);
        }
    }
    tables->indexWholeKeys();
    // The templates are checked too: a damaged one would make logs and sample files that cut
    // their values.
    std::vector<std::string> damagedTemplates;
    if (!manifestError) {
        for (const char* name : kTemplateFileNames) {
            if (checkAgainstManifest(programFolder, name, manifest)) {
                damagedTemplates.emplace_back(name);
            }
        }
    }
    if (!damaged.empty()) {
        std::string names;
        for (std::size_t i = 0; i < damaged.size(); ++i) {
            names += (i == 0 ? "" : i + 1 == damaged.size() ? " and " : ", ") + damaged[i];
        }
        tables->installationProblem_ =
            std::string("Statistical table") + (damaged.size() > 1 ? "s " : " ") + names +
            (damaged.size() > 1 ? " are" : " is") + " missing or damaged; reinstall Benthix";
    } else if (manifestError) {
        tables->installationProblem_ = std::string("The checksums of the statistical tables (") +
                                       kTableManifestName +
                                       ") are missing or damaged; reinstall Benthix";
    } else if (!damagedTemplates.empty()) {
        std::string names;
        for (std::size_t i = 0; i < damagedTemplates.size(); ++i) {
            names += (i == 0                             ? ""
                      : i + 1 == damagedTemplates.size() ? " and "
                                                         : ", ") +
                     damagedTemplates[i];
        }
        tables->installationProblem_ = std::string("Template") +
                                       (damagedTemplates.size() > 1 ? "s " : " ") + names +
                                       (damagedTemplates.size() > 1 ? " are" : " is") +
                                       " missing or damaged; reinstall Benthix";
    }
    return tables;
}

std::shared_ptr<const StatTables> StatTables::withRows(const StatTables& tables, StatTableId id,
                                                       std::vector<std::vector<std::string>> rows) {
    auto copy = std::make_shared<StatTables>(tables);
    StatTable& table = copy->tables_[static_cast<std::size_t>(id)];
    table.rows = std::move(rows);
    table.error = {};
    table.index();
    copy->indexWholeKeys();
    return copy;
}

void StatTables::indexWholeKeys() {
    for (const StatTableLayout& layout : kStatTableLayouts) {
        auto& rows = rowByWholeKey_[static_cast<std::size_t>(layout.id)];
        for (int key = 0; key < kIndexedKeys; ++key) {
            rows[static_cast<std::size_t>(key)] =
                table(layout.id).findRowIndex(formatNumber(key, "##"));
        }
    }
    for (int a = 0; a <= 20; ++a) {
        for (int b = 0; b <= 20; ++b) {
            rowOfUKey_[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)] =
                table(StatTableId::CritU)
                    .findRowIndex(formatNumber(a, "##") + "," + formatNumber(b, "##"));
        }
    }
}

int StatTables::rowOfWholeKey(StatTableId id, int key) const {
    if (key >= 0 && key < kIndexedKeys) {
        return rowByWholeKey_[static_cast<std::size_t>(id)][static_cast<std::size_t>(key)];
    }
    return table(id).findRowIndex(formatNumber(key, "##"));
}

std::optional<double> StatTables::valueAt(StatTableId id, int row, int column) const {
    if (row < 0 || column < 1) {
        return std::nullopt;
    }
    const std::vector<double>& values = table(id).numbers[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(column) >= values.size()) {
        return std::nullopt;
    }
    return values[static_cast<std::size_t>(column)];
}

bool StatTables::hasTLevel(double level) {
    return level == 0.25 || level == 0.2 || level == 0.1 || level == 0.05;
}

bool StatTables::hasULevel(double level) {
    return level == 0.1 || level == 0.05;
}

bool StatTables::hasWLevel(double level) {
    return level == 0.01 || level == 0.02 || level == 0.05 || level == 0.1;
}

std::optional<double> StatTables::criticalT(int df, double twoSidedLevel) const {
    // Columns A0_25, A0_20, A0_10, A0_05 are value fields 1 to 4.
    const int column = twoSidedLevel == 0.25   ? 1
                       : twoSidedLevel == 0.2  ? 2
                       : twoSidedLevel == 0.1  ? 3
                       : twoSidedLevel == 0.05 ? 4
                                               : 0;
    return valueAt(StatTableId::CritT, rowOfWholeKey(StatTableId::CritT, df), column);
}

std::optional<double> StatTables::criticalU(int n1, int n2, double alpha) const {
    const int larger = n1 > n2 ? n1 : n2;
    const int smaller = n1 > n2 ? n2 : n1;
    int row = -1;
    if (smaller >= 0 && larger <= 20) {
        row = rowOfUKey_[static_cast<std::size_t>(larger)][static_cast<std::size_t>(smaller)];
    } else {
        row = table(StatTableId::CritU)
                  .findRowIndex(formatNumber(larger, "##") + "," + formatNumber(smaller, "##"));
    }
    // Columns A0_10, A0_05.
    const int column = alpha == 0.1 ? 1 : alpha == 0.05 ? 2 : 0;
    return valueAt(StatTableId::CritU, row, column);
}

std::optional<double> StatTables::criticalW(int n, double alpha) const {
    // Columns A0_01, A0_02, A0_05, A0_10.
    const int column = alpha == 0.01   ? 1
                       : alpha == 0.02 ? 2
                       : alpha == 0.05 ? 3
                       : alpha == 0.1  ? 4
                                       : 0;
    return valueAt(StatTableId::CritW, rowOfWholeKey(StatTableId::CritW, n), column);
}

std::optional<double> StatTables::shapiroWilkCoefficient(int n, int i) const {
    // Fields N2..N20 are value fields 1 to 19.
    const int column = n >= 2 && n <= 20 ? n - 1 : 0;
    return valueAt(StatTableId::CritW1, rowOfWholeKey(StatTableId::CritW1, i), column);
}

std::optional<double> StatTables::rankit(int n, int i) const {
    const int column = i >= 1 && i <= 20 ? i : 0;
    return valueAt(StatTableId::Rankit, rowOfWholeKey(StatTableId::Rankit, n), column);
}

std::optional<double> StatTables::powerPercent(double z) const {
    const int row = table(StatTableId::PowerT).findRowIndex(formatNumber(z, "######0.00"));
    return valueAt(StatTableId::PowerT, row, 1);
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
