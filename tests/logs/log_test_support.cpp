#include "logs/log_test_support.h"

#include <gtest/gtest.h>

#include "entry/grid.h"
#include "tables/dbf_table.h"

namespace bx::test {

void typeReplicates(MainWindow& w, const std::vector<std::string>& test,
                    const std::vector<std::string>& reference) {
    for (int row = 1; row < Grid::kRows; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        w.ui.Grid1.setCell(row, Grid::kDataCol, i < test.size() ? test[i] : "");
        w.ui.Grid2.setCell(row, Grid::kDataCol, i < reference.size() ? reference[i] : "");
    }
}

void answerDialog(WindowFixture& f, const std::filesystem::path& folder, const std::string& entry) {
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder.string(), "/", entry});
}

std::vector<TableRow> readRowsByNames(const std::filesystem::path& path,
                                      const std::vector<std::string_view>& names) {
    std::vector<TableRow> rows;
    DbfTable table;
    const TableError error =
        table.open(path.parent_path().string(), path.filename().string(), DbfOpenMode::ReadOnly);
    EXPECT_EQ(error.number, 0) << error.description;
    if (error) {
        return rows;
    }
    EXPECT_FALSE(table.requireFields(names)) << "a field is missing in " << path;
    for (table.moveFirst(); !table.eof(); table.moveNext()) {
        TableRow row;
        for (const std::string_view name : names) {
            std::string text = table.fieldText(name);
            if (!text.empty()) {
                row.emplace(std::string(name), std::move(text));
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace bx::test
