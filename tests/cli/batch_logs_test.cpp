// The batch against the window: the same comparisons run one by one through one window with
// both logs active must give the batch's result lines and, row by row and field by field,
// the batch's own logs.
#include <gtest/gtest.h>

#include "app/execute.h"
#include "app/window_state.h"
#include "cli/cli_fixture.h"
#include "cli/csv.h"
#include "cli/dbf_reading.h"
#include "cli/exit_status.h"
#include "entry/grid.h"
#include "app/log_commands.h"
#include "app/log_commands.h"

namespace bx::cli {
namespace {

using test::readTable;
using test::runInProcess;

struct Sample {
    std::string id;
    std::vector<std::string> values;
};

// A survey over every decision path: Student's t, approximate t, Mann-Whitney, rankits, a
// refusal (two values) and a sample with text after its number.
// Each sample's path was checked with benthix-cli analyze against this reference.
const std::vector<Sample> kReference{{"REF", {"14", "14.5", "15", "15.5", "17"}}};
const std::vector<Sample> kSamples{
    {"student", {"10", "10.5", "11", "11.5", "13"}},
    {"approx", {"15", "15.1", "14.9", "15.05", "14.95"}},
    {"mann-whitney", {"10", "10", "10", "10", "12"}},
    {"rankits", {"1", "1", "1", "1", "90"}},
    {"two values", {"1", "2"}},
    {"units", {"12 mg", "13", "14"}},
};

// T_TYPE of the logged runs, in order.
const std::vector<std::string> kExpectedTests{"Student's t", "Approximate t", "Mann-Whitney",
                                              "Student's t", "Student's t"};

std::string surveyText() {
    std::string text = "sample,value\n";
    for (const Sample& s : kSamples) {
        for (const std::string& v : s.values) {
            text += s.id + "," + v + "\n";
        }
        if (&s == &kSamples[1]) {  // the reference in the middle of the file
            for (const std::string& v : kReference[0].values) {
                text += "REF," + v + "\n";
            }
        }
    }
    return text;
}

void typeSample(Grid& grid, const std::vector<std::string>& values) {
    for (int row = 1; row < Grid::kRows; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        grid.setCell(row, Grid::kDataCol, i < values.size() ? values[i] : "");
    }
}

FileDialogAnswer answerFor(const std::filesystem::path& path) {
    return {path.parent_path().string(), "/", path.filename().string()};
}

TEST(BatchLogs, SameRowsAsTheWindowRunningEachComparison) {
    const std::filesystem::path work = bx::test::freshScratch("batch-logs");

    // The window, one comparison after the other, with both logs on.
    bx::test::WindowFixture f("batch-logs-window");
    MainWindow& w = f.w();
    f.desktop.fileAnswers.push_back(answerFor(work / "wdet.dbf"));
    mnuLogDetail_Click(w);
    f.desktop.fileAnswers.push_back(answerFor(work / "wsum.dbf"));
    mnuLogSummary_Click(w);
    ASSERT_TRUE(w.ui.detailedLogging && w.ui.summaryLogging) << w.ui.Status;
    for (const Sample& s : kSamples) {
        w.ui.txtSampId.text = s.id;
        w.ui.txtRefId.text = "REF";
        typeSample(w.ui.Grid1, s.values);
        typeSample(w.ui.Grid2, kReference[0].values);
        cmdExecute_Click(w);
    }

    // The batch, on two threads, with logs of its own.
    const std::string bdet = (work / "bdet.dbf").string();
    const std::string bsum = (work / "bsum.dbf").string();
    const auto r = runInProcess("batch-logs-cli",
                                {"batch", "-", "--reference", "REF", "--detailed-log", bdet,
                                 "--summary-log", bsum, "--jobs", "2"},
                                surveyText());
    EXPECT_EQ(r.status, kExitRefused);  // "two values" is refused

    // The batch's result lines are the window's summary rows; the refused comparison has a
    // line with its reason but no row (the driver logs completed runs only).
    const test::TableRows windowSummary = readTable(work / "wsum.dbf");
    ASSERT_EQ(windowSummary.rows.size(), 1U + kSamples.size() - 1);  // the blank first row
    const CsvDocument results = parseCsv(r.out);
    ASSERT_EQ(results.records.size(), 1U + kSamples.size());
    std::size_t logged = 1;
    for (std::size_t i = 1; i < results.records.size(); ++i) {
        std::vector<std::string> fields = results.records[i].fields;
        fields.resize(windowSummary.fieldNames.size() + 1);  // up to STATUS
        const std::string status = fields.back();
        fields.pop_back();
        if (status.rfind("refused: ", 0) == 0) {
            EXPECT_EQ(fields[0], "two values");
            EXPECT_EQ(status, "refused: Sample Data entry incomplete.");
            continue;
        }
        ASSERT_LT(logged, windowSummary.rows.size());
        EXPECT_EQ(fields[17], kExpectedTests[logged - 1]) << fields[0];
        EXPECT_EQ(fields, windowSummary.rows[logged]) << "result line " << i;
        ++logged;
    }
    EXPECT_EQ(results.records[0].fields.size(), windowSummary.fieldNames.size() + 15);

    // The logs themselves, row by row.
    const test::TableRows batchSummary = readTable(bsum);
    EXPECT_EQ(batchSummary.fieldNames, windowSummary.fieldNames);
    EXPECT_EQ(batchSummary.rows, windowSummary.rows);
    const test::TableRows windowDetail = readTable(work / "wdet.dbf");
    const test::TableRows batchDetail = readTable(bdet);
    // Blank row, then per run n1 + n2 rows and a blank one: 1 + 4 * (5 + 5 + 1) + (3 + 5 + 1)
    // = 54.
    EXPECT_EQ(windowDetail.rows.size(), 54U);
    EXPECT_EQ(batchDetail.fieldNames, windowDetail.fieldNames);
    EXPECT_EQ(batchDetail.rows, windowDetail.rows);
}

TEST(BatchLogs, LogThatCannotStartStopsTheBatch) {
    const std::filesystem::path work = bx::test::freshScratch("batch-logs-fail");
    const std::string input = "sample,value\nR,1\nR,2\nR,4\nA,1\nA,2\nA,3\n";
    auto r = runInProcess("batch-logs-fail-cli",
                          {"batch", "-", "--reference", "R", "--summary-log",
                           (work / "no such folder" / "s.dbf").string()},
                          input);
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Summary Log File NOT active."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no comparison was run"), std::string::npos);

    // The same file name for both logs is refused by the Log menu, whatever the folders.
    std::filesystem::create_directories(work / "a");
    std::filesystem::create_directories(work / "b");
    r = runInProcess(
        "batch-logs-same-cli",
        {"batch", "-", "--reference", "R", "--detailed-log", (work / "a" / "log.dbf").string(),
         "--summary-log", (work / "b" / "log.dbf").string()},
        input);
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.err.find("Log File Selection: Incorrect Filename Chosen, Try again."),
              std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace bx::cli
