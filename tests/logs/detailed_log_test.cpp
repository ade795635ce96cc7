// The detailed log: the rows of two runs of different sizes compared field by field, a new
// log replacing an old file, a missing template, and rows that survive a killed process.
// (Starting, stopping and the errors shared with the summary log: log_menu_test.cpp.)
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
#include <fstream>
#include <iterator>
#include <utility>

#include "app/execute.h"
#include "app/main_window.h"
#include "app/log_commands.h"
#include "reports/report_record.h"
#include "support/test_support.h"
#include "tables/stat_tables.h"

namespace bx {
namespace {

namespace fs = std::filesystem;
using test::TableRow;
using test::WindowFixture;

const std::vector<std::string> kRun1Test = {"10.2", "11.5", "9.8"};
const std::vector<std::string> kRun1Ref = {"12.1", "11.8", "12.9", "13.2", "12.4"};
const std::vector<std::string> kRun2Test = {"1", "1", "1", "1", "1", "1", "1", "1", "1", "9"};
const std::vector<std::string> kRun2Ref = {"2", "2", "2", "2", "2", "2", "2", "2", "2", "12"};

std::vector<TableRow> detailRows(const fs::path& path) {
    return test::readRows(path, kReportRecordFields);
}

void startLog(WindowFixture& f, const fs::path& folder, const std::string& entry) {
    test::answerDialog(f, folder, entry);
    mnuLogDetail_Click(f.w());
}

void run(WindowFixture& f, const std::vector<std::string>& x1, const std::vector<std::string>& x2) {
    test::typeReplicates(f.w(), x1, x2);
    cmdExecute_Click(f.w());
}

void expectRow(const TableRow& actual, const TableRow& expected, int rowNumber) {
    for (const auto& [field, value] : expected) {
        const auto it = actual.find(field);
        EXPECT_TRUE(it != actual.end() && it->second == value)
            << "row " << rowNumber << " field " << field << ": expected '" << value << "', got '"
            << (it == actual.end() ? std::string("<blank>") : it->second) << "'";
    }
    for (const auto& [field, value] : actual) {
        EXPECT_TRUE(expected.count(field) == 1) << "row " << rowNumber << " field " << field
                                                << " should be blank, holds '" << value << "'";
    }
}

TEST(DetailedLog, TwoRunsComparedRowByRow) {
    WindowFixture f("detail_two_runs");
    startLog(f, f.scratch, "det");
    f.w().ui.txtProjectName.text = "Lake µg/L";
    f.w().ui.txtSampId.text = "S 1";
    f.w().ui.txtRefAlias.text = "ref, alias";
    run(f, kRun1Test, kRun1Ref);
    run(f, kRun2Test, kRun2Ref);

    const auto rows = detailRows(f.scratch / "det.dbf");
    // blank, 3 + 5 rows and a blank, 10 + 10 rows and a blank
    ASSERT_EQ(rows.size(), 1U + 9U + 21U);
    EXPECT_TRUE(rows[0].empty());

    const auto perReplicate = [](TableRow row, const char* residual) {
        row["W_RESIDUAL"] = residual;
        row["M_RANK_ALL"] = "0.0";  // no Mann-Whitney and no rankits in run 1: zeros
        row["R_RANK_ALL"] = "0.000";
        return row;
    };
    expectRow(
        rows[1],
        perReplicate(
            test::rowOf(
                "PROJECT=Lake µg/L|SAMPID=S 1|REF_ALIAS=ref, alias|SAMPDATA=10.2|"
                "SAMPTRANS=10.200|SAMP_REPS=3|SAMP_STD=0.889|SAMP_MN=10.5|SAMP_T_STD=0.889|"
                "SAMP_T_MN=10.5|REFDATA=12.1|REFTRANS=12.100|REF_REPS=5|REF_STD=0.572|"
                "REF_MN=12.48|REF_T_STD=0.572|REF_T_MN=12.48|W_RESID_MN=0.0|W_RESID_SD=0.642|"
                "W_SS=2.888|W_K=4.0|W_B=1.624|W_CALC=0.9127|W_PASSFAIL=Yes|W_ALPHA=0.1|"
                "W_CRIT=0.851|L_RES1=0.300|L_RES1_MN=0.667|L_RES1_SD=0.351|L_RES2=0.380|"
                "L_RES2_MN=0.456|L_RES2_SD=0.259|L_CALC=0.9846|L_PASSFAIL=Yes|L_ALPHA=0.1|"
                "L_CRIT=1.943|L_DF=6|T_TYPE=Student's t|T_CALC=3.9079|T_PASSFAIL=No|"
                "T_ALPHA=0.05|T_CRIT=>= 1.943|T_DF=6|T_BALANCED=Yes|T_TRANS=No Transformation|"
                "T_HYPO_NUL=x1 >= x2|T_HYPO_ALT=x1 < x2|W_OVERRIDE=N/A"),
            "-0.700"),
        2);
    // Rows 2 and 3 of the run hold both samples, rows 4 and 5 reference values only, rows 6 to
    // 8 residual, rank and rankit only.
    const std::pair<const char*, const char*> kRun1Rows[] = {
        {"SAMPDATA=11.5|SAMPTRANS=11.500|L_RES1=1.000|REFDATA=11.8|REFTRANS=11.800|L_RES2=0.680",
         "-0.680"},
        {"SAMPDATA=9.8|SAMPTRANS=9.800|L_RES1=0.700|REFDATA=12.9|REFTRANS=12.900|L_RES2=0.420",
         "-0.380"},
        {"REFDATA=13.2|REFTRANS=13.200|L_RES2=0.720", "-0.300"},
        {"REFDATA=12.4|REFTRANS=12.400|L_RES2=0.080", "-0.080"},
        {"", "0.420"},
        {"", "0.720"},
        {"", "1.000"}};
    for (std::size_t i = 0; i < std::size(kRun1Rows); ++i) {
        expectRow(rows[2 + i], perReplicate(test::rowOf(kRun1Rows[i].first), kRun1Rows[i].second),
                  static_cast<int>(i) + 3);
    }
    EXPECT_TRUE(rows[9].empty());

    // Run 2: Mann-Whitney, so the four transformed summary fields read "N/A"; the transformed
    // replicates are the ranks that replaced them.
    expectRow(
        rows[10],
        test::rowOf("PROJECT=Lake µg/L|SAMPID=S 1|REF_ALIAS=ref, alias|SAMPDATA=1|SAMPTRANS=5.000|"
                    "SAMP_REPS=10|SAMP_STD=2.53|SAMP_MN=1.8|SAMP_T_STD=N/A|SAMP_T_MN=N/A|REFDATA=2|"
                    "REFTRANS=14.000|REF_REPS=10|REF_STD=3.162|REF_MN=3.0|REF_T_STD=N/A|"
                    "REF_T_MN=N/A|W_RESIDUAL=-1.000|W_RESID_MN=0.0|W_RESID_SD=2.787|W_SS=147.6|"
                    "W_K=10.0|W_B=7.563|W_CALC=0.3876|W_PASSFAIL=No|W_ALPHA=0.01|W_CRIT=0.868|"
                    "L_RES1=0.800|L_RES1_MN=1.44|L_RES1_SD=2.024|L_RES2=1.000|L_RES2_MN=1.8|"
                    "L_RES2_SD=2.53|L_CALC=0.3514|L_PASSFAIL=Yes|L_ALPHA=0.1|L_CRIT=2.101|L_DF=18|"
                    "M_N1N2=10,10|T_TYPE=Mann-Whitney|T_CALC=91.0000|T_PASSFAIL=No|T_ALPHA=0.05|"
                    "T_CRIT=>= 73.000|T_DF=0|T_BALANCED=Yes|T_TRANS=rank-order|M_RANK_ALL=5.0|"
                    "R_RANK_ALL=0.000|T_HYPO_NUL=x1 >= x2|T_HYPO_ALT=x1 < x2|"
                    "W_OVERRIDE=Not Invoked"),
        11);
    for (int k = 2; k <= 20; ++k) {
        TableRow expected;
        if (k <= 10) {
            const bool last = k == 10;
            expected = {
                {"SAMPDATA", last ? "9" : "1"},           {"SAMPTRANS", last ? "19.000" : "5.000"},
                {"L_RES1", last ? "7.200" : "0.800"},     {"REFDATA", last ? "12" : "2"},
                {"REFTRANS", last ? "20.000" : "14.000"}, {"L_RES2", last ? "9.000" : "1.000"}};
        }
        expected["W_RESIDUAL"] = k <= 9    ? "-1.000"
                                 : k <= 18 ? "-0.800"
                                 : k == 19 ? "7.200"
                                           : "9.000";
        expected["M_RANK_ALL"] = k <= 9 ? "5.0" : k <= 18 ? "14.0" : k == 19 ? "19.0" : "20.0";
        expected["R_RANK_ALL"] = "0.000";
        expectRow(rows[static_cast<std::size_t>(9 + k)], expected, 10 + k);
    }
    EXPECT_TRUE(rows[30].empty());
}

TEST(DetailedLog, ExistingFileStartsAfresh) {
    WindowFixture f("detail_afresh");
    startLog(f, f.scratch, "old");
    run(f, kRun1Test, kRun1Ref);
    ASSERT_EQ(detailRows(f.scratch / "old.dbf").size(), 10U);
    mnuLogDetail_Click(f.w());
    startLog(f, f.scratch, "old");
    EXPECT_EQ(detailRows(f.scratch / "old.dbf").size(), 1U);
}

TEST(DetailedLog, MissingTemplateLeavesTheExistingFileUntouched) {
    test::ScriptedDesktop desktop;
    const fs::path scratch = test::freshScratch("detail_no_template");
    const fs::path programFolder = scratch / "program";  // holds no templates
    fs::create_directories(programFolder);
    MainWindow w(desktop, StartupFolders{programFolder.string(), (scratch / "user").string()},
                 StatTables::load(test::programFolder()));
    const fs::path existing = scratch / "keep.dbf";
    std::ofstream(existing, std::ios::binary) << "earlier log";
    desktop.fileAnswers.push_back(FileDialogAnswer{scratch.string(), "/", "keep"});
    mnuLogDetail_Click(w);
    ASSERT_EQ(desktop.messages.size(), 1U);
    EXPECT_EQ(desktop.messages[0].text,
              "File IO Error 53.  File may already be open or pathname is corrupt. " +
                  (programFolder / "sslog.dbf").string() + ": no such file.");
    EXPECT_FALSE(w.ui.detailedLogging);
    EXPECT_EQ(test::readFileBytes(existing), "earlier log");
}

TEST(DetailedLog, RowsSurviveTheProgramBeingKilled) {
    WindowFixture f("detail_killed");
    // The child starts the log, makes two runs and is killed.
    EXPECT_TRUE(test::runThenKill([&f] {
        startLog(f, f.scratch, "killed");
        run(f, kRun1Test, kRun1Ref);
        run(f, kRun2Test, kRun2Ref);
        return f.w().ui.detailedLogging;
    }));

    const auto rows = detailRows(f.scratch / "killed.dbf");
    ASSERT_EQ(rows.size(), 31U);
    EXPECT_EQ(rows[1].at("T_TYPE"), "Student's t");
    EXPECT_EQ(rows[10].at("T_TYPE"), "Mann-Whitney");
    EXPECT_TRUE(rows[30].empty());
}

}  // namespace
}  // namespace bx
