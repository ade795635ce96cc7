// SPDX-License-Identifier: MIT
// The report table: re-created from its template with ten blank rows, its old content
// discarded, in the folder the program may write (an installed program's per-user data folder,
// never beside its shared tables; a build tree's program folder), and the errors that go back
// to Clear All and the report command.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/clearing.h"
#include "app/main_window.h"
#include "reports/report_database.h"
#include "reports/report_record.h"
#include "support/test_support.h"
#include "tables/dbf_table.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

// A program folder laid out as installed (prefix/share/benthix holding the template
// result.dbf), and windows started on it with a data folder of the test's choice.
class ReportTable : public ::testing::Test {
  protected:
    void SetUp() override {
        root = freshScratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
        shared = root / "usr" / "share" / "benthix";
        fs::create_directories(shared);
        fs::copy_file(fs::path(programFolder()) / "result.dbf", shared / "result.dbf");
    }

    // An empty data folder is a build tree's: the table goes to the program folder.
    std::unique_ptr<MainWindow> window(const fs::path& data = {}) {
        return std::make_unique<MainWindow>(
            desktop,
            StartupFolders{shared.string(), (root / "Documents" / "Benthix").string(),
                           data.string()},
            sharedGeneratedTables());
    }

    // The rows of the report table in `folder`, each its fields that are not blank.
    static std::vector<TableRow> rows(const fs::path& folder) {
        return readRows(folder / "reportr.dbf", kReportRecordFields);
    }

    ScriptedDesktop desktop;
    fs::path root, shared;
};

// An old report table with data rows and another layout is replaced by a fresh copy of the
// template with ten blank rows; a second call gives the same table; each posts its line.
TEST_F(ReportTable, FreshCopyOfTheTemplateWithTenBlankRows) {
    auto w = window();
    ASSERT_FALSE(DbfTable::create((shared / "reportr.dbf").string(), {{"OLD", 'C', 8, 0}},
                                  {{"a"}, {"b"}, {"c"}}));
    const TableError e = InitReportDatabase(*w);
    ASSERT_FALSE(e) << e.description;
    EXPECT_EQ(rows(shared), std::vector<TableRow>(10));
    const auto bytes = readFileBytes(shared / "reportr.dbf");
    ASSERT_FALSE(InitReportDatabase(*w));
    EXPECT_EQ(readFileBytes(shared / "reportr.dbf"), bytes);
    const auto all = statusLines(w->ui.Status);
    EXPECT_EQ(std::count(all.begin(), all.end(), "     Initializing Report Database..."), 2);
}

// A missing template (53, no table made), the table held open by another program (70, the
// table stays) and a template that lacks a field (3265, naming the first one missing).
TEST_F(ReportTable, ErrorsGiveTheirNumbers) {
    auto w = window();
    fs::rename(shared / "result.dbf", shared / "kept.dbf");
    EXPECT_EQ(InitReportDatabase(*w).number, kErrFileNotFound);
    EXPECT_FALSE(fs::exists(shared / "reportr.dbf"));
    fs::rename(shared / "kept.dbf", shared / "result.dbf");

    ASSERT_FALSE(InitReportDatabase(*w));
    const auto before = readFileBytes(shared / "reportr.dbf");
    std::ofstream(shared / ".~lock.reportr.dbf#") << "user,host,1;";
    TableError e = InitReportDatabase(*w);
    EXPECT_EQ(e.number, kErrPermissionDenied);
    EXPECT_TRUE(e.isFileError());
    EXPECT_EQ(readFileBytes(shared / "reportr.dbf"), before);
    fs::remove(shared / ".~lock.reportr.dbf#");

    ASSERT_FALSE(DbfTable::create((shared / "result.dbf").string(),
                                  {{"PROJECT", 'C', 254, 0}, {"SAMPID", 'C', 254, 0}}));
    e = InitReportDatabase(*w);
    EXPECT_EQ(e.number, kErrFieldNotFound);
    EXPECT_NE(e.description.find("SAMP_ALIAS"), std::string::npos);
}

// An installed program makes its data folder and keeps the table there, also through Clear
// All; the shared folder is writable here (as it is for root) and still untouched. A data
// folder that cannot be made (a file where a parent folder should be) falls back to the
// scratch folder.
TEST_F(ReportTable, AnInstalledProgramWritesItInItsDataFolder) {
    const fs::path data = root / "home" / ".local" / "share" / "benthix";
    auto w = window(data);
    const TableError e = InitReportDatabase(*w);
    ASSERT_FALSE(e) << e.description;
    EXPECT_EQ(rows(data).size(), 10U);
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 1);
    EXPECT_FALSE(fs::exists(root / "Documents" / "Benthix" / "reportr.dbf"));

    const fs::path cleared = root / "data" / "benthix";
    auto other = window(cleared);
    mnuClearAll_Click(*other);
    EXPECT_EQ(rows(cleared).size(), 10U);
    EXPECT_EQ(statusLines(other->ui.Status).back(), "Values Reset/Cleared");

    std::ofstream(root / "blocked") << "not a folder";
    auto blocked = window(root / "blocked" / "benthix");
    ASSERT_FALSE(InitReportDatabase(*blocked));
    EXPECT_EQ(rows(root / "Documents" / "Benthix").size(), 10U);
    EXPECT_FALSE(fs::exists(shared / "reportr.dbf"));
}

}  // namespace
}  // namespace bx::test
