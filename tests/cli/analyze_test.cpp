// SPDX-License-Identifier: MIT
// benthix-cli analyze: the printed results of one run of each output kind (the differential
// check pins every byte of many more), the options reaching the window, the answers to the
// override question, and the command line's own texts.
//
// Expected values of the statistics (all from scipy 1.10, python3-scipy, compared at the four
// decimals the window shows):
//   10,11,12 vs 14,15,16: scipy.stats.ttest_ind t = -4.898979 (shown as |t| 4.8990), df 4;
//     residuals -1,0,1,-1,0,1: scipy.stats.shapiro W = 0.853192 (shown 0.8532);
//     critical t: scipy.stats.t.ppf(0.95, 4) = 2.131847 (shown 2.132).
//   8,9,10 against 12: scipy.stats.ttest_1samp t = -5.196152 (shown -5.1962), df 2,
//     scipy.stats.t.ppf(0.95, 2) = 2.919986 (shown -2.920 for "x1 < x2"); 3 against 1 is not
//     balanced ("No ", as the window writes it).
//   10,10,10,10,30 vs 20,20,20,20,40: the residuals fail Shapiro-Wilk; with the override
//     accepted the Student's t is scipy.stats.ttest_ind t = -1.767767 (shown 1.7678), declined
//     Mann-Whitney decides.
// The golden files under tests/cli/golden hold these values as the tool prints them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli/analysis_options.h"
#include "cli/cli_fixture.h"
#include "cli/exit_status.h"
#include "cli/result_output.h"

namespace bx::cli {
namespace {

using test::runInProcess;

std::string golden(const std::string& name) {
    std::ifstream in(std::filesystem::path(BX_SOURCE_DIR) / "tests/cli/golden" / name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// {arguments, golden file}: the JSON and the readable output of a Student's t run, and the
// JSON of a one-sample run.
TEST(AnalyzeGolden, RunsPrintTheirGoldenFiles) {
    const struct {
        std::vector<std::string> args;
        const char* golden;
    } kRuns[] = {
        {{"--test", "10,11,12", "--reference", "14,15,16", "--json"}, "student_t.json"},
        {{"--test", "10,11,12", "--reference", "14,15,16"}, "student_t.txt"},
        {{"--test", "8,9,10", "--reference", "12", "--one-sample", "--json"}, "one_sample.json"},
    };
    for (const auto& run : kRuns) {
        std::vector<std::string> args = {"analyze"};
        args.insert(args.end(), run.args.begin(), run.args.end());
        const auto r = runInProcess("analyze-golden", args);
        EXPECT_EQ(r.status, kExitRan) << run.golden;
        EXPECT_EQ(r.out, golden(run.golden));
        EXPECT_EQ(r.err, "") << run.golden;
    }
}

TEST(AnalyzeOptions, ListsReachTheWindow) {
    // "x1 > x2" at 0.1 with 8,9,10 against 12,12,12: the one-sample critical value is
    // scipy.stats.t.ppf(0.9, 2) = 1.885618, and x1 lies below x2, so the null stands. The short
    // words and the window's captions name the same choices.
    for (const auto& [alternative, transform] :
         {std::pair<std::string, std::string>{"x1 > x2", "Sqr Root (x + .375)"},
          {"greater", "sqrt"}}) {
        const auto r =
            runInProcess("analyze-lists",
                         {"analyze", "--alternative", alternative, "--alpha", "0.1", "--transform",
                          transform, "--test", "8,9,10", "--reference", "12,12,12", "--json"});
        ASSERT_EQ(r.status, kExitRan) << r.err;
        const auto j = r.json();
        EXPECT_EQ(j["hypothesis"]["critical"], ">= 1.886");
        EXPECT_EQ(j["hypothesis"]["transform"], "Sqr Root (x + .375)");
        // sqrt(8.375) = 2.893959 shown with five decimals in the Transform column.
        EXPECT_EQ(j["transform_column"]["test"][0], "2.89396");
        EXPECT_EQ(j["hypothesis"]["accept_null"], "Yes");
    }
}

// Each comma-separated item is one cell; a cell that is not wholly a number refuses the run
// unless --lenient asks for the window's leading-number reading.
TEST(AnalyzeInput, CellsThatAreNotNumbers) {
    struct Row {
        std::string test;
        std::vector<std::string> options;
        int exit;
        std::string refusal;  // the JSON's refused.text, empty when it ran
    };
    const Row rows[] = {
        {"10,abc,12,11",
         {},
         kExitRefused,
         "Test sample (x1), row 2: \"abc\" is not a number. Data NOT analysed."},
        {"10,NA,12,11",
         {},
         kExitRefused,
         "Test sample (x1), row 2: \"NA\" is not a number. Data NOT analysed."},
        {"10,0x10,12",
         {},
         kExitRefused,
         "Test sample (x1), row 2: \"0x10\" is not a number. Data NOT analysed."},
        {"10,,12,11", {}, kExitRefused, "Sample Data entry incomplete."},  // an empty cell
        {"10, 11 ,1.2e1", {}, kExitRan, ""},
        {"10,11 mg,12", {"--lenient"}, kExitRan, ""},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args{"analyze",     "--test",   row.test,
                                      "--reference", "14,15,16", "--json"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        const auto r = runInProcess("analyze-cells", args);
        EXPECT_EQ(r.status, row.exit) << row.test;
        const auto refused = r.json()["result"]["refused"];
        EXPECT_EQ(r.err, row.refusal.empty() ? "" : "benthix-cli: refused: " + row.refusal + "\n");
        EXPECT_EQ(refused.is_null() ? "" : refused["text"].get<std::string>(), row.refusal);
        if (!refused.is_null() && row.refusal.find("not a number") != std::string::npos) {
            EXPECT_EQ(refused["code"], "not_a_number");
        }
    }
}

// The question goes to standard error; yes invokes the override (Student's t), no leaves the
// failed normality standing (Mann-Whitney).
TEST(AnalyzeOverride, TheAnswerDecidesTheTest) {
    for (const char* answer : {"yes", "no"}) {
        const auto r = runInProcess("analyze-override",
                                    {"analyze", "--override", answer, "--test", "10,10,10,10,30",
                                     "--reference", "20,20,20,20,40", "--json"});
        ASSERT_EQ(r.status, kExitRan);
        const auto j = r.json();
        const bool yes = *answer == 'y';
        EXPECT_EQ(j["normality"]["override"], yes ? "Invoked" : "Not Invoked");
        EXPECT_EQ(j["hypothesis"]["statistic"], yes ? "Student's t" : "Mann-Whitney");
        if (yes) {
            EXPECT_EQ(j["hypothesis"]["value"], "1.7678");
        }
        EXPECT_EQ(r.err,
                  "Normality Override: Data Failed Shapiro-Wilk test. Do you want to override "
                  "this conclusion of non-normality?\n");
    }
}

TEST(AnalyzeInput, CellTextsGoInUnchanged) {
    EXPECT_EQ(splitCellTexts("1,,3"), (std::vector<std::string>{"1", "", "3"}));
    EXPECT_EQ(splitCellTexts(" 1, 2"), (std::vector<std::string>{" 1", " 2"}));
    EXPECT_TRUE(splitCellTexts("").empty());
    // Text that is not UTF-8 still gives valid JSON.
    const auto r = runInProcess("analyze-bytes", {"analyze", "--test", "10\xff,11,12",
                                                  "--reference", "14,15,16", "--json"});
    EXPECT_NO_THROW((void)r.json());
}

// A wrong command line exits 2 with one line naming the option and where the help is, and
// nothing on standard output.
TEST(AnalyzeInput, WrongCommandLineExitsTwoWithOneLine) {
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"analyze", "--alternative", "x1 >= x2"}, "--alternative"},
        {{"analyze", "--transform", "cube"}, "--transform"},
        {{"analyze", "--unknown"}, "--unknown"},
        {{"batch", "s.csv"}, "--reference"},
    };
    for (const auto& [args, option] : rows) {
        const auto r = runInProcess("analyze-usage", args);
        EXPECT_EQ(r.status, kExitUsage) << r.err;
        const std::string tryLine = "\nTry 'benthix-cli " + args[0] + " --help'\n";
        ASSERT_GT(r.err.size(), tryLine.size());
        EXPECT_EQ(r.err.substr(r.err.size() - tryLine.size()), tryLine);
        EXPECT_EQ(r.err.find('\n'), r.err.size() - tryLine.size()) << r.err;
        EXPECT_NE(r.err.find(option), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    const auto help = runInProcess("analyze-help", {"analyze", "--help"});
    EXPECT_EQ(help.status, kExitRan);
    EXPECT_NE(help.out.find("Exit statuses:"), std::string::npos);
}

// 1, 2, 4 against 3, 5, 6, 7, 8, 9 is unbalanced (6 is not below twice 3) with N = 9: neither
// pre-test can be made at its level, so the typed result has no critical value for them (the
// panels keep showing -9999). Values whose SD is beyond the largest double are refused.
TEST(AnalyzeJson, UntestablePreTestsAndRefusedValues) {
    auto r = runInProcess("analyze-untestable",
                          {"analyze", "--test", "1,2,4", "--reference", "3,5,6,7,9,8", "--json"});
    auto j = r.json();
    EXPECT_TRUE(j["result"]["normality"]["critical_value"].is_null());
    EXPECT_TRUE(j["result"]["homoscedasticity"]["critical_value"].is_null());
    for (const auto& step : j["result"]["steps"]) {
        EXPECT_EQ(step["critical_value"].is_null(), step["outcome"] != "reject_null") << step;
    }
    EXPECT_EQ(j["homoscedasticity"]["critical"], ">= -9999.000");

    r = runInProcess("analyze-not-finite", {"analyze", "--test", "-1.7e308,1.7e308,-1.7e308",
                                            "--reference", "1,2,3", "--json"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.json()["result"]["refused"]["code"], "not_finite");
    EXPECT_TRUE(r.json()["result"]["test_summary"].is_null());
}

// The minimum significant difference as a share of the reference mean only where both are on
// the scale of the typed values: 100 * 1.740771 / 15 for 10,11,12 against 14,15,16 (the
// golden student_t.json), none after a square-root transformation.
TEST(AnalyzeJson, PercentMsdOnlyOnTheTypedScale) {
    auto r = runInProcess("analyze-pmsd",
                          {"analyze", "--test", "10,11,12", "--reference", "14,15,16", "--json"});
    EXPECT_NEAR(r.json()["result"]["pmsd"].get<double>(), 11.605138, 1e-6);
    r = runInProcess("analyze-pmsd-sqrt", {"analyze", "--test", "10,11,12", "--reference",
                                           "14,15,16", "--transform", "sqrt", "--json"});
    EXPECT_FALSE(r.json()["result"]["msd"].is_null());
    EXPECT_TRUE(r.json()["result"]["pmsd"].is_null())
        << "a transformed difference given as a share of the typed mean";
}

// The sentences of --explain say which side of its critical value each statistic is on:
// 10,11,12 against 14,15,16 (see above) and 7,18,18,8 against 13,17,12,19, whose Levene |t|
// on |x - mean| is 5 with df 6 (R t.test(var.equal = TRUE)), critical qt(0.95, 6) = 1.943.
TEST(AnalyzeExplain, SentencesSayWhichSideOfTheCriticalValue) {
    auto r = runInProcess(
        "explain-equal", {"analyze", "--test", "10,11,12", "--reference", "14,15,16", "--explain"});
    EXPECT_NE(
        r.out.find("Levene's t = 0 is below the critical 2.132 at alpha 0.1: equal variances."),
        std::string::npos)
        << r.out;
    r = runInProcess("explain-unequal",
                     {"analyze", "--test", "7,18,18,8", "--reference", "13,17,12,19", "--explain"});
    EXPECT_NE(r.out.find("Levene's t = 5 reaches the critical"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace bx::cli
