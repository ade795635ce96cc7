// SPDX-License-Identifier: MIT
// The logs: the rows written for a run, field by field (each field's pattern, the blanks and
// the "N/A" rules, on runs recorded directly; the statistics themselves are checked through
// analyze() in tests/statistics), then the files through the Log menu and runs: both logs on
// one run, a new log replacing an old file, a missing template, and rows that survive a killed
// process. (Starting, stopping and the errors shared by both logs: log_menu_test.cpp.)
//
// Expected numbers were worked with numpy/scipy 1.10 from the typed replicates:
//   run 1, x1 = 10.2 11.5 9.8, x2 = 12.1 11.8 12.9 13.2 12.4: means 10.5 and 12.48, SDs
//   0.88882 and 0.57184 (std ddof=1); pooled residuals sorted -0.7 -0.68 -0.38 -0.3 -0.08 0.42
//   0.72 1.0, SD 0.64232, SS 2.888; b = 1.62358 with the Shapiro-Wilk (1965) coefficients for
//   N = 8 (0.6052 0.3164 0.1743 0.0561), W = b^2/SS = 0.91275; Levene |t| = 0.98463
//   (scipy ttest_ind on |x - mean|: means 0.66667 and 0.456, SDs 0.35119 and 0.25900), df 6,
//   critical t.ppf(0.95, 6) = 1.943; Student's |t| = 3.90789.
//   run 2, nine 1s and a 9 against nine 2s and a 12 (Mann-Whitney): means 1.8 and 3.0, SDs
//   2.52982 and 3.16228; residual SD 2.78719, SS 147.6, b = 7.56334, W = 0.38756; Levene
//   |t| = 0.35139, df 18, critical t.ppf(0.975, 18) = 2.101; U = 100 - 9 = 91; pooled ranks 5
//   (nine ties), 14 (nine ties), 19, 20.
// Texts are compared exactly, i.e. to the digits of each field's pattern.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/execute.h"
#include "app/log_commands.h"
#include "app/main_window.h"
#include "base/text_format.h"
#include "logs/log_file.h"
#include "logs/log_rows.h"
#include "logs/summary_record.h"
#include "reports/report_record.h"
#include "reports/run_record.h"
#include "statistics/analyze.h"
#include "support/test_support.h"

namespace bx {
namespace {

namespace fs = std::filesystem;
using test::rowOf;
using test::TableRow;
using test::WindowFixture;

const std::vector<std::string> kRun1Test = {"10.2", "11.5", "9.8"};
const std::vector<std::string> kRun1Ref = {"12.1", "11.8", "12.9", "13.2", "12.4"};
const std::vector<std::string> kRun2Test = {"1", "1", "1", "1", "1", "1", "1", "1", "1", "9"};
const std::vector<std::string> kRun2Ref = {"2", "2", "2", "2", "2", "2", "2", "2", "2", "12"};

// A run as the window records it, with the start-up options and the override declined.
RunRecord record(const std::vector<std::string>& x1, const std::vector<std::string>& x2,
                 const RunIdentity& identity) {
    RunRecord run;
    run.identity = identity;
    std::copy(x1.begin(), x1.end(), run.testEntries.begin());
    std::copy(x2.begin(), x2.end(), run.referenceEntries.begin());
    std::vector<double> v1, v2;
    std::transform(x1.begin(), x1.end(), std::back_inserter(v1), leadingNumber);
    std::transform(x2.begin(), x2.end(), std::back_inserter(v2), leadingNumber);
    run.result = analyze({v1, v2}, run.options, test::generatedTables(), OverrideAnswer::No);
    return run;
}

// The fields of a row that are not blank.
TableRow nonBlank(const LogRow& row) {
    TableRow fields;
    for (const auto& [name, text] : row) {
        if (!text.empty()) {
            fields.emplace(name, text);
        }
    }
    return fields;
}

// Row 1 holds every run field and the first replicates; rows 2 and 3 both samples, rows 4 and
// 5 reference values only, rows 6 to 8 residual, rank and rankit only; then a blank row.
TEST(DetailLogRows, StudentsTRunFieldByField) {
    const RunIdentity who{"Lake µg/L", "S 1", "", "", "ref, alias"};
    const auto rows = detailLogRows(record(kRun1Test, kRun1Ref, who));
    ASSERT_EQ(rows.size(), 9U);
    EXPECT_EQ(nonBlank(rows[0]),
              rowOf("PROJECT=Lake µg/L|SAMPID=S 1|REF_ALIAS=ref, alias|SAMPDATA=10.2|"
                    "SAMPTRANS=10.200|SAMP_REPS=3|SAMP_STD=0.889|SAMP_MN=10.5|SAMP_T_STD=0.889|"
                    "SAMP_T_MN=10.5|REFDATA=12.1|REFTRANS=12.100|REF_REPS=5|REF_STD=0.572|"
                    "REF_MN=12.48|REF_T_STD=0.572|REF_T_MN=12.48|W_RESID_MN=0.0|W_RESID_SD=0.642|"
                    "W_SS=2.888|W_K=4.0|W_B=1.624|W_CALC=0.9127|W_PASSFAIL=Yes|W_ALPHA=0.1|"
                    "W_CRIT=0.851|L_RES1=0.300|L_RES1_MN=0.667|L_RES1_SD=0.351|L_RES2=0.380|"
                    "L_RES2_MN=0.456|L_RES2_SD=0.259|L_CALC=0.9846|L_PASSFAIL=Yes|L_ALPHA=0.1|"
                    "L_CRIT=1.943|L_DF=6|T_TYPE=Student's t|T_CALC=3.9079|T_PASSFAIL=No|"
                    "T_ALPHA=0.05|T_CRIT=>= 1.943|T_DF=6|T_BALANCED=Yes|T_TRANS=No Transformation|"
                    "T_HYPO_NUL=x1 >= x2|T_HYPO_ALT=x1 < x2|W_OVERRIDE=N/A|W_RESIDUAL=-0.700|"
                    "M_RANK_ALL=0.0|R_RANK_ALL=0.000"));
    EXPECT_EQ(nonBlank(rows[2]),
              rowOf("SAMPDATA=9.8|SAMPTRANS=9.800|L_RES1=0.700|REFDATA=12.9|REFTRANS=12.900|"
                    "L_RES2=0.420|W_RESIDUAL=-0.380|M_RANK_ALL=0.0|R_RANK_ALL=0.000"));
    EXPECT_EQ(nonBlank(rows[4]), rowOf("REFDATA=12.4|REFTRANS=12.400|L_RES2=0.080|"
                                       "W_RESIDUAL=-0.080|M_RANK_ALL=0.0|R_RANK_ALL=0.000"));
    EXPECT_EQ(nonBlank(rows[7]), rowOf("W_RESIDUAL=1.000|M_RANK_ALL=0.0|R_RANK_ALL=0.000"));
    EXPECT_TRUE(rows[8].empty());
}

// Mann-Whitney: the four transformed summary fields read "N/A", the degrees of freedom 0; the
// transformed replicates are the ranks that replaced them.
TEST(DetailLogRows, MannWhitneyRunLogsItsRanks) {
    const auto rows = detailLogRows(record(kRun2Test, kRun2Ref, {}));
    ASSERT_EQ(rows.size(), 21U);
    const TableRow first = nonBlank(rows[0]);
    for (const auto& [name, text] :
         rowOf("SAMPTRANS=5.000|SAMP_STD=2.53|SAMP_MN=1.8|SAMP_T_STD=N/A|SAMP_T_MN=N/A|"
               "REFTRANS=14.000|REF_STD=3.162|REF_MN=3.0|REF_T_STD=N/A|REF_T_MN=N/A|"
               "W_SS=147.6|W_K=10.0|W_CALC=0.3876|W_PASSFAIL=No|W_ALPHA=0.01|W_CRIT=0.868|"
               "L_CALC=0.3514|L_CRIT=2.101|L_DF=18|M_N1N2=10,10|T_TYPE=Mann-Whitney|"
               "T_CALC=91.0000|T_CRIT=>= 73.000|T_DF=0|T_TRANS=rank-order|M_RANK_ALL=5.0|"
               "W_OVERRIDE=Not Invoked")) {
        EXPECT_EQ(first.count(name) == 1 ? first.at(name) : "<blank>", text) << name;
    }
    EXPECT_EQ(nonBlank(rows[9]),
              rowOf("SAMPDATA=9|SAMPTRANS=19.000|L_RES1=7.200|REFDATA=12|REFTRANS=20.000|"
                    "L_RES2=9.000|W_RESIDUAL=-0.800|M_RANK_ALL=14.0|R_RANK_ALL=0.000"));
    EXPECT_EQ(nonBlank(rows[19]), rowOf("W_RESIDUAL=9.000|M_RANK_ALL=20.0|R_RANK_ALL=0.000"));
}

// The summary log writes the numbers the panels show, read back without a pattern (3.0 shows
// as 3), with the same "N/A" rule.
TEST(SummaryLogRow, ShownNumbersAndTheMannWhitneyRule) {
    const RunIdentity who{"", "S1", "µg/L", "R1", ""};
    EXPECT_EQ(nonBlank(summaryLogRow(record(kRun1Test, kRun1Ref, who))),
              rowOf("SAMPID=S1|SAMP_ALIAS=µg/L|SAMP_REPS=3|SAMP_STD=0.889|SAMP_MN=10.5|"
                    "SAMP_T_STD=0.889|SAMP_T_MN=10.5|REFID=R1|REF_REPS=5|REF_STD=0.572|"
                    "REF_MN=12.48|REF_T_STD=0.572|REF_T_MN=12.48|PASS_FAIL=No|W_PASSFAIL=Yes|"
                    "L_PASSFAIL=Yes|T_TYPE=Student's t"));
    EXPECT_EQ(nonBlank(summaryLogRow(record(kRun2Test, kRun2Ref, who))),
              rowOf("SAMPID=S1|SAMP_ALIAS=µg/L|SAMP_REPS=10|SAMP_STD=2.53|SAMP_MN=1.8|"
                    "SAMP_T_STD=N/A|SAMP_T_MN=N/A|REFID=R1|REF_REPS=10|REF_STD=3.162|REF_MN=3|"
                    "REF_T_STD=N/A|REF_T_MN=N/A|PASS_FAIL=No|W_PASSFAIL=No|L_PASSFAIL=Yes|"
                    "T_TYPE=Mann-Whitney"));
}

// Texts kept from earlier runs are used only for the very same numbers: runs that alternate
// (the reference shared, the test sample changing) read as each run does on its own.
TEST(SummaryLogRow, KeptNumbersGiveTheTextsOfEachRun) {
    const RunIdentity who{"", "S1", "", "R1", ""};
    const RunRecord runs[] = {record(kRun1Test, kRun1Ref, who), record(kRun2Test, kRun2Ref, who),
                              record(kRun2Test, kRun1Ref, who), record(kRun1Test, kRun1Ref, who)};
    ShownSummaryNumbers kept;
    std::string power;
    const auto keptTexts = [&](const RunRecord& run) {
        const SummaryTextViews views = summaryTextViews(run, kept, power);
        SummaryTexts texts;
        std::copy(views.begin(), views.end(), texts.begin());
        return texts;
    };
    for (const RunRecord& run : runs) {
        EXPECT_EQ(keptTexts(run), summaryTexts(run));
    }
    EXPECT_EQ(keptTexts(runs[1])[summaryFieldIndex("SAMP_STD")], "2.53");
    EXPECT_EQ(keptTexts(runs[0])[summaryFieldIndex("SAMP_STD")], "0.889");
}

std::vector<test::TableRow> detailRows(const fs::path& path) {
    return test::readRows(path, kReportRecordFields);
}

void startLog(WindowFixture& f, const fs::path& folder, const std::string& entry,
              void (*menu)(MainWindow&) = mnuLogDetail_Click) {
    test::answerDialog(f, folder, entry);
    menu(f.w());
}

void run(WindowFixture& f) {
    test::typeReplicates(f.w(), kRun1Test, kRun1Ref);
    cmdExecute_Click(f.w());
}

// A log is made from a copy of its template: without the template the earlier file stays.
TEST(LogFiles, MissingTemplateLeavesTheExistingFileUntouched) {
    const fs::path scratch = test::freshScratch("detail_no_template");
    std::ofstream(scratch / "keep.dbf", std::ios::binary) << "earlier log";
    const TableError e =
        createLogFile((scratch / "sslog.dbf").string(), scratch.string(), "keep.dbf");
    EXPECT_EQ(e.number, kErrFileNotFound);
    EXPECT_EQ(fileIoErrorText(e),
              "File IO Error 53.  File may already be open or pathname is corrupt. " +
                  (scratch / "sslog.dbf").string() + ": no such file.");
    EXPECT_EQ(test::readFileBytes(scratch / "keep.dbf"), "earlier log");
}

TEST(LogFiles, BothLogsOnOneRunDetailFirstAndARestartStartsAfresh) {
    WindowFixture f("summary_both");
    startLog(f, f.scratch, "det");
    startLog(f, f.scratch, "sum", mnuLogSummary_Click);
    run(f);
    const auto lines = test::statusLines(f.w().ui.Status);
    ASSERT_GE(lines.size(), 3U);
    EXPECT_EQ(lines[lines.size() - 3], "     Saving to Log File...");
    EXPECT_EQ(lines[lines.size() - 2], "     Saving to Summary Log File...");
    EXPECT_EQ(lines.back(), "*** Stats complete.");
    EXPECT_EQ(detailRows(f.scratch / "det.dbf").size(), 10U);  // blank, 3 + 5 rows, blank
    const auto summary = test::readRows(f.scratch / "sum.dbf", kSummaryRecordFields);
    ASSERT_EQ(summary.size(), 2U);  // the blank first row, then the run
    EXPECT_EQ(summary[1].at("SAMP_MN"), "10.5");
    // Started again on the same file, the detailed log starts afresh.
    mnuLogDetail_Click(f.w());
    startLog(f, f.scratch, "det");
    EXPECT_EQ(detailRows(f.scratch / "det.dbf").size(), 1U);
}

// When the summary log cannot take a group (its file is past a file-size limit that the
// detailed log stays below), the detailed log gives the group back: both hold the same runs, so
// that a retry adds them once.
TEST(LogFiles, BothLogsHoldTheSameRunsAfterAFailure) {
    const fs::path dir = test::freshScratch("logs_agree");
    const std::string prog = test::programFolder();
    const RunRecord one = record(kRun1Test, kRun1Ref, {});
    {
        LogFile summary;
        ASSERT_FALSE(summary.begin(prog + "/sslogsum.dbf", (dir / "sum.dbf").string()));
        for (int i = 0; i < 300; ++i) {
            ASSERT_FALSE(summary.add({summaryLogRow(one)}, {}));
        }
        ASSERT_FALSE(summary.stop());
    }
    const auto summaryBytes = fs::file_size(dir / "sum.dbf");
    EXPECT_TRUE(test::runThenKill([&] {
        LogFile detailed;
        LogFile summary;
        if (detailed.begin(prog + "/sslog.dbf", (dir / "det.dbf").string()) ||
            summary.share(prog + "/sslogsum.dbf", (dir / "sum.dbf").string())) {
            return false;
        }
        signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = static_cast<rlim_t>(summaryBytes) - 1;
        const struct rlimit fsize { limit, limit };
        setrlimit(RLIMIT_FSIZE, &fsize);
        if (detailed.add(detailLogRows(one), {}) || summary.add({summaryLogRow(one)}, {})) {
            return false;
        }
        TableError detailedError;
        TableError summaryError;
        bool withdrawn = false;
        commitLogsTogether(detailed, summary, detailedError, summaryError, withdrawn);
        return !detailedError && summaryError.number == kErrDiskFull && withdrawn;
    }));
    EXPECT_EQ(detailRows(dir / "det.dbf").size(), 1U);  // the blank row only
    EXPECT_EQ(test::readRows(dir / "sum.dbf", kSummaryRecordFields).size(), 301U);
}

// A shared log is taken only when its fields are its template's, widths included: a table with
// the same field names but one wider field is another kind of file, refused before any run and
// left as it was.
TEST(LogFiles, ASharedLogMustHaveTheTemplatesFieldWidths) {
    const fs::path dir = test::freshScratch("logs_layout");
    const std::string templatePath = test::programFolder() + "/sslogsum.dbf";
    DbfTable templateTable;
    ASSERT_FALSE(templateTable.open(test::programFolder(), "sslogsum.dbf", DbfOpenMode::ReadOnly));
    std::vector<DbfFieldDef> fields;
    for (const DbfField& field : templateTable.fields()) {
        fields.push_back({field.name, field.type, field.width, field.decimals});
    }
    ASSERT_FALSE(DbfTable::create((dir / "same.dbf").string(), fields));
    const auto narrow = std::find_if(fields.begin(), fields.end(),
                                     [](const DbfFieldDef& f) { return f.width < 200; });
    ASSERT_NE(narrow, fields.end());
    narrow->width += 1;
    ASSERT_FALSE(DbfTable::create((dir / "wide.dbf").string(), fields));
    const std::string before = test::readFileBytes(dir / "wide.dbf");

    EXPECT_TRUE(hasLayoutOf(templatePath, (dir / "same.dbf").string()));
    EXPECT_FALSE(hasLayoutOf(templatePath, (dir / "wide.dbf").string()))
        << narrow->name << " one byte wider is not the summary log's layout";
    LogFile log;
    EXPECT_FALSE(log.share(templatePath, (dir / "same.dbf").string()));
    const TableError e = log.share(templatePath, (dir / "wide.dbf").string());
    EXPECT_EQ(e.number, kErrPathFileAccess);
    EXPECT_NE(e.description.find("not a log made from sslogsum.dbf"), std::string::npos)
        << e.description;
    EXPECT_EQ(test::readFileBytes(dir / "wide.dbf"), before);
}

TEST(LogFiles, RowsSurviveTheProgramBeingKilled) {
    WindowFixture f("detail_killed");
    // The child starts the log, makes two runs and is killed.
    EXPECT_TRUE(test::runThenKill([&f] {
        startLog(f, f.scratch, "killed");
        run(f);
        run(f);
        return f.w().ui.detailedLogging;
    }));
    // Blank, then twice 3 + 5 rows and a blank.
    const auto rows = detailRows(f.scratch / "killed.dbf");
    ASSERT_EQ(rows.size(), 19U);
    EXPECT_EQ(rows[1].at("T_TYPE"), "Student's t");
    EXPECT_EQ(rows[10].at("SAMPDATA"), "10.2");
    EXPECT_TRUE(rows[18].empty());
}

}  // namespace
}  // namespace bx
