// SPDX-License-Identifier: MIT
// A program folder whose statistical tables are missing or not as the build wrote them: the
// command line runs no analysis and says why.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "support/test_support.h"

namespace bx::cli {
namespace {

namespace fs = std::filesystem;

TEST(Installation, DamagedTablesRefuseAnalyzeAndBatch) {
    const char* kProblem = "Statistical table Crit_t.dbf is missing or damaged; reinstall Benthix";
    const struct {
        const char* name;
        void (*damage)(const fs::path& prog);
    } kCases[] = {
        {"removed", [](const fs::path& p) { fs::remove(p / "Crit_t.dbf"); }},
        {"truncated", [](const fs::path& p) { fs::resize_file(p / "Crit_t.dbf", 300); }},
        // One digit of one critical value changed.
        {"digit",
         [](const fs::path& p) {
             std::string bytes = bx::test::readFileBytes(p / "Crit_t.dbf");
             bytes.replace(bytes.find("2.179"), 5, "2.178");
             std::ofstream(p / "Crit_t.dbf", std::ios::binary) << bytes;
         }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = bx::test::freshScratch(std::string("install-") + c.name);
        bx::test::copyStatisticalTables(dir / "prog");
        c.damage(dir / "prog");
        const StartupFolders folders{(dir / "prog").string(), (dir / "user").string()};
        const auto run = [&](std::vector<std::string> args, const std::string& input,
                             std::string& err) {
            std::istringstream in(input);
            std::ostringstream out;
            std::ostringstream errStream;
            args.insert(args.begin(), "benthix-cli");
            const int status =
                runCommandLine(args, CliEnvironment{folders, in, out, errStream, false});
            err = errStream.str();
            return status;
        };
        std::string err;
        EXPECT_EQ(
            run({"analyze", "--test", "10,11,12", "--reference", "14,15,16", "--json"}, "", err),
            kExitRefused);
        EXPECT_NE(err.find(kProblem), std::string::npos) << err;
        const fs::path results = dir / "results.csv";
        EXPECT_EQ(run({"batch", "-", "--reference", "REF", "--output", results.string()},
                      "sample,value\nS,10\nS,11\nS,12\nREF,14\nREF,15\nREF,16\n", err),
                  kExitRefused);
        EXPECT_NE(err.find(kProblem), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(results));
    }
}

}  // namespace
}  // namespace bx::cli
