// benthix-cli analyze with the file commands: each FILE comes back through the file dialog,
// so the window's name rules apply, and a command that fails makes the exit status 1.
#include <gtest/gtest.h>

#include "cli/cli_fixture.h"
#include "cli/cli_process.h"
#include "cli/dbf_reading.h"
#include "cli/exit_status.h"

namespace bx::cli {
namespace {

using test::readTable;
using test::runInProcess;

bool hasLine(const nlohmann::ordered_json& status, const std::string& line) {
    for (const auto& s : status) {
        if (s == line) {
            return true;
        }
    }
    return false;
}

// Everything but the status list.
nlohmann::ordered_json panels(nlohmann::ordered_json j) {
    j.erase("status");
    return j;
}

TEST(AnalyzeFiles, SaveThenLoadGivesTheSameResults) {
    const std::filesystem::path work = bx::test::freshScratch("analyze-save-load");
    const std::string file = (work / "pair.dbf").string();
    const auto saved =
        runInProcess("analyze-save", {"analyze", "--test", "10,11,12,11.5", "--reference",
                                      "14,15,16", "--save", file, "--json"});
    ASSERT_EQ(saved.status, kExitRan) << saved.err;
    EXPECT_TRUE(hasLine(saved.json()["status"], "Save of Sample Data to <" + file + "> complete."));
    const auto loaded = runInProcess("analyze-load", {"analyze", "--load", file, "--json"});
    ASSERT_EQ(loaded.status, kExitRan) << loaded.err;
    EXPECT_TRUE(hasLine(loaded.json()["status"], "Data Entry Loaded from file <" + file + ">."));
    EXPECT_EQ(panels(loaded.json()), panels(saved.json()));
}

TEST(AnalyzeFiles, NameRulesApplyAsInTheDialog) {
    const std::filesystem::path work = bx::test::freshScratch("analyze-names");
    const auto r = runInProcess(
        "analyze-names-cli", {"analyze", "--test", "10,11,12", "--reference", "14,15,16", "--save",
                              (work / "longfilename.dbf").string(), "--json"});
    EXPECT_EQ(r.status, kExitRan);
    EXPECT_TRUE(std::filesystem::exists(work / "longfile.dbf"));
    EXPECT_FALSE(std::filesystem::exists(work / "longfilename.dbf"));
    EXPECT_NE(r.err.find("Filename must be 8 characters or fewer - the filename you entered "
                         "will be truncated."),
              std::string::npos);
    EXPECT_TRUE(hasLine(r.json()["status"], "Save of Sample Data to <" +
                                                (work / "longfile.dbf").string() + "> complete."));
}

TEST(AnalyzeFiles, LogsGetTheRun) {
    const std::filesystem::path work = bx::test::freshScratch("analyze-logs");
    const auto r =
        runInProcess("analyze-logs-cli", {"analyze", "--test", "10,11,12", "--reference",
                                          "14,15,16", "--detailed-log", (work / "det.dbf").string(),
                                          "--summary-log", (work / "sum.dbf").string(), "--json"});
    EXPECT_EQ(r.status, kExitRan) << r.err;
    const auto status = r.json()["status"];
    EXPECT_TRUE(hasLine(status, "     Saving to Log File..."));
    EXPECT_TRUE(hasLine(status, "     Saving to Summary Log File..."));
    const test::TableRows summary = readTable(work / "sum.dbf");
    ASSERT_EQ(summary.rows.size(), 2U);             // the blank row of a new log, then the run
    EXPECT_EQ(summary.rows[1][17], "Student's t");  // T_TYPE
    // The detailed log: blank row, 3 + 3 rows of the run, blank row.
    EXPECT_EQ(readTable(work / "det.dbf").rows.size(), 8U);
}

TEST(AnalyzeFiles, ReportWritesCsvAndWorkbookAndOpensNothing) {
    const std::filesystem::path work = bx::test::freshScratch("analyze-report");
    const auto r = runInProcess("analyze-report-cli",
                                {"analyze", "--test", "10,11,12", "--reference", "14,15,16",
                                 "--report", (work / "my report").string(), "--json"});
    EXPECT_EQ(r.status, kExitRan) << r.err;
    EXPECT_TRUE(std::filesystem::exists(work / "myreport.csv"));
    EXPECT_TRUE(std::filesystem::exists(work / "myreport.xlsx"));
    const auto status = r.json()["status"];
    EXPECT_TRUE(hasLine(
        status, "     Report workbook saved as <" + (work / "myreport.xlsx").string() + ">."));
    EXPECT_EQ(status.back(), "*** Report Complete.");
}

TEST(AnalyzeFiles, FailedCommandsExitOne) {
    const std::filesystem::path work = bx::test::freshScratch("analyze-file-fail");
    auto r = runInProcess("analyze-fail-load",
                          {"analyze", "--load", (work / "missing.dbf").string(), "--json"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_TRUE(hasLine(r.json()["status"], "*** Data NOT Loaded!"));

    // The log cannot start in a missing folder; the analysis still runs, as in the window.
    r = runInProcess("analyze-fail-log",
                     {"analyze", "--test", "10,11,12", "--reference", "14,15,16", "--summary-log",
                      (work / "no folder" / "s.dbf").string(), "--json"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_TRUE(hasLine(r.json()["status"], "Summary Log File NOT active."));
    EXPECT_EQ(r.json()["hypothesis"]["statistic"], "Student's t");

    r = runInProcess("analyze-fail-report",
                     {"analyze", "--test", "10,11", "--reference", "14,15,16", "--report",
                      (work / "r.csv").string(), "--json"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_FALSE(std::filesystem::exists(work / "r.csv"));
}

TEST(AnalyzeFiles, LoadExcludesTypedSamples) {
    const auto r =
        runInProcess("analyze-load-test", {"analyze", "--load", "x.dbf", "--test", "1,2,3"});
    EXPECT_EQ(r.status, kExitUsage);
}

}  // namespace
}  // namespace bx::cli
