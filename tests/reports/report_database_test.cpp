// The report table: re-created from its template with ten blank rows, its old content
// discarded, and the errors that go back to Clear All and the report command.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/clearing.h"
#include "reports/report_database.h"
#include "reports/report_record.h"
#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/stat_tables.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

// A window whose program folder is a scratch copy holding the template result.dbf.
class ReportDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        root = freshScratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
        program = root / "program";
        user = root / "user";
        fs::create_directories(program);
        fs::copy_file(fs::path(programFolder()) / "result.dbf", program / "result.dbf");
        window =
            std::make_unique<MainWindow>(desktop, StartupFolders{program.string(), user.string()},
                                         StatTables::load(programFolder()));
    }

    std::vector<std::string> lines() const { return statusLines(window->ui.Status); }

    ScriptedDesktop desktop;
    fs::path root, program, user;
    std::unique_ptr<MainWindow> window;
};

// Rows of a report table, each row its 56 texts joined.
std::vector<std::string> rowsOf(const fs::path& folder) {
    DbfTable t;
    EXPECT_FALSE(t.open(folder.string(), "reportr.dbf", DbfOpenMode::ReadOnly));
    std::vector<std::string> rows;
    for (TableError e = t.moveFirst(); !e && !t.eof(); e = t.moveNext()) {
        std::string joined;
        for (const DbfField& f : t.fields()) {
            joined += t.fieldText(f.name) + "|";
        }
        rows.push_back(joined);
    }
    return rows;
}

std::string blankRow() {
    std::string joined;
    for (std::size_t i = 0; i < kReportRecordFields.size(); ++i) {
        joined += "|";
    }
    return joined;
}

TEST_F(ReportDatabase, FreshCopyOfTheTemplateWithTenBlankRows) {
    const TableError e = InitReportDatabase(*window);
    ASSERT_FALSE(e) << e.description;
    EXPECT_EQ(lines().back(), "     Initializing Report Database...");
    DbfTable t;
    ASSERT_FALSE(t.open(program.string(), "reportr.dbf", DbfOpenMode::ReadOnly));
    ASSERT_EQ(t.fields().size(), 56U);
    for (std::size_t i = 0; i < 56; ++i) {
        EXPECT_EQ(t.fields()[i].name, kReportRecordFields[i].name);
    }
    EXPECT_EQ(t.recordCount(), 10);
    EXPECT_EQ(rowsOf(program), std::vector<std::string>(10, blankRow()));
}

TEST_F(ReportDatabase, OldContentIsDiscardedAndTwoCallsEqualOne) {
    // An old report table with data rows and a different layout.
    ASSERT_FALSE(DbfTable::create((program / "reportr.dbf").string(), {{"OLD", 'C', 8, 0}},
                                  {{"a"}, {"b"}, {"c"}}));
    ASSERT_FALSE(InitReportDatabase(*window));
    const auto once = rowsOf(program);
    const auto sizeOnce = fs::file_size(program / "reportr.dbf");
    ASSERT_FALSE(InitReportDatabase(*window));
    EXPECT_EQ(rowsOf(program), once);
    EXPECT_EQ(fs::file_size(program / "reportr.dbf"), sizeOnce);
    EXPECT_EQ(once.size(), 10U);
    // Each call posts its own line.
    const auto all = lines();
    EXPECT_EQ(std::count(all.begin(), all.end(), "     Initializing Report Database..."), 2);
}

TEST_F(ReportDatabase, TableHeldOpenByAnotherProgramIsAFileError) {
    ASSERT_FALSE(InitReportDatabase(*window));
    const auto before = fs::file_size(program / "reportr.dbf");
    std::ofstream(program / ".~lock.reportr.dbf#") << "user,host,1;";
    const TableError e = InitReportDatabase(*window);
    EXPECT_EQ(e.number, kErrPermissionDenied);
    EXPECT_TRUE(e.isFileError());
    EXPECT_EQ(fs::file_size(program / "reportr.dbf"), before);
}

TEST_F(ReportDatabase, MissingTemplateIsFileNotFound) {
    fs::remove(program / "result.dbf");
    const TableError e = InitReportDatabase(*window);
    EXPECT_EQ(e.number, kErrFileNotFound);
    EXPECT_FALSE(fs::exists(program / "reportr.dbf"));
}

TEST_F(ReportDatabase, TemplateLackingAFieldIs3265) {
    ASSERT_FALSE(DbfTable::create((program / "result.dbf").string(),
                                  {{"PROJECT", 'C', 254, 0}, {"SAMPID", 'C', 254, 0}}));
    const TableError e = InitReportDatabase(*window);
    EXPECT_EQ(e.number, kErrFieldNotFound);
    EXPECT_NE(e.description.find("SAMP_ALIAS"), std::string::npos);
}

TEST_F(ReportDatabase, ReadOnlyProgramFolderKeepsTheTableInTheScratchFolder) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission checks do not fail for root";
    }
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
    const TableError e = InitReportDatabase(*window);
    fs::permissions(program, fs::perms::owner_all);
    ASSERT_FALSE(e) << e.description;
    EXPECT_FALSE(fs::exists(program / "reportr.dbf"));
    EXPECT_EQ(rowsOf(user), std::vector<std::string>(10, blankRow()));
}

}  // namespace
}  // namespace bx::test
