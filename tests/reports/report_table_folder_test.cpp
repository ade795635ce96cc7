// Where the report table is made: an installed program (a per-user data folder in its start-up
// folders) writes it there and never beside its shared tables, even when it could; a build
// tree keeps it in the program folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/clearing.h"
#include "app/main_window.h"
#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/stat_tables.h"

namespace bx::test {
namespace {

namespace fs = std::filesystem;

class ReportTableFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        root = freshScratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
        shared = root / "usr" / "share" / "benthix";
        fs::create_directories(shared);
        fs::copy_file(fs::path(programFolder()) / "result.dbf", shared / "result.dbf");
    }

    std::unique_ptr<MainWindow> window(const fs::path& data) {
        return std::make_unique<MainWindow>(
            desktop,
            StartupFolders{shared.string(), (root / "Documents" / "Benthix").string(),
                           data.string()},
            sharedGeneratedTables());
    }

    static int rowsIn(const fs::path& folder) {
        DbfTable t;
        if (t.open(folder.string(), "reportr.dbf", DbfOpenMode::ReadOnly)) {
            return -1;
        }
        return static_cast<int>(t.recordCount());
    }

    ScriptedDesktop desktop;
    fs::path root, shared;
};

TEST_F(ReportTableFolder, InstalledProgramMakesTheDataFolderAndKeepsTheTableThere) {
    const fs::path data = root / "home" / ".local" / "share" / "benthix";
    auto w = window(data);
    const TableError e = InitReportDatabase(*w);
    ASSERT_FALSE(e) << e.description;
    EXPECT_EQ(rowsIn(data), 10);
    // The shared folder is writable here (as it is for root), and still untouched.
    EXPECT_FALSE(fs::exists(shared / "reportr.dbf"));
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 1);
    EXPECT_FALSE(fs::exists(root / "Documents" / "Benthix" / "reportr.dbf"));
}

TEST_F(ReportTableFolder, DataFolderThatCannotBeMadeFallsBackToTheScratchFolder) {
    // A file where a parent folder should be: the data folder cannot exist, whoever runs this.
    fs::create_directories(root / "home");
    std::ofstream(root / "home" / ".local") << "not a folder";
    auto w = window(root / "home" / ".local" / "share" / "benthix");
    const TableError e = InitReportDatabase(*w);
    ASSERT_FALSE(e) << e.description;
    EXPECT_EQ(rowsIn(root / "Documents" / "Benthix"), 10);
    EXPECT_FALSE(fs::exists(shared / "reportr.dbf"));
}

TEST_F(ReportTableFolder, BuildTreeKeepsTheTableInTheProgramFolder) {
    auto w = window(fs::path());
    const TableError e = InitReportDatabase(*w);
    ASSERT_FALSE(e) << e.description;
    EXPECT_EQ(rowsIn(shared), 10);
}

TEST_F(ReportTableFolder, ClearAllOfAnInstalledProgramRemakesTheTableInTheDataFolder) {
    const fs::path data = root / "data" / "benthix";
    auto w = window(data);
    mnuClearAll_Click(*w);
    EXPECT_EQ(rowsIn(data), 10);
    EXPECT_FALSE(fs::exists(shared / "reportr.dbf"));
    EXPECT_EQ(statusLines(w->ui.Status).back(), "Values Reset/Cleared");
}

}  // namespace
}  // namespace bx::test
