// benthix-cli analyze with the file commands: a saved file loads to the same results, and each
// FILE comes back through the file dialog, so the window's name rules apply. (The logs, the
// report and the failures of each command: pinned byte for byte by the differential check.)
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace bx::cli
