// benthix-cli analyze: the printed results, the order in which options reach the window, the
// answers to the override question and the exit statuses.
//
// Expected values of the statistics (all from scipy 1.10, python3-scipy, compared at the four
// decimals the window shows):
//   10,11,12 vs 14,15,16: scipy.stats.ttest_ind t = -4.898979 (shown as |t| 4.8990), df 4;
//     residuals -1,0,1,-1,0,1: scipy.stats.shapiro W = 0.853192 (shown 0.8532);
//     critical t: scipy.stats.t.ppf(0.95, 4) = 2.131847 (shown 2.132).
//   8,9,10 against 12: scipy.stats.ttest_1samp t = -5.196152 (shown -5.1962), df 2,
//     scipy.stats.t.ppf(0.95, 2) = 2.919986 (shown -2.920 for "x1 < x2").
//   10,10,10,10,30 vs 20,20,20,20,40: scipy.stats.mannwhitneyu U(x1) = 4, so
//     U = 5 * 5 - 4 = 21 for the reference; with the override accepted the Student's t is
//     scipy.stats.ttest_ind t = -1.767767 (shown 1.7678).
// The golden files under tests/cli/golden hold these values as the tool prints them.
#include <gtest/gtest.h>

#include "cli/analysis_options.h"
#include "cli/cli_fixture.h"
#include "cli/cli_process.h"
#include "cli/exit_status.h"
#include "cli/result_output.h"

namespace bx::cli {
namespace {

using test::golden;
using test::runCli;
using test::runInProcess;

// The built program, end to end, against the golden files.
class AnalyzeGolden : public ::testing::Test {
  protected:
    std::filesystem::path work = bx::test::freshScratch("analyze-golden");
};

// {arguments, golden file, exit status}; refused entries exit 1 with the reason.
TEST_F(AnalyzeGolden, RunsPrintTheirGoldenFiles) {
    const struct {
        std::vector<std::string> args;
        const char* golden;
        int status;
    } kRuns[] = {
        {{"--test", "10,11,12", "--reference", "14,15,16", "--json"}, "student_t.json", kExitRan},
        {{"--test", "10,11,12", "--reference", "14,15,16"}, "student_t.txt", kExitRan},
        {{"--test", "8,9,10", "--reference", "12", "--one-sample", "--json"},
         "one_sample.json",
         kExitRan},
        {{"--test", "10,10,10,10,30", "--reference", "20,20,20,20,40", "--json"},
         "mann_whitney.json",
         kExitRan},
        {{"--test", "1,2", "--reference", "14,15,16", "--json"}, "refused.json", kExitRefused},
    };
    for (const auto& run : kRuns) {
        std::vector<std::string> args = {"analyze"};
        args.insert(args.end(), run.args.begin(), run.args.end());
        const auto r = runCli(args, work);
        EXPECT_EQ(r.status, run.status) << run.golden;
        EXPECT_EQ(r.out, golden(run.golden));
        EXPECT_EQ(r.err, "") << run.golden;
    }
}

TEST_F(AnalyzeGolden, VersionLine) {
    const auto r = runCli({"--version"}, work);
    EXPECT_EQ(r.status, kExitRan);
    EXPECT_EQ(r.out, std::string("benthix-cli ") + BX_VERSION + "\n");
}

TEST_F(AnalyzeGolden, WrongCommandLineExitsTwoWithUsage) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"analyse"},
             {"analyze", "--alpha", "0.01"},
             {"analyze", "--alternative", "x1 >= x2"},
             {"analyze", "--transform", "arcsin"},
             {"analyze", "--override", "maybe"},
             {"analyze", "--power-difference", "two"},
             {"analyze", "--test", "1,2,3,4,5,6,7,8,9,10,11"},
             {"analyze", "--unknown"},
         }) {
        const auto r = runCli(args, work);
        EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("Usage: benthix-cli"), std::string::npos)
            << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
    }
}

TEST(AnalyzeOptions, MenuSwitchesPostTheirLinesInOrderBeforeTheRun) {
    const auto r = runInProcess(
        "analyze-order", {"analyze", "--one-sample", "--power-difference", "2", "--override", "no",
                          "--test", "10,11,12", "--reference", "14,15,16", "--json"});
    ASSERT_EQ(r.status, kExitRan);
    const auto status = r.json()["status"];
    ASSERT_GE(status.size(), 5U);
    EXPECT_EQ(status[1], "Normality Override Option ON");
    EXPECT_EQ(status[2].get<std::string>().rfind("Power Calculation Option ON", 0), 0U);
    EXPECT_EQ(status[3], "1 Sample t-Test ON");
    EXPECT_EQ(status[4], "*** Executing Stats ...");
}

TEST(AnalyzeOptions, ListsReachTheWindow) {
    // "x1 > x2" at 0.1 with 8,9,10 against 12,12,12: the one-sample critical value is
    // scipy.stats.t.ppf(0.9, 2) = 1.885618, and x1 lies below x2, so the null stands.
    const auto r =
        runInProcess("analyze-lists", {"analyze", "--alternative", "x1 > x2", "--alpha", "0.1",
                                       "--transform", "Sqr Root (x + .375)", "--test", "8,9,10",
                                       "--reference", "12,12,12", "--json"});
    ASSERT_EQ(r.status, kExitRan);
    const auto j = r.json();
    EXPECT_EQ(j["hypothesis"]["critical"], ">= 1.886");
    EXPECT_EQ(j["hypothesis"]["transform"], "Sqr Root (x + .375)");
    // sqrt(8.375) = 2.893959 shown with five decimals in the Transform column.
    EXPECT_EQ(j["transform_column"]["test"][0], "2.89396");
    EXPECT_EQ(j["hypothesis"]["accept_null"], "Yes");
}

TEST(AnalyzeOverride, YesInvokesTheOverrideAndRunsStudentsT) {
    const auto r = runInProcess("analyze-override-yes",
                                {"analyze", "--override", "yes", "--test", "10,10,10,10,30",
                                 "--reference", "20,20,20,20,40", "--json"});
    ASSERT_EQ(r.status, kExitRan);
    const auto j = r.json();
    EXPECT_EQ(j["normality"]["override"], "Invoked");
    EXPECT_EQ(j["hypothesis"]["value"], "1.7678");
    EXPECT_EQ(r.err,
              "Normality Override: Data Failed Shapiro-Wilk test. Do you want to override this "
              "conclusion of non-normality?\n");
}

TEST(AnalyzeOverride, NoLeavesTheFailedNormalityStanding) {
    const auto r = runInProcess("analyze-override-no",
                                {"analyze", "--override", "no", "--test", "10,10,10,10,30",
                                 "--reference", "20,20,20,20,40", "--json"});
    ASSERT_EQ(r.status, kExitRan);
    const auto j = r.json();
    EXPECT_EQ(j["normality"]["override"], "Not Invoked");
    EXPECT_EQ(j["hypothesis"]["statistic"], "Mann-Whitney");
    EXPECT_NE(r.err.find("Normality Override: "), std::string::npos);
}

TEST(AnalyzeMessages, MessageBoxesGoToStandardError) {
    const auto r = runInProcess(
        "analyze-box", {"analyze", "--test", "10,11,12", "--reference", "14,15", "--json"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err,
              "Benthix: At least three reference values must be entered.  For a one-sample "
              "t-test, enter the same value three times.\n");
    const auto status = r.json()["status"];
    EXPECT_EQ(status[2], "Reference Data entry incomplete.");
}

TEST(AnalyzeInput, CellTextsGoInUnchanged) {
    // "1,,3": the empty second cell ends the sample after one value.
    const auto r =
        runInProcess("analyze-cells", {"analyze", "--test", "1,,3", "--reference", "4,5,6"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(splitCellTexts("1,,3"), (std::vector<std::string>{"1", "", "3"}));
    EXPECT_EQ(splitCellTexts(" 1, 2"), (std::vector<std::string>{" 1", " 2"}));
    EXPECT_TRUE(splitCellTexts("").empty());
}

TEST(AnalyzeInput, TextThatIsNotUtf8StillGivesValidJson) {
    const auto r = runInProcess("analyze-bytes", {"analyze", "--test", "10\xff,11,12",
                                                  "--reference", "14,15,16", "--json"});
    EXPECT_NO_THROW((void)r.json());
}

TEST(RunOutcome, RefusalIsTheLastLineBeforeTheClosingLine) {
    WindowState ui;
    ui.Status =
        "\r\nPower Calculation Option OFF\r\n*** Executing Stats ...\r\nInvalid Alpha "
        "Level Selected!\r\n*** Stats complete.";
    const RunOutcome o = lastRunOutcome(ui);
    EXPECT_FALSE(o.completed);
    EXPECT_EQ(o.reason, "Invalid Alpha Level Selected!");
    ui.txtTstStat.text = "Student's t";
    EXPECT_TRUE(lastRunOutcome(ui).completed);
}

}  // namespace
}  // namespace bx::cli
