#pragma once
// Helpers of the log tests: typing replicates, starting a log on a chosen file and reading a
// table back row by row.

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "support/test_support.h"
#include "tables/record_field.h"

namespace bx::test {

// Replaces both grids' Data columns by these replicates.
void typeReplicates(MainWindow& w, const std::vector<std::string>& test,
                    const std::vector<std::string>& reference);

// The next file dialog answers OK on `folder` with `entry` typed.
void answerDialog(WindowFixture& f, const std::filesystem::path& folder, const std::string& entry);

// The non-empty fields of each row of a table, in file order.
using TableRow = std::map<std::string, std::string>;
template <std::size_t N>
std::vector<TableRow> readRows(const std::filesystem::path& path,
                               const std::array<RecordField, N>& fields);
std::vector<TableRow> readRowsByNames(const std::filesystem::path& path,
                                      const std::vector<std::string_view>& names);

template <std::size_t N>
std::vector<TableRow> readRows(const std::filesystem::path& path,
                               const std::array<RecordField, N>& fields) {
    std::vector<std::string_view> names;
    for (const RecordField& f : fields) {
        names.push_back(f.name);
    }
    return readRowsByNames(path, names);
}

}  // namespace bx::test
