// SPDX-License-Identifier: MIT
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
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "cli/cli_fixture.h"
#include "cli/exit_status.h"
#include "cli/progress_bar.h"
#include "survey/csv.h"
#include "tables/temp_files.h"

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
    EXPECT_EQ(out[3],
              "BIG,,,,,,,REF,,,,,,,,,,,,,refused: Sample has 11 replicates; at most 10 "
              "can be compared.");
    // GAP's blank value is missing and left out, which leaves too few values.
    EXPECT_EQ(out[4], "GAP,,,,,,,REF,,,,,,,,,,,,,refused: Sample Data entry incomplete.");
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
    EXPECT_EQ(out[1], "M1,,5,8.944,14,N/A,N/A,R,,5,8.944,24,N/A,N/A,No,No,Yes,Mann-Whitney,,,ok");
}

TEST(BatchOutput, WarningsOfARunGoToStandardError) {
    const std::string input = "sample,value\n" + replicates("R", {"14", "15", "16"}) +
                              replicates("U", {"12 mg", "13", "14"});
    const auto r =
        runInProcess("batch-warning", {"batch", "-", "--reference", "R", "--lenient"}, input);
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

// The value texts of one sample against R = 14,15,16 (lines 2-4); the sample's values are on
// lines 5 to 7.
TEST(BatchInput, ValueTextsAreNumbersMissingOrRefused) {
    struct Row {
        std::vector<std::string> values;
        std::vector<std::string> options;
        std::string status;  // STATUS, and the exit status
        int exit;
    };
    const Row rows[] = {
        {{"10", "11", "12", "abc"}, {}, "refused: row 8: \"abc\" is not a number", kExitRefused},
        {{"10", "0x10", "12"}, {}, "refused: row 6: \"0x10\" is not a number", kExitRefused},
        {{"10", "11", "\"88,5\""}, {}, "refused: row 7: \"88,5\" is not a number", kExitRefused},
        {{"10", "11", "12 mg"}, {}, "refused: row 7: \"12 mg\" is not a number", kExitRefused},
        {{"10", "11", "12", "NA"}, {}, "warning: 1 missing value left out", kExitRan},
        {{"10", "NaN", "11", "nan", "12"}, {}, "warning: 2 missing values left out", kExitRan},
        {{"10", "", "11", "12"}, {}, "warning: 1 missing value left out", kExitRan},
        {{"10", "11", "12 mg"},
         {"--lenient"},
         "warning: Test sample (x1), row 3: \"12 mg\" is not wholly a number; it is read as 12.",
         kExitRan},
        {{"10", "11", "\"12,0\""}, {"--decimal-comma"}, "ok", kExitRan},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args{"batch", "-", "--reference", "R"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        const auto r = runInProcess(
            "batch-values", args,
            "sample,value\n" + replicates("R", {"14", "15", "16"}) + replicates("S", row.values));
        const auto out = lines(r.out);
        ASSERT_EQ(out.size(), 2U) << r.out << r.err;
        EXPECT_EQ(parseCsv(out[1]).records.at(0).fields.at(20), row.status) << out[1];
        EXPECT_EQ(r.status, row.exit) << out[1];
    }
}

TEST(BatchInput, MissingAndBadReferenceValues) {
    const std::string tests = replicates("S", {"10", "11", "12"});
    auto r = runInProcess("batch-ref", {"batch", "-", "--reference", "R"},
                          "sample,value\n" + replicates("R", {"14", "nan", "15", "16"}) + tests);
    EXPECT_EQ(lines(r.out).at(1),
              "S,,3,1,11,1,11,R,,3,1,15,1,15,No,Yes,Yes,Student's t,,,"
              "warning: 1 missing reference value left out");
    EXPECT_EQ(r.status, kExitRan);
    r = runInProcess("batch-ref", {"batch", "-", "--reference", "R"},
                     "sample,value\n" + replicates("R", {"14", "x", "16"}) + tests);
    EXPECT_EQ(parseCsv(lines(r.out).at(1)).records.at(0).fields.at(20),
              "refused: reference row 3: \"x\" is not a number");
    EXPECT_EQ(r.status, kExitRefused);
}

// A spreadsheet's export where a comma is the decimal mark, and named columns and groups.
TEST(BatchInput, SeparatorsColumnsAndGroups) {
    const std::string student = "3,1,11,1,11,R,,3,1,15,1,15,No,Yes,Yes,Student's t,,,";
    auto r = runInProcess("batch-semicolon", {"batch", "-", "--reference", "R"},
                          "\xEF\xBB\xBFsample;value\r\nR;14,0\r\nR;15\r\nR;16\r\n"
                          "S;10,0\r\nS;11\r\nS;12\r\n");
    EXPECT_EQ(lines(r.out).at(1), "S,," + student + "ok");
    r = runInProcess(
        "batch-tab",
        {"batch", "-", "--reference", "R", "--sample-column", "Site", "--value-column", "Count"},
        "site\tcount\nR\t14\nR\t15\nR\t16\nS\t10\nS\t11\nS\t12\n");
    EXPECT_EQ(lines(r.out).at(1), "S,," + student + "ok") << r.err;
    // A tab given as itself, as a shell passes $'\t', even where commas outnumber tabs.
    r = runInProcess("batch-literal-tab", {"batch", "-", "--reference", "R", "--delimiter", "\t"},
                     "sample\tvalue\tnote, lab, batch\nR\t14\tx\nR\t15\tx\nR\t16\tx\n"
                     "S\t10\tx\nS\t11\tx\nS\t12\tx\n");
    EXPECT_EQ(lines(r.out).at(1), "S,," + student + "ok") << r.err;

    // Two endpoints pooled would make one sample of six values; by group they are two batches.
    const std::string endpoints =
        "sample,endpoint,value\n"
        "R,growth,14\nR,growth,15\nR,growth,16\nS,growth,10\nS,growth,11\nS,growth,12\n"
        "R,survival,14\nR,survival,15\nR,survival,16\nS,survival,10\nS,survival,11\n"
        "S,survival,12\n";
    r = runInProcess("batch-group", {"batch", "-", "--reference", "R", "--group", "endpoint"},
                     endpoints);
    EXPECT_EQ(r.status, kExitRan);
    ASSERT_EQ(lines(r.out).size(), 3U);
    EXPECT_EQ(lines(r.out)[0].substr(0, 16), "endpoint,SAMPID,");
    EXPECT_EQ(lines(r.out)[1].substr(0, 9), "growth,S,");
    EXPECT_EQ(lines(r.out)[2].substr(0, 11), "survival,S,");
    r = runInProcess("batch-pooled", {"batch", "-", "--reference", "R"}, endpoints);
    EXPECT_EQ(parseCsv(lines(r.out).at(1)).records.at(0).fields.at(20),
              "warning: rows 5 and 11 differ in column \"endpoint\"; reference rows 2 and 8 "
              "differ in column \"endpoint\"");
}

// A sample name longer than the log's field is cut there: the results are written, but the
// batch says so and does not claim success.
TEST(BatchOutput, AValueCutInTheLogIsAFailure) {
    const std::string longName(300, 'S');
    const std::filesystem::path scratch = bx::test::freshScratch("batch-cut-log");
    const auto r = runInProcess(
        "batch-cut",
        {"batch", "-", "--reference", "R", "--summary-log", (scratch / "s.dbf").string()},
        "sample,value\n" + replicates("R", {"14", "15", "16"}) +
            replicates(longName, {"10", "11", "12"}));
    EXPECT_EQ(r.status, kExitRefused)
        << "a batch whose log lost part of a value exited " << r.status;
    EXPECT_EQ(lines(r.out).at(1).substr(300),
              ",," + std::string("3,1,11,1,11,R,,3,1,15,1,15,No,Yes,Yes,Student's t,,,ok"));
    EXPECT_NE(r.err.find("Text too long for field SAMPID"), std::string::npos) << r.err;
}

// A results file that cannot be written (a full disk) is a failure that says why.
TEST(BatchOutput, AFullDiskIsAFailure) {
    const auto r = runInProcess(
        "batch-full",
        {"batch", "-", "--reference", "R", "--output", "/dev/full", "--force", "--quiet"},
        "sample,value\n" + replicates("R", {"14", "15", "16"}) +
            replicates("S", {"10", "11", "12"}));
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err,
              "benthix-cli: writing /dev/full failed: disk full (error 61), errno 28 (No "
              "space left on device)\n");
}

// A batch killed while it writes its results leaves the earlier results file as it was (a
// partial write could end inside a line, on a page boundary, with a number cut short); the
// temporary file it leaves has the form a later batch into the same folder removes once stale.
// A finished batch keeps the permissions of the file it replaced.
TEST(BatchOutput, AKilledBatchLeavesTheEarlierResults) {
    const std::filesystem::path work = bx::test::freshScratch("batch-killed");
    {
        std::ofstream survey(work / "survey.csv");
        survey << "sample,value\n" << replicates("R", {"14", "15", "16"});
        for (int i = 0; i < 200000; ++i) {
            survey << replicates("S" + std::to_string(i), {"10", "11", std::to_string(i % 7)});
        }
    }
    const std::filesystem::path results = work / "results.csv";
    std::ofstream(results) << "earlier results\n";
    std::filesystem::permissions(results, std::filesystem::perms(0640));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(BX_PROGRAM_DIR "/benthix-cli", "benthix-cli", "batch",
                (work / "survey.csv").c_str(), "--reference", "R", "--output", results.c_str(),
                "--force", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Until the temporary file beside the results has something in it.
    const auto temporary = [&work]() -> std::filesystem::path {
        for (const auto& entry : std::filesystem::directory_iterator(work)) {
            pid_t pid = 0;
            if (isTemporaryName(entry.path().filename().string(), pid) && entry.file_size() > 0) {
                return entry.path();
            }
        }
        return {};
    };
    std::filesystem::path temp;
    for (int waited = 0; (temp = temporary()).empty() && waited < 30000; ++waited) {
        ::usleep(1000);
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the batch ended before it was killed";
    EXPECT_EQ(bx::test::readFileBytes(results), "earlier results\n");
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.parent_path(), work);

    std::filesystem::last_write_time(
        temp, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(10));
    const auto r =
        runInProcess("batch-after-kill",
                     {"batch", "-", "--reference", "R", "--output", results.string(), "--force"},
                     "sample,value\n" + replicates("R", {"14", "15", "16"}) +
                         replicates("S", {"10", "11", "12"}));
    EXPECT_EQ(r.status, kExitRan) << r.err;
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_EQ(lines(bx::test::readFileBytes(results)).size(), 2U);
    EXPECT_EQ(std::filesystem::status(results).permissions(), std::filesystem::perms(0640));

    // Through a symbolic link the file it names is replaced, and the link stays.
    std::filesystem::create_symlink("results.csv", work / "link.csv");
    const auto linked = runInProcess(
        "batch-link",
        {"batch", "-", "--reference", "R", "--output", (work / "link.csv").string(), "--force"},
        "sample,value\n" + replicates("R", {"14", "15", "16"}) +
            replicates("S", {"10", "11", "12"}) + replicates("T", {"1", "2", "3"}));
    EXPECT_EQ(linked.status, kExitRan) << linked.err;
    EXPECT_TRUE(std::filesystem::is_symlink(work / "link.csv"));
    EXPECT_EQ(lines(bx::test::readFileBytes(results)).size(), 3U);
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

// A survey that is not UTF-8 is read as Windows-1252, and the batch says so once, before its
// results and the closing line.
TEST(BatchInput, ALatinOneSurveyIsSaidOnce) {
    const std::filesystem::path path = bx::test::freshScratch("encodings") / "latin.csv";
    std::ofstream(path, std::ios::binary) << "sample,value\nR,14\nR,15\nR,16\nS\xFC"
                                             "d,10\nS\xFC"
                                             "d,11\nS\xFC"
                                             "d,12\n";
    const auto r = runInProcess("encodings-batch", {"batch", path.string(), "--reference", "R"});
    EXPECT_EQ(r.status, kExitRan);
    EXPECT_EQ(r.err, "benthix-cli: " + path.string() +
                         ": the survey is not UTF-8: read as Windows-1252\n"
                         "benthix-cli: 1 comparison: 1 ok, 0 with warnings, 0 refused; 1 rejects "
                         "the null\n");
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1, 5), "Süd,");
}

}  // namespace
}  // namespace bx::cli
