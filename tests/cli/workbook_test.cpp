// SPDX-License-Identifier: MIT
// benthix-cli batch on .xlsx surveys: workbooks written by libxlsxwriter with shared strings
// (its default) and with inline strings (its constant-memory mode, as streaming writers and
// some spreadsheet programs store text), a sheet chosen by name, a date cell kept a number.
// The comparison is S = 10,11,12 against R = 14,15,16 of batch_test.cpp (Student's t).
// Sheets written by hand (zipped with libzip) hold what libxlsxwriter does not write: formulas
// without a stored result, error cells, hostile row and cell numbers.
#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <deque>
#include <fstream>
#include <iterator>

#include "cli/cli_fixture.h"
#include "cli/exit_status.h"
#include "survey/csv.h"
#include "survey/survey.h"
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
        const std::optional<WorkbookSheet> sheet = workbookSheetAsCsv(path, "counts", error);
        ASSERT_TRUE(sheet) << error;
        EXPECT_EQ(sheet->csv,
                  "Sample,value,day\nR,14,45300\nR,15,45300\nR,16,45300\nS,10,45300\n"
                  "S,11,45300\nS,12,45300\nS,NA,45300\n");
        EXPECT_EQ(workbookSheetAsCsv(path, "", error).value_or(WorkbookSheet{}).csv,
                  "survey of 2024\n");
        EXPECT_FALSE(workbookSheetAsCsv(path, "other", error));
        EXPECT_EQ(error, "the workbook has no sheet \"other\"");
        // The survey window's sheet list: every sheet, in the workbook's order.
        EXPECT_EQ(workbookSheetNames(path, error), (std::vector<std::string>{"notes", "counts"}));

        const auto r = runInProcess("workbook-batch",
                                    {"batch", path, "--reference", "R", "--sheet", "counts"});
        EXPECT_EQ(r.status, kExitRan) << r.err;
        const CsvDocument doc = parseCsv(r.out);
        ASSERT_EQ(doc.records.size(), 2U) << r.out;
        EXPECT_EQ(doc.records[1].fields.at(17), "Student's t");
        EXPECT_EQ(doc.records[1].fields.at(20), "warning: 1 missing value left out");
    }
}

// A missing cell is an empty field (a lost replicate in the last column is a missing value), a
// formula gives its stored result, an empty row is left out with lines still naming rows, and
// a logical or a date outside the value column is no obstacle.
TEST(Workbook, BlankCellsFormulaResultsAndRemarks) {
    const std::filesystem::path path = bx::test::freshScratch("workbooks") / "blanks.xlsx";
    lxw_workbook* book = workbook_new(path.string().c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "d mmm yyyy");
    worksheet_write_string(sheet, 0, 0, "sample", nullptr);
    worksheet_write_string(sheet, 0, 1, "remark", nullptr);
    worksheet_write_string(sheet, 0, 2, "value", nullptr);
    for (int r = 0; r < 8; ++r) {
        const auto row = static_cast<lxw_row_t>(r < 3 ? r + 1 : r + 2);  // row 5 stays empty
        worksheet_write_string(sheet, row, 0, r < 3 ? "R" : "S", nullptr);
        if (r < 7) {
            worksheet_write_number(sheet, row, 2, (r < 3 ? 14 : 7) + r, nullptr);
        }
    }
    worksheet_write_formula_num(sheet, 2, 2, "=14+1", nullptr, 15);
    worksheet_write_boolean(sheet, 1, 1, 1, nullptr);
    worksheet_write_number(sheet, 2, 1, 45300, date);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);

    std::string error;
    const std::optional<WorkbookSheet> read = workbookSheetAsCsv(path.string(), "", error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->csv,
              "sample,remark,value\nR,TRUE,14\nR,45300,15\nR,,16\nS,,10\nS,,11\nS,,12\nS,,13\n"
              "S,,\n");
    EXPECT_EQ(read->rowOfLine, (std::vector<int>{1, 2, 3, 4, 6, 7, 8, 9, 10}));
    const Survey survey = readSurvey(*read);
    ASSERT_TRUE(survey.errors.empty()) << survey.errors[0].reason;
    EXPECT_EQ(survey.sample(1).values, (std::vector<std::string>{"10", "11", "12", "13"}));
    EXPECT_EQ(survey.sample(1).valueLines, (std::vector<int>{6, 7, 8, 9}));
    EXPECT_EQ(survey.sample(1).missing, 1);
}

// A workbook of one sheet, "data", holding `rows` (the content of <sheetData>), with the styles
// and shared strings given.
std::string handMade(const std::string& name, const std::string& rows,
                     const std::string& styles = "", const std::string& strings = "") {
    const std::string path = (bx::test::freshScratch("workbooks") / name).string();
    const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    std::deque<std::string> parts;  // kept until the archive is written
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    const auto add = [&](const char* part, std::string text) {
        const std::string& kept = parts.emplace_back(std::move(text));
        zip_file_add(archive, part, zip_source_buffer(archive, kept.data(), kept.size(), 0), 0);
    };
    add("xl/workbook.xml", "<workbook " + ns +
                               " xmlns:r=\"r\"><sheets><sheet name=\"data\" "
                               "sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    add("xl/_rels/workbook.xml.rels",
        "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>"
        "</Relationships>");
    add("xl/worksheets/sheet1.xml",
        "<worksheet " + ns + "><sheetData>" + rows + "</sheetData></worksheet>");
    if (!styles.empty()) {
        add("xl/styles.xml", "<styleSheet " + ns + ">" + styles + "</styleSheet>");
    }
    if (!strings.empty()) {
        add("xl/sharedStrings.xml", "<sst " + ns + ">" + strings + "</sst>");
    }
    EXPECT_EQ(zip_close(archive), 0);
    return path;
}

// Styles 1 and 2 show dates (a built-in format and one of the workbook's own), style 3 a
// number with a unit; the cellStyleXfs before cellXfs are no cell formats.
const std::string kStyles =
    "<numFmts><numFmt numFmtId=\"164\" formatCode=\"[$-409]d\\-mmm\\-yy;@\"/>"
    "<numFmt numFmtId=\"165\" formatCode=\"0.0&quot; mg&quot;\"/></numFmts>"
    "<cellStyleXfs><xf numFmtId=\"22\"/></cellStyleXfs><cellXfs><xf numFmtId=\"0\"/>"
    "<xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"165\"/></cellXfs>";

// A row of the hand-made sheets: an inline-string sample id, then the cells given.
std::string row(int r, const std::string& id, const std::string& cells) {
    const std::string n = std::to_string(r);
    return "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"inlineStr\"><is><t>" + id +
           "</t></is></c>" + cells + "</row>";
}

// Each cell that cannot be read as a value is refused by its reference where the value column
// reads it; dates, logicals and errors elsewhere are no obstacle, a formula's text result is
// text, and rows far apart keep their numbers.
TEST(Workbook, CellsRefusedByReference) {
    const std::string header =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c></row>";
    const std::string strings =
        "<si><t>sample</t></si><si><t>value</t></si><si><r><t>re</t></r>"
        "<r><t>mark</t></r><rPh><t>x</t></rPh></si>";
    const std::string fine =
        row(2, "S", "<c r=\"B2\" s=\"3\"><v>12.5</v></c><c r=\"C2\" s=\"1\"><v>45300</v></c>") +
        row(3, "S", "<c r=\"B3\"><f>B2</f><v>12.5</v></c><c r=\"C3\" t=\"e\"><v>#N/A</v></c>") +
        row(4, "S",
            "<c r=\"B4\" t=\"str\"><f>\"7\"</f><v>7</v></c><c r=\"C4\" t=\"b\"><v>0</v>"
            "</c>") +
        row(1048576, "Station Süd",
            "<c r=\"B1048576\"><v>3</v></c><c r=\"XFD1048576\">"
            "<v>9</v></c>");
    std::string error;
    std::optional<WorkbookSheet> sheet =
        workbookSheetAsCsv(handMade("fine.xlsx", header + fine, kStyles, strings), "", error);
    ASSERT_TRUE(sheet) << error;
    EXPECT_EQ(sheet->csv,
              "sample,value,remark\nS,12.5,45300\nS,12.5,#N/A\nS,7,FALSE\nStation Süd,3,\n");
    Survey survey = readSurvey(*sheet);
    ASSERT_TRUE(survey.errors.empty()) << survey.errors[0].reason;
    EXPECT_EQ(survey.sample(1).valueLines, std::vector<int>{1048576});

    const struct {
        std::string cells;
        std::string reason;
    } kRefused[] = {
        {row(7, "S", "<c r=\"B7\" s=\"1\"><v>45300</v></c>"),
         "cell B7 holds a date; a value must be a number"},
        {row(7, "S", "<c r=\"B7\" s=\"2\"><v>45300.5</v></c>"),
         "cell B7 holds a date; a value must be a number"},
        {row(7, "S", "<c r=\"B7\" t=\"b\"><v>1</v></c>"),
         "cell B7 holds TRUE; a value must be a number"},
        {row(7, "S", "<c r=\"B7\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>"),
         "cell B7 holds the error #DIV/0!"},
        {row(7, "S", "<c r=\"B7\"><f>SUM(B2:B4)</f></c>"),
         "cell B7 holds a formula without a stored result (open and save the workbook in a "
         "spreadsheet program first)"},
        {"<row r=\"7\"><c r=\"A7\" t=\"str\"><f>D1</f></c><c r=\"B7\"><v>1</v></c></row>",
         "cell A7 holds a formula without a stored result (open and save the workbook in a "
         "spreadsheet program first)"},
    };
    for (const auto& c : kRefused) {
        sheet = workbookSheetAsCsv(
            handMade("refused.xlsx", header + fine + c.cells, kStyles, strings), "", error);
        ASSERT_TRUE(sheet) << error;
        survey = readSurvey(*sheet);
        ASSERT_EQ(survey.errors.size(), 1U) << c.cells;
        EXPECT_EQ(survey.errors[0].line, 7);
        EXPECT_EQ(survey.errors[0].reason, c.reason);
    }
    const auto r =
        runInProcess("workbook-refused",
                     {"batch", handMade("batch.xlsx", header + kRefused[0].cells, kStyles, strings),
                      "--reference", "S"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(
        r.err.find(".xlsx:7: malformed line: cell B7 holds a date; a value must be a number\n"),
        std::string::npos)
        << r.err;
}

// Rows and cells beyond the sheet's bounds, numbers too large for any integer, strings the
// workbook lacks and parts that unpack to too much are refused at once, by name.
TEST(Workbook, HostileNumbersAndSizes) {
    const std::string bounds = " is outside the sheet (rows 1 to 1048576, columns A to XFD)";
    const struct {
        std::string rows;
        std::string error;
    } kCases[] = {
        {"<row r=\"2147483647\"><c r=\"A2147483647\"><v>1</v></c></row>",
         "row 2147483647" + bounds},
        {"<row r=\"99999999999\"/>", "row 99999999999" + bounds},
        {"<row r=\"7\"><c r=\"ZZZZZZ7\"><v>1</v></c></row>", "cell reference ZZZZZZ7" + bounds},
        {"<row r=\"7\"><c r=\"A99999999999\"><v>1</v></c></row>",
         "cell reference A99999999999" + bounds},
        {"<row r=\"7\"><c r=\"XFE7\"/></row>", "cell reference XFE7" + bounds},
        {"<row r=\"1048576\"/><row/>", "a row after row 1048576" + bounds},
        {"<row r=\"7\"><c r=\"7\"/></row>", "\"7\" in row 7 is no cell reference"},
        {"<row r=\"2\"><c r=\"A2\" t=\"s\"><v>99999999999999999999</v></c></row>",
         "cell A2 refers to a shared string the workbook does not hold "
         "(\"99999999999999999999\")"},
    };
    std::string error;
    for (const auto& c : kCases) {
        EXPECT_FALSE(workbookSheetAsCsv(handMade("hostile.xlsx", c.rows), "", error)) << c.rows;
        EXPECT_EQ(error, "sheet \"data\" cannot be read: " + c.error);
    }

    // A sheet that says it unpacks to 1 GiB (its sizes in the archive's headers altered).
    const std::string path = handMade("huge.xlsx", "<row r=\"1\"/>");
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string name = "xl/worksheets/sheet1.xml";
    for (std::size_t at = bytes.find(name); at != std::string::npos;
         at = bytes.find(name, at + 1)) {
        const bool central = bytes.compare(at - 46, 4, "PK\1\2") == 0;
        ASSERT_TRUE(central || bytes.compare(at - 30, 4, "PK\3\4") == 0);
        bytes.replace(at - (central ? 46 : 30) + (central ? 24 : 22), 4, "\0\0\0\x40", 4);
    }
    std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_FALSE(workbookSheetAsCsv(path, "", error));
    EXPECT_EQ(error,
              "sheet \"data\" cannot be read: its part xl/worksheets/sheet1.xml unpacks to "
              "more than 512 MiB");
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
