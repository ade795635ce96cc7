// The summary log: captions and messages, one row per run read from the displayed fields, the
// Mann-Whitney rule, the name conflict with the detailed log, and the failures.
// Expected numbers as in detailed_log_test.cpp (numpy/scipy from the typed replicates),
// written back from the displayed texts without a pattern (3.0 shows as 3).

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "analysis/driver.h"
#include "app/main_window.h"
#include "logs/detailed_log.h"
#include "logs/log_test_support.h"
#include "logs/summary_log.h"
#include "logs/summary_record.h"
#include "reports/report_record.h"

namespace bx {
namespace {

namespace fs = std::filesystem;
using test::TableRow;
using test::WindowFixture;

std::vector<TableRow> summaryRows(const fs::path& path) {
    return test::readRows(path, kSummaryRecordFields);
}

void startSummary(WindowFixture& f, const fs::path& folder, const std::string& entry) {
    test::answerDialog(f, folder, entry);
    mnuLogSummary_Click(f.w());
}

TEST(SummaryLog, StartCaptionsMessagesAndStop) {
    WindowFixture f("summary_start");
    EXPECT_EQ(f.w().ui.mnuLogSummary.caption, "Begin Summary Log File");
    startSummary(f, f.scratch, "sum");
    const std::string path = (f.scratch / "sum.dbf").string();
    ASSERT_EQ(f.desktop.dialogCaptions.size(), 1U);
    EXPECT_EQ(f.desktop.dialogCaptions[0], "New Summary Log File Selection");
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].title, "Summary Log File Status");
    EXPECT_EQ(f.desktop.messages[0].text, "Summary Log File <" + path + "> Now Active.");
    EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(test::statusLines(f.w().ui.Status).back(),
              "Summary Log File <" + path + "> now active.");
    EXPECT_EQ(f.w().ui.mnuLogSummary.caption, "STOP Summary Data Logging to sum.dbf");
    EXPECT_EQ(f.w().ui.summaryLogFolder, f.scratch.string());
    EXPECT_EQ(summaryRows(path).size(), 1U);

    mnuLogSummary_Click(f.w());
    EXPECT_FALSE(f.w().ui.summaryLogging);
    EXPECT_EQ(f.w().ui.mnuLogSummary.caption, "Begin Summary Log File");
    EXPECT_EQ(test::statusLines(f.w().ui.Status).back(), "Summary Log File <sum.dbf> closed.");
}

TEST(SummaryLog, TwoRunsAppendTwoRows) {
    WindowFixture f("summary_two_runs");
    startSummary(f, f.scratch, "sum");
    f.w().ui.txtSampId.text = "S1";
    f.w().ui.txtSampAlias.text = "µg/L";
    f.w().ui.txtRefId.text = "R1";
    test::typeReplicates(f.w(), {"10.2", "11.5", "9.8"}, {"12.1", "11.8", "12.9", "13.2", "12.4"});
    cmdExecute_Click(f.w());
    test::typeReplicates(f.w(), {"1", "1", "1", "1", "1", "1", "1", "1", "1", "9"},
                         {"2", "2", "2", "2", "2", "2", "2", "2", "2", "12"});
    cmdExecute_Click(f.w());

    const auto rows = summaryRows(f.scratch / "sum.dbf");
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_TRUE(rows[0].empty());
    const TableRow run1 = {
        {"SAMPID", "S1"},      {"SAMP_ALIAS", "µg/L"},    {"SAMP_REPS", "3"},
        {"SAMP_STD", "0.889"}, {"SAMP_MN", "10.5"},       {"SAMP_T_STD", "0.889"},
        {"SAMP_T_MN", "10.5"}, {"REFID", "R1"},           {"REF_REPS", "5"},
        {"REF_STD", "0.572"},  {"REF_MN", "12.48"},       {"REF_T_STD", "0.572"},
        {"REF_T_MN", "12.48"}, {"PASS_FAIL", "No"},       {"W_PASSFAIL", "Yes"},
        {"L_PASSFAIL", "Yes"}, {"T_TYPE", "Student's t"},
    };
    EXPECT_EQ(rows[1], run1);
    const TableRow run2 = {
        {"SAMPID", "S1"},
        {"SAMP_ALIAS", "µg/L"},
        {"SAMP_REPS", "10"},
        {"SAMP_STD", "2.53"},
        {"SAMP_MN", "1.8"},
        {"SAMP_T_STD", "N/A"},
        {"SAMP_T_MN", "N/A"},
        {"REFID", "R1"},
        {"REF_REPS", "10"},
        {"REF_STD", "3.162"},
        {"REF_MN", "3"},
        {"REF_T_STD", "N/A"},
        {"REF_T_MN", "N/A"},
        {"PASS_FAIL", "No"},
        {"W_PASSFAIL", "No"},
        {"L_PASSFAIL", "Yes"},
        {"T_TYPE", "Mann-Whitney"},
    };
    EXPECT_EQ(rows[2], run2);
    const auto lines = test::statusLines(f.w().ui.Status);
    EXPECT_EQ(lines[lines.size() - 2], "     Saving to Summary Log File...");
}

TEST(SummaryLog, DisplayedTextsThatAreNotNumbersAreLoggedAsZero) {
    WindowFixture f("summary_na");
    startSummary(f, f.scratch, "sum");
    WindowState& ui = f.w().ui;
    ui.txtSampMean.text = "N/A";
    ui.txtSampStdDev.text = "";
    ui.txtRefMean.text = "12.50";
    ui.txtTstPower.text = "87.25%";
    ui.txtDiff_levl.text = "1.5";
    WriteSummaryLog(f.w());
    const auto rows = summaryRows(f.scratch / "sum.dbf");
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[1].at("SAMP_MN"), "0");
    EXPECT_EQ(rows[1].at("SAMP_STD"), "0");
    EXPECT_EQ(rows[1].at("REF_MN"), "12.5");
    EXPECT_EQ(rows[1].at("POWER"), "87.25%");
    EXPECT_EQ(rows[1].at("POWER_DIFF"), "1.5");
}

TEST(SummaryLog, BothLogsOnOneRunDetailFirst) {
    WindowFixture f("summary_both");
    test::answerDialog(f, f.scratch, "det");
    mnuLogDetail_Click(f.w());
    startSummary(f, f.scratch, "sum");
    test::typeReplicates(f.w(), {"10.2", "11.5", "9.8"}, {"12.1", "11.8", "12.9", "13.2", "12.4"});
    cmdExecute_Click(f.w());
    const auto lines = test::statusLines(f.w().ui.Status);
    ASSERT_GE(lines.size(), 3U);
    EXPECT_EQ(lines[lines.size() - 3], "     Saving to Log File...");
    EXPECT_EQ(lines[lines.size() - 2], "     Saving to Summary Log File...");
    EXPECT_EQ(lines.back(), "*** Stats complete.");
    EXPECT_EQ(test::readRows(f.scratch / "det.dbf", kReportRecordFields).size(), 10U);
    EXPECT_EQ(summaryRows(f.scratch / "sum.dbf").size(), 2U);
}

TEST(SummaryLog, NameOfTheActiveDetailedLogIsRefusedInAnyFolder) {
    WindowFixture f("summary_conflict");
    test::answerDialog(f, f.scratch, "same");
    mnuLogDetail_Click(f.w());
    ASSERT_TRUE(f.w().ui.detailedLogging);
    const fs::path other = f.scratch / "other";
    fs::create_directories(other);
    startSummary(f, other, "same.dbf");
    EXPECT_FALSE(f.w().ui.summaryLogging);
    EXPECT_EQ(f.desktop.messages.back().title, "Log File Selection");
    EXPECT_EQ(f.desktop.messages.back().text, "Incorrect Filename Chosen, Try again.");
    EXPECT_EQ(f.w().ui.mnuLogSummary.caption, "Begin Summary Log File");
    EXPECT_FALSE(fs::exists(other / "same.dbf"));
    // Another name works beside the detailed log.
    startSummary(f, other, "other");
    EXPECT_TRUE(f.w().ui.summaryLogging);
    // Letter case counts: "Same" is not "same".
    mnuLogDetail_Click(f.w());
    mnuLogSummary_Click(f.w());
    test::answerDialog(f, f.scratch, "Same");
    mnuLogDetail_Click(f.w());
    EXPECT_TRUE(f.w().ui.detailedLogging);
}

TEST(SummaryLog, FileErrorWhileStarting) {
    WindowFixture f("summary_error");
    startSummary(f, f.scratch / "missing", "sum");
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].title, "Log File Status");
    EXPECT_EQ(f.desktop.messages[0].text,
              "File IO Error 76.  File may already be open or pathname is corrupt.");
    EXPECT_EQ(test::statusLines(f.w().ui.Status).back(), "Summary Log File NOT active.");
    EXPECT_FALSE(f.w().ui.summaryLogging);
    EXPECT_EQ(f.w().ui.summaryLogFileName, "");

    // A file another program holds open: 70, and the file keeps its content.
    std::ofstream(f.scratch / "held.dbf", std::ios::binary) << "kept";
    std::ofstream(f.scratch / ".~lock.held.dbf#") << "x";
    startSummary(f, f.scratch, "held");
    EXPECT_EQ(f.desktop.messages.back().text,
              "File IO Error 70.  File may already be open or pathname is corrupt.");
    std::ifstream in(f.scratch / "held.dbf", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "kept");
}

TEST(SummaryLog, WriteErrorKeepsTheLogActive) {
    WindowFixture f("summary_write_error");
    startSummary(f, f.scratch, "sum");
    fs::remove(f.scratch / "sum.dbf");  // taken away behind the program's back
    test::typeReplicates(f.w(), {"10.2", "11.5", "9.8"}, {"12.1", "11.8", "12.9", "13.2", "12.4"});
    cmdExecute_Click(f.w());
    const auto lines = test::statusLines(f.w().ui.Status);
    EXPECT_EQ(lines[lines.size() - 2].rfind("     ERROR - Run NOT saved to Summary Log File <" +
                                                (f.scratch / "sum.dbf").string() + ">: error 53",
                                            0),
              0U)
        << lines[lines.size() - 2];
    EXPECT_TRUE(f.w().ui.summaryLogging);
    EXPECT_EQ(f.w().ui.mnuLogSummary.caption, "STOP Summary Data Logging to sum.dbf");
}

}  // namespace
}  // namespace bx
