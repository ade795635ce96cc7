// SPDX-License-Identifier: MIT
// benthix-cli analyze with the file commands: a saved file loads to the same results, and no
// file is cut, replaced or written over another. (The logs, the
// report and the failures of each command: pinned byte for byte by the differential check.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "cli/cli_fixture.h"
#include "cli/exit_status.h"

namespace bx::cli {
namespace {

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

// The files of one command line: names the window would change, outputs that exist, outputs
// that are the input or another output. Each row runs in a folder holding taken.dbf,
// r.xlsx and same.csv.
TEST(AnalyzeFiles, NoFileIsCutReplacedOrWrittenOverItsInput) {
    struct Row {
        std::vector<std::string> args;  // after "analyze" and, unless it loads, the entries
        int exit;
        std::string message;  // a part of standard error
        std::string created;  // a file that exists afterwards
    };
    const Row rows[] = {
        {{"--save", "survey_2024_a.dbf"},
         kExitUsage,
         "--save survey_2024_a.dbf: the window's name rules would make it \"survey_2.dbf\" (at "
         "most 8 characters before .dbf)",
         ""},
        {{"--save", "survey_2024_a.dbf", "--keep-long-names"}, kExitRan, "", "survey_2024_a.dbf"},
        {{"--report", "site north report.csv"}, kExitUsage, "the characters \" \" are dropped", ""},
        {{"--report", "site north report.csv", "--keep-long-names"},
         kExitRan,
         "",
         "site north report.csv"},
        {{"--save", "taken.dbf"}, kExitUsage, "--save taken.dbf: taken.dbf exists; --force", ""},
        {{"--save", "taken.dbf", "--force"}, kExitRan, "", "taken.dbf"},
        {{"--report", "r.csv"}, kExitUsage, "r.xlsx exists; --force replaces it", ""},
        {{"--detailed-log", "x.dbf", "--summary-log", "x.dbf", "--force"},
         kExitUsage,
         "--summary-log x.dbf: the same file as --detailed-log x.dbf",
         ""},
        {{"--load", "./taken.dbf", "--save", "taken.dbf", "--force"},
         kExitUsage,
         "--save taken.dbf: the same file as --load ./taken.dbf",
         ""},
        {{"--load", "survey_2024_a.dbf"},
         kExitUsage,
         "--load survey_2024_a.dbf: the window's name rules would make it \"survey_2.dbf\"",
         ""},
    };
    for (const Row& row : rows) {
        const std::filesystem::path work = bx::test::freshScratch("analyze-files");
        for (const char* name : {"taken.dbf", "r.xlsx", "same.csv"}) {
            std::ofstream(work / name) << "x";
        }
        std::vector<std::string> args{"analyze"};
        if (row.args[0] != "--load") {
            args.insert(args.end(), {"--test", "10,11,12", "--reference", "14,15,16"});
        }
        args.insert(args.end(), row.args.begin(), row.args.end());
        const std::filesystem::path here = std::filesystem::current_path();
        std::filesystem::current_path(work);
        const auto r = runInProcess("analyze-files-cli", args);
        std::filesystem::current_path(here);
        EXPECT_EQ(r.status, row.exit) << r.err;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        if (!row.created.empty()) {
            EXPECT_GT(std::filesystem::file_size(work / row.created), 1U) << row.created;
        }
        if (row.exit == kExitUsage) {
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(std::filesystem::file_size(work / "taken.dbf"), 1U);
        }
    }
    const std::filesystem::path work = bx::test::freshScratch("batch-files");
    std::ofstream(work / "same.csv") << "sample,value\nR,1\n";
    const auto r =
        runInProcess("batch-files-cli", {"batch", (work / "same.csv").string(), "--reference", "R",
                                         "--output", (work / "same.csv").string(), "--force"});
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.err.find("the same file as input"), std::string::npos) << r.err;
}

// A load of something that is not a regular file is refused at once, and a failed command
// names its file and cause.
TEST(AnalyzeFiles, FailuresNameTheFileAndTheCause) {
    const std::filesystem::path work = bx::test::freshScratch("analyze-fail");
    const std::string fifo = (work / "pipe.dbf").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto r = runInProcess("analyze-fail-cli", {"analyze", "--load", fifo});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err, "benthix-cli: cannot load " + fifo + ": not a regular file\n");
    r = runInProcess("analyze-fail-cli",
                     {"analyze", "--test", "10,11,12", "--reference", "14,15,16", "--save",
                      (work / "nodir" / "a.dbf").string()});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("benthix-cli: --save " + (work / "nodir" / "a.dbf").string() +
                         " failed: folder missing (error 76)"),
              std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace bx::cli
