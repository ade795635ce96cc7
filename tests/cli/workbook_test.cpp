// benthix-cli batch on .xlsx surveys: workbooks written by libxlsxwriter with shared strings
// (its default) and with inline strings (its constant-memory mode, as streaming writers and
// some spreadsheet programs store text), a sheet chosen by name, a date cell kept a number.
// The comparison is S = 10,11,12 against R = 14,15,16 of batch_test.cpp (Student's t).
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <fstream>

#include "cli/cli_fixture.h"
#include "survey/csv.h"
#include "cli/exit_status.h"
#include "survey/workbook_reader.h"

namespace bx::cli {
namespace {

using test::runInProcess;

// A workbook with a "notes" sheet first and the survey on "counts": R and S, S's last value
// typed as the text "12", a missing value "NA", and a date in an extra column.
std::string writeWorkbook(const std::string& name, bool inlineStrings) {
    const std::filesystem::path path = bx::test::freshScratch("workbooks") / name;
    lxw_workbook_options options{};
    options.constant_memory = inlineStrings ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(path.string().c_str(), &options);
    lxw_worksheet* notes = workbook_add_worksheet(book, "notes");
    worksheet_write_string(notes, 0, 0, "survey of 2024", nullptr);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "counts");
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    worksheet_write_string(sheet, 0, 0, "Sample", nullptr);
    worksheet_write_string(sheet, 0, 1, "value", nullptr);
    worksheet_write_string(sheet, 0, 2, "day", nullptr);
    const char* ids[] = {"R", "R", "R", "S", "S", "S", "S"};
    const double values[] = {14, 15, 16, 10, 11, 0, 0};
    for (int r = 0; r < 7; ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        worksheet_write_string(sheet, row, 0, ids[r], nullptr);
        if (r == 5) {
            worksheet_write_string(sheet, row, 1, "12", nullptr);
        } else if (r == 6) {
            worksheet_write_string(sheet, row, 1, "NA", nullptr);
        } else {
            worksheet_write_number(sheet, row, 1, values[r], nullptr);
        }
        worksheet_write_number(sheet, row, 2, 45300, date);
    }
    EXPECT_EQ(workbook_close(book), LXW_NO_ERROR);
    return path.string();
}

TEST(Workbook, SheetsReadAsSurveys) {
    for (const bool inlineStrings : {false, true}) {
        const std::string path =
            writeWorkbook(inlineStrings ? "inline.xlsx" : "shared.xlsx", inlineStrings);
        std::string error;
        const std::optional<std::string> csv = workbookSheetAsCsv(path, "counts", error);
        ASSERT_TRUE(csv) << error;
        EXPECT_EQ(*csv,
                  "Sample,value,day\nR,14,45300\nR,15,45300\nR,16,45300\nS,10,45300\n"
                  "S,11,45300\nS,12,45300\nS,NA,45300\n");
        EXPECT_EQ(workbookSheetAsCsv(path, "", error).value_or(""), "survey of 2024\n");
        EXPECT_FALSE(workbookSheetAsCsv(path, "other", error));
        EXPECT_EQ(error, "the workbook has no sheet \"other\"");

        const auto r = runInProcess("workbook-batch",
                                    {"batch", path, "--reference", "R", "--sheet", "counts"});
        EXPECT_EQ(r.status, kExitRan) << r.err;
        const CsvDocument doc = parseCsv(r.out);
        ASSERT_EQ(doc.records.size(), 2U) << r.out;
        EXPECT_EQ(doc.records[1].fields.at(17), "Student's t");
        EXPECT_EQ(doc.records[1].fields.at(20), "warning: 1 missing value left out");
    }
}

TEST(Workbook, AFileThatIsNoWorkbook) {
    const std::filesystem::path path = bx::test::freshScratch("workbooks") / "fake.xlsx";
    std::ofstream(path) << "sample,value\n";
    const auto r = runInProcess("workbook-fake", {"batch", path.string(), "--reference", "R"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err, "benthix-cli: cannot read " + path.string() +
                         ": not an .xlsx workbook (not a zip archive)\n");
}

}  // namespace
}  // namespace bx::cli
