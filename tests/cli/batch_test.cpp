// benthix-cli batch: one line per comparison in input order, refusals, quoting, warnings and
// the progress bar. (Every byte of 18,000 comparisons with every option, threads, files and
// the command's refusals: the differential check.)
//
// Expected values: S1 = 10,11,12 against REF = 14,15,16 is the comparison of analyze_test.cpp
// (scipy.stats.ttest_ind t = -4.898979; the window rejects the null); the summary record
// shows means, SDs and counts as the leading number of the displayed text (11.0 -> 11).
// M1 = 10,10,10,10,30 against 20,20,20,20,40 fails Shapiro-Wilk (scipy.stats.shapiro W =
// 0.5093 on the residuals) with equal spreads, so Mann-Whitney runs and the four transformed
// fields read "N/A"; 5 - 5 = U(x1) of scipy.stats.mannwhitneyu is 4, the reference's 21.
#include <gtest/gtest.h>

#include "cli/cli_fixture.h"
#include "cli/csv.h"
#include "cli/exit_status.h"
#include "cli/progress_bar.h"

namespace bx::cli {
namespace {

using test::runInProcess;

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

TEST(BatchOutput, WarningsOfARunGoToStandardError) {
    const std::string input = "sample,value\n" + replicates("R", {"14", "15", "16"}) +
                              replicates("U", {"12 mg", "13", "14"});
    const auto r = runInProcess("batch-warning", {"batch", "-", "--reference", "R"}, input);
    EXPECT_EQ(r.status, kExitRan);
    EXPECT_NE(r.err.find("U: Warning: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\"12 mg\" is not wholly a number; it is read as 12."), std::string::npos)
        << r.err;
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
