// benthix-cli batch: one line per comparison in input order, refusals, quoting, malformed
// input, threads.
//
// Expected values: S1 = 10,11,12 against REF = 14,15,16 is the comparison of analyze_test.cpp
// (scipy.stats.ttest_ind t = -4.898979; the window rejects the null); the summary record
// shows means, SDs and counts as the leading number of the displayed text (11.0 -> 11).
// M1 = 10,10,10,10,30 against 20,20,20,20,40 fails Shapiro-Wilk (scipy.stats.shapiro W =
// 0.5093 on the residuals) with equal spreads, so Mann-Whitney runs and the four transformed
// fields read "N/A"; 5 - 5 = U(x1) of scipy.stats.mannwhitneyu is 4, the reference's 21.
#include <gtest/gtest.h>

#include <cstdint>

#include "cli/cli_fixture.h"
#include "cli/csv.h"
#include "cli/cli_process.h"
#include "cli/exit_status.h"
#include "cli/progress_bar.h"

namespace bx::cli {
namespace {

using test::readFile;
using test::runCli;
using test::runInProcess;
using test::writeFile;

const std::string kHeader =
    "SAMPID,SAMP_ALIAS,SAMP_REPS,SAMP_STD,SAMP_MN,SAMP_T_STD,SAMP_T_MN,REFID,REF_ALIAS,"
    "REF_REPS,REF_STD,REF_MN,REF_T_STD,REF_T_MN,PASS_FAIL,W_PASSFAIL,L_PASSFAIL,T_TYPE,POWER,"
    "POWER_DIFF,STATUS\n";

// Each line cut to its first 21 fields: the summary record and STATUS (the typed columns that
// follow are checked in batch_typed_test.cpp).
std::string summaryPart(const std::string& text) {
    std::string out;
    for (const CsvRecord& record : parseCsv(text).records) {
        std::vector<std::string> fields = record.fields;
        fields.resize(std::min<std::size_t>(fields.size(), 21));
        appendCsvRecord(out, fields);
    }
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    const std::string cut = summaryPart(text);
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < cut.size()) {
        const std::size_t end = cut.find('\n', start);
        out.push_back(cut.substr(start, end - start));
        start = end == std::string::npos ? cut.size() : end + 1;
    }
    return out;
}

std::string replicates(const std::string& sample, const std::vector<std::string>& values) {
    std::string text;
    for (const std::string& v : values) {
        text += sample + "," + v + "\n";
    }
    return text;
}

TEST(BatchOutput, StudentsTLineAndRefusalsInInputOrder) {
    const std::string input =
        "sample,value\n" + replicates("S1", {"10", "11", "12"}) +
        replicates("REF", {"14", "15", "16"}) + replicates("\"Lake, north\"", {"1", "2"}) +
        replicates("BIG", std::vector<std::string>(11, "5")) + replicates("GAP", {"1", " ", "3"}) +
        replicates("S2", {"10", "11", "12"});
    const auto r = runInProcess("batch-basic", {"batch", "-", "--reference", "REF"}, input);
    EXPECT_EQ(r.status, kExitRefused);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 6U) << r.out;
    EXPECT_EQ(out[0] + "\n", kHeader);
    EXPECT_EQ(out[1], "S1,,3,1,11,1,11,REF,,3,1,15,1,15,No,Yes,Yes,Student's t,,,ok");
    EXPECT_EQ(out[2],
              "\"Lake, north\",,,,,,,REF,,,,,,,,,,,,,refused: Sample Data entry incomplete.");
    EXPECT_EQ(out[3], "BIG,,,,,,,REF,,,,,,,,,,,,,refused: Sample has 11 replicates; at most 10 "
                      "can be compared.");
    // GAP's blank value sits on line 22 of the input (header 1, S1 2-4, REF 5-7, Lake 8-9,
    // BIG 10-20, GAP 21-23).
    EXPECT_EQ(out[4], "GAP,,,,,,,REF,,,,,,,,,,,,,refused: Blank value on line 22.");
    // The batch goes on after the refusals.
    EXPECT_EQ(out[5], "S2,,3,1,11,1,11,REF,,3,1,15,1,15,No,Yes,Yes,Student's t,,,ok");
}

TEST(BatchOutput, MannWhitneyLogsNotApplicableTransformedFields) {
    const std::string input = "sample,value\n" + replicates("R", {"20", "20", "20", "20", "40"}) +
                              replicates("M1", {"10", "10", "10", "10", "30"});
    const auto r = runInProcess("batch-mw", {"batch", "-", "--reference", "R"}, input);
    EXPECT_EQ(r.status, kExitRan);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2U);
    // SD of 10,10,10,10,30: mean 14, squares 4 * 16 + 256 = 320, sqrt(320 / 4) = 8.944272,
    // shown "8.944"; means 14 and 24.
    EXPECT_EQ(out[1],
              "M1,,5,8.944,14,N/A,N/A,R,,5,8.944,24,N/A,N/A,No,No,Yes,Mann-Whitney,,,ok");
}

TEST(BatchOutput, OptionsApplyToEveryComparison) {
    // With the power option, POWER_DIFF carries the typed difference; the one-sample option
    // lets a single reference value through.
    const std::string input =
        "sample,value\n" + replicates("R", {"12"}) + replicates("A", {"8", "9", "10"});
    const auto r = runInProcess(
        "batch-options",
        {"batch", "-", "--reference", "R", "--one-sample", "--power-difference", "2"}, input);
    EXPECT_EQ(r.status, kExitRan);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2U);
    EXPECT_EQ(out[1].substr(0, out[1].find("1-Sample")), "A,,3,1,9,1,9,R,,1,0,12,0,12,No,N/A,N/A,");
    EXPECT_EQ(out[1].substr(out[1].size() - 5), ",2,ok");
}

TEST(BatchOutput, WarningsOfARunGoToStandardError) {
    const std::string input = "sample,value\n" + replicates("R", {"14", "15", "16"}) +
                              replicates("U", {"12 mg", "13", "14"});
    const auto r = runInProcess("batch-warning", {"batch", "-", "--reference", "R"}, input);
    EXPECT_EQ(r.status, kExitRan);
    EXPECT_NE(r.err.find("U: Warning: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\"12 mg\" is not wholly a number; it is read as 12."), std::string::npos)
        << r.err;
}

// Refused batches, each {input, reference, output (all lines after the header), error text}:
// an unknown reference refuses every comparison (its reason holds double quotes, so it is
// written in quotes with the inner ones doubled), a reference with too many replicates, and a
// malformed line that is named while nothing runs.
TEST(BatchRefusals, EveryRefusalExitsOne) {
    const std::string kNoZ =
        ",,,,,,,Z,,,,,,,,,,,,,\"refused: Reference sample \"\"Z\"\" is not in the input.\"\n";
    const struct {
        std::string input;
        const char* reference;
        std::string out;
        const char* err;
    } kCases[] = {
        {replicates("A", {"1", "2", "3"}) + replicates("B", {"4", "5", "6"}), "Z",
         kHeader + "A" + kNoZ + "B" + kNoZ, "\"Z\" is not in"},
        {replicates("R", std::vector<std::string>(12, "3")) + replicates("A", {"1", "2", "3"}), "R",
         kHeader + "A,,,,,,,R,,,,,,,,,,,,,refused: Reference sample has 12 replicates; at most 10 "
                   "can be compared.\n",
         ""},
        {"A,1\nA,2\"\nA,3\nR,1\nR,2\nR,4\n", "R", "", "-:3: malformed line: "},
    };
    for (const auto& c : kCases) {
        const auto r = runInProcess("batch-refused", {"batch", "-", "--reference", c.reference},
                                    "sample,value\n" + c.input);
        EXPECT_EQ(r.status, kExitRefused);
        EXPECT_EQ(summaryPart(r.out), c.out);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

TEST(BatchInput, QuotedFieldsAndOtherColumns) {
    // Columns in another order, quoted ids with commas and doubled quotes, CR LF line ends.
    const std::string input =
        "value,note,sample\r\n"
        "14,\"a, b\",\"Ref \"\"R\"\"\"\r\n15,,\"Ref \"\"R\"\"\"\r\n16,,\"Ref \"\"R\"\"\"\r\n"
        "10,,\"St. 1, upper\"\r\n11,,\"St. 1, upper\"\r\n12,,\"St. 1, upper\"\r\n";
    const auto r = runInProcess("batch-quotes", {"batch", "-", "--reference", "Ref \"R\""}, input);
    EXPECT_EQ(r.status, kExitRan) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2U);
    EXPECT_EQ(out[1],
              "\"St. 1, upper\",,3,1,11,1,11,\"Ref \"\"R\"\"\",,3,1,15,1,15,No,Yes,Yes,"
              "Student's t,,,ok");
}

// A survey of many comparisons over every decision path, made by a fixed generator.
std::string generatedSurvey(int samples) {
    std::uint32_t state = 12345;
    auto next = [&state]() {
        state = state * 1664525U + 1013904223U;
        return state >> 8;
    };
    std::string text = "sample,value\n" + replicates("REF", {"14", "15", "16", "15", "14"});
    for (int s = 0; s < samples; ++s) {
        const int n = 2 + static_cast<int>(next() % 9);  // 2 to 10 replicates
        const std::string id = "S" + std::to_string(s);
        for (int i = 0; i < n; ++i) {
            const int kind = s % 4;
            const double v = kind == 0   ? 10.0 + static_cast<double>(next() % 100) / 10.0
                             : kind == 1 ? (i == 0 ? 60.0 : 15.0)  // one outlier
                             : kind == 2 ? 7.0                     // all tied
                                         : static_cast<double>(next() % 1000) / 7.0;
            text += id + "," + std::to_string(v) + "\n";
        }
    }
    return text;
}

TEST(BatchJobs, ThreadsGiveByteIdenticalOutput) {
    const std::string input = generatedSurvey(400);
    const auto one = runInProcess("batch-jobs1", {"batch", "-", "--reference", "REF"}, input);
    const auto two =
        runInProcess("batch-jobs2", {"batch", "-", "--reference", "REF", "--jobs", "2"}, input);
    const auto three =
        runInProcess("batch-jobs3", {"batch", "-", "--reference", "REF", "--jobs", "3"}, input);
    ASSERT_EQ(lines(one.out).size(), 401U);
    EXPECT_EQ(one.out, two.out);
    EXPECT_EQ(one.out, three.out);
    EXPECT_EQ(one.err, two.err);
    EXPECT_EQ(one.status, two.status);
}

TEST(BatchJobs, BadJobCountIsAWrongCommandLine) {
    const auto r = runInProcess("batch-jobs0", {"batch", "-", "--reference", "R", "--jobs", "0"});
    EXPECT_EQ(r.status, kExitUsage);
    const auto m = runInProcess("batch-noref-opt", {"batch", "-"});
    EXPECT_EQ(m.status, kExitUsage);
}

TEST(BatchFiles, OutputFileMatchesStandardOutput) {
    const std::filesystem::path work = bx::test::freshScratch("batch-files");
    const std::string input = generatedSurvey(20);
    writeFile(work / "survey.csv", input);
    const auto toStdout = runCli({"batch", "survey.csv", "--reference", "REF"}, work);
    const auto toFile =
        runCli({"batch", "survey.csv", "--reference", "REF", "--output", "results.csv"}, work);
    EXPECT_EQ(toFile.status, toStdout.status);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(readFile(work / "results.csv"), toStdout.out);
    EXPECT_EQ(lines(toStdout.out).size(), 21U);
}

TEST(BatchFiles, UnreadableInputAndUnwritableOutput) {
    const std::filesystem::path work = bx::test::freshScratch("batch-badfiles");
    auto r = runCli({"batch", "missing.csv", "--reference", "R"}, work);
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("cannot read missing.csv"), std::string::npos);
    writeFile(work / "s.csv", "sample,value\nR,1\n");
    r = runCli({"batch", "s.csv", "--reference", "R", "--output", "no/such/folder/out.csv"}, work);
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("cannot write no/such/folder/out.csv"), std::string::npos);
}

// Runs a batch as if standard error were a terminal.
std::string progressOutput(int comparisons) {
    std::string input = "sample,value\n" + replicates("R", {"1", "2", "4"});
    for (int i = 0; i < comparisons; ++i) {
        input += replicates("S" + std::to_string(i), {"1", "2"});  // refused quickly
    }
    const std::filesystem::path scratch = bx::test::freshScratch("batch-progress");
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const CliEnvironment env{
        StartupFolders{bx::test::programFolder(), (scratch / "userdata").string()}, in, out, err,
        true};
    runCommandLine({"benthix-cli", "batch", "-", "--reference", "R"}, env);
    return err.str();
}

TEST(ProgressBar, ShownOnATerminalForLargeBatchesOnly) {
    const std::string large = progressOutput(301);
    EXPECT_NE(large.find("\r[                                        ]   0% 1/301"),
              std::string::npos);
    EXPECT_NE(large.find("\r[########################################] 100% 301/301\n"),
              std::string::npos);
    EXPECT_EQ(progressOutput(300).find('\r'), std::string::npos);
}

TEST(ProgressBar, RendersTheShareDone) {
    EXPECT_EQ(ProgressBar::render(5, 10), "[####################                    ]  50% 5/10");
    EXPECT_EQ(ProgressBar::render(1000, 1000),
              "[########################################] 100% 1000/1000");
    EXPECT_EQ(ProgressBar::render(0, 400), "[                                        ]   0% 0/400");
}

}  // namespace
}  // namespace bx::cli
