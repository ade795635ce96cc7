// benthix-cli under hostile input: formulas in spreadsheet cells, numbers and names that would
// be taken wrongly, sample files whose counts disagree with their values, damaged templates,
// and the messages that say so.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_fixture.h"
#include "cli/exit_status.h"
#include "tables/dbf_table.h"

namespace bx::cli {
namespace {

namespace fs = std::filesystem;
using test::runInProcess;

// Ids a spreadsheet would run as formulas get an apostrophe in the results CSV, numbers keep
// their sign, and JSON lines keep the text.
TEST(Hardening, FormulaIdsAreDefusedInTheResultsCsv) {
    const std::string survey =
        "sample,value\n=cmd|' /C calc'!A0,1\n=cmd|' /C calc'!A0,2\n=cmd|' /C calc'!A0,4\n"
        "-x,5\n-x,6\n-x,9\nREF,7\nREF,8\nREF,10\n";
    auto r = runInProcess("hard-formula", {"batch", "-", "--reference", "REF"}, survey);
    EXPECT_NE(r.out.find("\n'=cmd|' /C calc'!A0,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n'-x,"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\n=cmd"), std::string::npos);
    // The summary log's fields: the difference of means is negative and stays a number.
    EXPECT_NE(r.out.find(",-"), std::string::npos);
    r = runInProcess("hard-formula", {"batch", "-", "--reference", "REF", "--format", "jsonl"},
                     survey);
    EXPECT_NE(r.out.find("\"sample\":\"=cmd|' /C calc'!A0\""), std::string::npos) << r.out;
}

TEST(Hardening, OptionsAndNamesRefusedWithExitTwo) {
    auto r = runInProcess("hard-options", {"analyze", "--test", "10,11,12", "--reference",
                                           "14,15,16", "--power-difference", "1e400"});
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.err.find("out of range: 1e400"), std::string::npos) << r.err;
    r = runInProcess("hard-options", {"analyse", "--test", "1"});
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.err.find("unknown subcommand \"analyse\""), std::string::npos) << r.err;
    r = runInProcess("hard-options", {"batch", "-", "--reference", "R", "--output", ""},
                     "sample,value\nR,1\n");
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.err.find("--output names no file"), std::string::npos) << r.err;
    // A value of 100,000 digits is named by its length, not echoed.
    r = runInProcess("hard-options", {"analyze", "--test", "1" + std::string(99999, '0') + ",2,3",
                                      "--reference", "4,5,6"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("a value of 100,000 characters is not a finite number"), std::string::npos)
        << r.err.substr(0, 300);
    EXPECT_LT(r.err.size(), 1000U);
}

// A sample file whose SAMP_REPS says 3 while it holds 10 test values loads all 10 with a
// warning; a value too long for its field is refused at save and nothing is written.
TEST(Hardening, SampleFilesKeepTheirValues) {
    const fs::path dir = bx::test::freshScratch("hard-sample");
    const std::string file = (dir / "s.dbf").string();
    const std::string ten = "10,11,12,13,14,15,16,17,18,19";
    auto r = runInProcess("hard-sample-cli",
                          {"analyze", "--test", ten, "--reference", ten, "--save", file});
    ASSERT_EQ(r.status, kExitRan) << r.err;
    {
        DbfTable table;
        ASSERT_FALSE(table.open(dir.string(), "s.dbf", DbfOpenMode::ReadWrite));
        ASSERT_FALSE(table.moveFirst());
        ASSERT_FALSE(table.writeField("SAMP_REPS", "3"));
        ASSERT_FALSE(table.store());
    }
    r = runInProcess("hard-sample-cli", {"analyze", "--load", file, "--json"});
    EXPECT_EQ(r.status, kExitRan) << r.err;
    EXPECT_NE(r.err.find("holds 10 test values, but its SAMP_REPS says 3"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.json()["result"]["test_summary"]["n"], 10);

    const std::string longValue = "10." + std::string(300, '1');
    r = runInProcess("hard-sample-cli", {"analyze", "--test", longValue + ",11,12", "--reference",
                                         "14,15,16", "--save", (dir / "l.dbf").string()});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("field SAMPDATA, row 1 has 303 characters"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "l.dbf"));
    // A NUL inside a stored value refuses the load rather than cut the value.
    r = runInProcess("hard-sample-cli", {"analyze", "--test", "7.25,11,12", "--reference",
                                         "14,15,16", "--save", (dir / "n.dbf").string()});
    ASSERT_EQ(r.status, kExitRan) << r.err;
    std::string bytes = bx::test::readFileBytes(dir / "n.dbf");
    bytes.replace(bytes.find("7.25"), 4, std::string("7\0 25", 5));
    std::ofstream(dir / "n.dbf", std::ios::binary) << bytes;
    r = runInProcess("hard-sample-cli", {"analyze", "--load", (dir / "n.dbf").string()});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("field SAMPDATA of row 1 holds a NUL character"), std::string::npos)
        << r.err;
    // A dangling link is named as such.
    fs::create_symlink(dir / "gone.dbf", dir / "link.dbf");
    r = runInProcess("hard-sample-cli", {"analyze", "--test", "1,2,3", "--reference", "4,5,6",
                                         "--save", (dir / "link.dbf").string(), "--force"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("a symbolic link to a file that does not exist"), std::string::npos)
        << r.err;
}

// A template whose field width was changed is named by the installation check.
TEST(Hardening, ADamagedTemplateIsNamed) {
    const fs::path dir = bx::test::freshScratch("hard-template");
    bx::test::copyStatisticalTables(dir / "prog");
    std::string bytes = bx::test::readFileBytes(dir / "prog" / "sslogsum.dbf");
    bytes[32 + 16] = static_cast<char>(bytes[32 + 16] - 1);  // the first field's width
    std::ofstream(dir / "prog" / "sslogsum.dbf", std::ios::binary) << bytes;
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const CliEnvironment env{StartupFolders{(dir / "prog").string(), (dir / "user").string()}, in,
                             out, err, false};
    EXPECT_EQ(
        runCommandLine({"benthix-cli", "analyze", "--test", "1,2,3", "--reference", "4,5,6"}, env),
        kExitRefused);
    EXPECT_NE(err.str().find("Template sslogsum.dbf is missing or damaged"), std::string::npos)
        << err.str();
}

}  // namespace
}  // namespace bx::cli
