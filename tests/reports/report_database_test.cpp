// The report table: re-created from its template with ten blank rows, its old content
// discarded, and the errors that go back to Clear All and the report command.

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
#include "tables/stat_tables.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

// A window whose program folder is a scratch copy holding the template result.dbf.
class ReportDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        const fs::path root =
            freshScratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
        program = root / "program";
        fs::create_directories(program);
        fs::copy_file(fs::path(programFolder()) / "result.dbf", program / "result.dbf");
        window = std::make_unique<MainWindow>(
            desktop, StartupFolders{program.string(), (root / "user").string()},
            StatTables::load(programFolder()));
    }

    // The rows of the report table, each its fields that are not blank.
    std::vector<TableRow> rows() const {
        return readRows(program / "reportr.dbf", kReportRecordFields);
    }

    ScriptedDesktop desktop;
    fs::path program;
    std::unique_ptr<MainWindow> window;
};

// An old report table with data rows and another layout is replaced by a fresh copy of the
// template with ten blank rows; a second call gives the same table; each posts its line.
TEST_F(ReportDatabase, FreshCopyOfTheTemplateWithTenBlankRows) {
    ASSERT_FALSE(DbfTable::create((program / "reportr.dbf").string(), {{"OLD", 'C', 8, 0}},
                                  {{"a"}, {"b"}, {"c"}}));
    const TableError e = InitReportDatabase(*window);
    ASSERT_FALSE(e) << e.description;
    EXPECT_EQ(rows(), std::vector<TableRow>(10));
    const auto bytes = readFileBytes(program / "reportr.dbf");
    ASSERT_FALSE(InitReportDatabase(*window));
    EXPECT_EQ(readFileBytes(program / "reportr.dbf").size(), bytes.size());
    EXPECT_EQ(rows(), std::vector<TableRow>(10));
    const auto all = statusLines(window->ui.Status);
    EXPECT_EQ(std::count(all.begin(), all.end(), "     Initializing Report Database..."), 2);
}

// A missing template (53, no table made), the table held open by another program (70, the
// table stays) and a template that lacks a field (3265, naming the first one missing).
TEST_F(ReportDatabase, ErrorsGiveTheirNumbers) {
    fs::rename(program / "result.dbf", program / "kept.dbf");
    EXPECT_EQ(InitReportDatabase(*window).number, kErrFileNotFound);
    EXPECT_FALSE(fs::exists(program / "reportr.dbf"));
    fs::rename(program / "kept.dbf", program / "result.dbf");

    ASSERT_FALSE(InitReportDatabase(*window));
    const auto before = fs::file_size(program / "reportr.dbf");
    std::ofstream(program / ".~lock.reportr.dbf#") << "user,host,1;";
    TableError e = InitReportDatabase(*window);
    EXPECT_EQ(e.number, kErrPermissionDenied);
    EXPECT_TRUE(e.isFileError());
    EXPECT_EQ(fs::file_size(program / "reportr.dbf"), before);
    fs::remove(program / ".~lock.reportr.dbf#");

    ASSERT_FALSE(DbfTable::create((program / "result.dbf").string(),
                                  {{"PROJECT", 'C', 254, 0}, {"SAMPID", 'C', 254, 0}}));
    e = InitReportDatabase(*window);
    EXPECT_EQ(e.number, kErrFieldNotFound);
    EXPECT_NE(e.description.find("SAMP_ALIAS"), std::string::npos);
}

}  // namespace
}  // namespace bx::test
