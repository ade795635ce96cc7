// The summary log: one row per run read from the displayed fields, the Mann-Whitney rule, and
// both logs on one run. (Starting, stopping and errors: log_menu_test.cpp.)
// Expected numbers as in detailed_log_test.cpp (numpy/scipy from the typed replicates),
// written back from the displayed texts without a pattern (3.0 shows as 3).

#include "app/log_commands.h"
#include <gtest/gtest.h>
#include "app/execute.h"
#include "app/main_window.h"
#include "app/log_commands.h"
#include "logs/summary_record.h"
#include "reports/report_record.h"
#include "support/test_support.h"

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
    const TableRow run1 = {{"SAMPID", "S1"},      {"SAMP_ALIAS", "µg/L"},   {"SAMP_REPS", "3"},
                           {"SAMP_STD", "0.889"}, {"SAMP_MN", "10.5"},      {"SAMP_T_STD", "0.889"},
                           {"SAMP_T_MN", "10.5"}, {"REFID", "R1"},          {"REF_REPS", "5"},
                           {"REF_STD", "0.572"},  {"REF_MN", "12.48"},      {"REF_T_STD", "0.572"},
                           {"REF_T_MN", "12.48"}, {"PASS_FAIL", "No"},      {"W_PASSFAIL", "Yes"},
                           {"L_PASSFAIL", "Yes"}, {"T_TYPE", "Student's t"}};
    EXPECT_EQ(rows[1], run1);
    const TableRow run2 = {{"SAMPID", "S1"},      {"SAMP_ALIAS", "µg/L"},    {"SAMP_REPS", "10"},
                           {"SAMP_STD", "2.53"},  {"SAMP_MN", "1.8"},        {"SAMP_T_STD", "N/A"},
                           {"SAMP_T_MN", "N/A"},  {"REFID", "R1"},           {"REF_REPS", "10"},
                           {"REF_STD", "3.162"},  {"REF_MN", "3"},           {"REF_T_STD", "N/A"},
                           {"REF_T_MN", "N/A"},   {"PASS_FAIL", "No"},       {"W_PASSFAIL", "No"},
                           {"L_PASSFAIL", "Yes"}, {"T_TYPE", "Mann-Whitney"}};
    EXPECT_EQ(rows[2], run2);
    const auto lines = test::statusLines(f.w().ui.Status);
    EXPECT_EQ(lines[lines.size() - 2], "     Saving to Summary Log File...");
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

}  // namespace
}  // namespace bx
