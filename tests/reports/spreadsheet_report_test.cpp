// File > Report as a command: the layout steps in their order, the workbook read back with
// openpyxl, the messages and error numbers of the failures, and what a failure leaves behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "app/main_window.h"
#include "reports/report_layout.h"
#include "reports/report_test_support.h"
#include "reports/report_workbook.h"
#include "reports/spreadsheet_report.h"
#include "support/test_support.h"

namespace bx {
namespace {

namespace fs = std::filesystem;
using test::WindowFixture;

const char* const kFileIoMessage70 =
    "File IO Error 70.  File may already be open or pathname is corrupt.";
const char* const kFileIoMessage76 =
    "File IO Error 76.  File may already be open or pathname is corrupt.";

class RecordingLayout : public ReportLayout {
  public:
    void setColumnWidth(int column, double width) override {
        calls.push_back("width " + std::to_string(column) + " " + fmt(width));
    }
    void setFontName(const std::string& name) override { calls.push_back("font " + name); }
    void setFontSize(double size) override { calls.push_back("size " + fmt(size)); }
    void setHorizontalAlignment(std::string_view first, std::string_view last,
                                int alignment) override {
        calls.push_back("align " + std::string(first) + ":" + std::string(last) + " " +
                        std::to_string(alignment));
    }
    void borderAround(std::string_view first, std::string_view last, int lineStyle) override {
        calls.push_back("border " + std::string(first) + ":" + std::string(last) + " " +
                        std::to_string(lineStyle));
    }
    std::vector<std::string> calls;

  private:
    static std::string fmt(double v) {
        std::ostringstream out;
        out << v;
        return out.str();
    }
};

TEST(ReportLayout, StepsInTheirOrderWithTheirValues) {
    RecordingLayout layout;
    layOutReport(layout);
    const std::vector<std::string> expected = {
        "width 1 8",        "width 2 8",        "width 3 8",        "width 4 8",
        "width 5 8",        "width 6 8",        "width 7 8",        "width 8 8",
        "width 9 8",        "width 10 8",       "font Arial",       "size 8",
        "align B1:B1 4",    "align B3:B10 4",   "align c3:c10 2",   "align G3:G10 4",
        "align h3:h10 2",   "align B15:B29 4",  "align e15:e27 4",  "align h15:h22 4",
        "align c15:c29 2",  "align f15:f27 2",  "align i15:i17 2",  "align I20:I20 4",
        "align I24:I33 4",  "align J24:J33 2",  "align A35:J58 3",  "border B3:D10 1",
        "border G3:I10 1",  "border A13:C33 1", "border D13:F33 1", "border G13:J33 1",
        "border A36:J38 1", "border A39:J58 1",
    };
    EXPECT_EQ(layout.calls, expected);
}

TEST(ReportLayout, CellAddresses) {
    int row = -1;
    int col = -1;
    EXPECT_TRUE(parseCellAddress("c15", row, col));
    EXPECT_EQ(row, 14);
    EXPECT_EQ(col, 2);
    EXPECT_TRUE(parseCellAddress("J58", row, col));
    EXPECT_EQ(row, 57);
    EXPECT_EQ(col, 9);
    EXPECT_FALSE(parseCellAddress("A0", row, col));
    EXPECT_FALSE(parseCellAddress("15", row, col));
    EXPECT_FALSE(parseCellAddress("A", row, col));
    EXPECT_FALSE(parseCellAddress("Ax", row, col));
}

TEST(ReportWorkbookNumbers, TextsThatReadAsNumbers) {
    double v = 0.0;
    EXPECT_TRUE(readsAsNumber("0.000", v));
    EXPECT_DOUBLE_EQ(v, 0.0);
    EXPECT_TRUE(readsAsNumber("-1.586", v));
    EXPECT_DOUBLE_EQ(v, -1.586);
    EXPECT_TRUE(readsAsNumber("1E-05", v));
    EXPECT_DOUBLE_EQ(v, 1e-5);
    EXPECT_FALSE(readsAsNumber(" ", v));
    EXPECT_FALSE(readsAsNumber("N/A", v));
    EXPECT_FALSE(readsAsNumber("93.45%", v));
    EXPECT_FALSE(readsAsNumber(">= 1.860", v));
    EXPECT_FALSE(readsAsNumber("x1", v));
    EXPECT_EQ(workbookPathFor("/r/a.csv"), "/r/a.xlsx");
    EXPECT_EQ(workbookPathFor("/r/a"), "/r/a.xlsx");
}

// Fills the grids for a Student's t run (the same replicates as the report line tests).
void enterStudentRun(WindowFixture& f) {
    test::enterReplicates(f.w(), {"10.2", "11.5", "9.8", "10.9"},
                          {"12.1", "11.8", "12.9", "13.2", "12.4", "11.6"});
    f.w().ui.txtProjectName.text = "Lake, north";
    f.w().ui.txtRefAlias.text = "µg/L";
}

void chooseReport(WindowFixture& f, const fs::path& folder, const std::string& entry) {
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder.string(), "/", entry});
}

// An interpreter with openpyxl, or "" when none is installed.
std::string pythonWithOpenpyxl() {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        const std::string command =
            std::string(candidate) + " -c \"import openpyxl\" >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) {
            return candidate;
        }
    }
    return {};
}

// Runs `script` with `python` and returns its standard output.
std::string runPython(const std::string& python, const fs::path& dir, const std::string& script) {
    const fs::path file = dir / "read_back.py";
    std::ofstream(file) << script;
    const std::string command = python + " " + file.string() + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[4096];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        out += buffer;
    }
    return out;
}

TEST(SpreadsheetReport, WritesCsvAndWorkbookAndAsksToOpenIt) {
    WindowFixture f("sheet_ok");
    enterStudentRun(f);
    chooseReport(f, f.scratch, "run one");
    CreateReport(f.w());

    ASSERT_EQ(f.desktop.dialogCaptions.size(), 1U);
    EXPECT_EQ(f.desktop.dialogCaptions[0], "New Report File");
    EXPECT_TRUE(f.desktop.messages.empty());
    EXPECT_TRUE(fs::exists(f.scratch / "runone.csv"));
    const fs::path xlsx = f.scratch / "runone.xlsx";
    ASSERT_TRUE(fs::exists(xlsx));
    ASSERT_EQ(f.desktop.opened.size(), 1U);
    EXPECT_EQ(f.desktop.opened[0], xlsx.string());
    EXPECT_EQ(f.w().ui.reportFolder, f.scratch.string() + "/");

    const auto lines = test::statusLines(f.w().ui.Status);
    ASSERT_GE(lines.size(), 5U);
    EXPECT_EQ(lines[lines.size() - 4], "*** Generating Report...");
    EXPECT_EQ(lines[lines.size() - 3], "     Initializing Report Database...");
    EXPECT_EQ(lines[lines.size() - 2], "*** Creating the Report");
    EXPECT_EQ(lines[lines.size() - 1], "*** Report Complete.");
    // No temporary files are left beside the report.
    for (const auto& entry : fs::directory_iterator(f.scratch)) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    }
}

TEST(SpreadsheetReport, WorkbookCellsAndLayoutReadBack) {
    const std::string python = pythonWithOpenpyxl();
    if (python.empty()) {
        GTEST_SKIP() << "python3-openpyxl is not installed";
    }
    WindowFixture f("sheet_readback");
    enterStudentRun(f);
    chooseReport(f, f.scratch, "book");
    CreateReport(f.w());
    const fs::path xlsx = f.scratch / "book.xlsx";
    ASSERT_TRUE(fs::exists(xlsx));

    const std::string script = R"(
import openpyxl
wb = openpyxl.load_workbook(r')" +
                               xlsx.string() + R"(')
ws = wb.active
print('sheet', ws.title)
for a in ['B1', 'C1', 'C5', 'H5', 'C7', 'H7', 'A13', 'D13', 'I15', 'J26', 'J28', 'J32',
          'A39', 'B39', 'C39', 'I39', 'J39', 'J48', 'A49', 'K1']:
    c = ws[a]
    print(a, type(c.value).__name__, repr(c.value))
for a in ['B1', 'B3', 'C3', 'G5', 'H5', 'I20', 'J24', 'A35', 'E40']:
    c = ws[a]
    print('align', a, c.alignment.horizontal)
for a in ['B3', 'D10', 'C5', 'A39', 'J58', 'E40']:
    b = ws[a].border
    print('border', a, b.top.style, b.bottom.style, b.left.style, b.right.style)
for a in ['B1', 'J58', 'E40']:
    print('font', a, ws[a].font.name, ws[a].font.sz)
for col in 'ABCDEFGHIJ':
    print('width', col, ws.column_dimensions[col].width)
)";
    const std::string out = runPython(python, f.scratch, script);
    std::map<std::string, std::string> seen;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const auto firstSpace = line.find(' ');
        if (line.rfind("align", 0) == 0 || line.rfind("border", 0) == 0 ||
            line.rfind("font", 0) == 0 || line.rfind("width", 0) == 0) {
            const auto second = line.find(' ', firstSpace + 1);
            seen[line.substr(0, second)] = line.substr(second + 1);
        } else if (firstSpace != std::string::npos) {
            seen[line.substr(0, firstSpace)] = line.substr(firstSpace + 1);
        }
    }
    ASSERT_FALSE(seen.empty()) << out;
    EXPECT_EQ(seen["sheet"], "book");
    // Texts stay texts, numbers become numbers, blank cells stay blanks.
    EXPECT_EQ(seen["B1"], "str 'Project Name: '");
    EXPECT_EQ(seen["C1"], "str 'Lake, north'");
    EXPECT_EQ(seen["H5"], "str 'µg/L'");
    EXPECT_EQ(seen["C5"], "NoneType None");
    EXPECT_EQ(seen["C7"], "float 10.6");
    EXPECT_EQ(seen["H7"], "float 12.333");
    EXPECT_EQ(seen["A13"], "str 'Shapiro-Wilk Results: '");
    EXPECT_EQ(seen["D13"], "str \"Levene's Results: \"");
    EXPECT_EQ(seen["I15"], "str \"Student's t\"");
    EXPECT_EQ(seen["J26"], "int 8");
    EXPECT_EQ(seen["J28"], "float 3.9736");
    EXPECT_EQ(seen["J32"], "NoneType None");  // power off: an empty field
    EXPECT_EQ(seen["A39"], "int 1");
    EXPECT_EQ(seen["B39"], "float 10.2");
    EXPECT_EQ(seen["C39"], "float 10.2");
    EXPECT_EQ(seen["I39"], "str ' '");
    EXPECT_EQ(seen["J39"], "float -0.8");
    EXPECT_EQ(seen["J48"], "float 0.9");
    EXPECT_EQ(seen["A49"], "NoneType None");
    EXPECT_EQ(seen["K1"], "NoneType None");
    // Alignments: labels right, values left, the replicate table centred.
    EXPECT_EQ(seen["align B1"], "right");
    EXPECT_EQ(seen["align B3"], "right");
    EXPECT_EQ(seen["align C3"], "left");
    EXPECT_EQ(seen["align G5"], "right");
    EXPECT_EQ(seen["align H5"], "left");
    EXPECT_EQ(seen["align I20"], "right");
    EXPECT_EQ(seen["align J24"], "left");
    EXPECT_EQ(seen["align A35"], "center");
    EXPECT_EQ(seen["align E40"], "center");
    // Borders around B3:D10 and A39:J58: corners carry two edges, inner cells none.
    EXPECT_EQ(seen["border B3"], "thin None thin None");
    EXPECT_EQ(seen["border D10"], "None thin None thin");
    EXPECT_EQ(seen["border C5"], "None None None None");
    EXPECT_EQ(seen["border A39"], "thin None thin None");
    EXPECT_EQ(seen["border J58"], "None thin None thin");
    EXPECT_EQ(seen["border E40"], "None None None None");
    EXPECT_EQ(seen["font B1"], "Arial 8.0");
    EXPECT_EQ(seen["font J58"], "Arial 8.0");
    EXPECT_EQ(seen["font E40"], "Arial 8.0");
    for (const char* col : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"}) {
        // openpyxl reports the stored width: 8 characters plus the cell padding (8.7109375).
        EXPECT_NEAR(std::stod(seen[std::string("width ") + col]), 8.71, 0.01) << col;
    }
}

TEST(SpreadsheetReport, NoApplicationToOpenTheWorkbookIsReported) {
    WindowFixture f("sheet_noopen");
    f.desktop.openSucceeds = false;
    enterStudentRun(f);
    chooseReport(f, f.scratch, "noopen");
    CreateReport(f.w());
    const auto lines = test::statusLines(f.w().ui.Status);
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines[lines.size() - 2],
              "     Report workbook saved as <" + (f.scratch / "noopen.xlsx").string() + ">.");
    EXPECT_EQ(lines.back(), "*** Report Complete.");
}

TEST(SpreadsheetReport, CancelAndEmptyNames) {
    WindowFixture f("sheet_cancel");
    enterStudentRun(f);
    f.desktop.fileAnswers.push_back(std::nullopt);
    const std::string statusBefore = f.w().ui.Status;
    CreateReport(f.w());
    EXPECT_TRUE(f.desktop.messages.empty());
    EXPECT_EQ(f.w().ui.Status, statusBefore);  // no run either

    chooseReport(f, f.scratch, "");
    CreateReport(f.w());
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].title, "Log File Selection");
    EXPECT_EQ(f.desktop.messages[0].text, "Incorrect Filename Chosen, Try again.");
    EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(f.w().ui.Status, statusBefore);
    EXPECT_FALSE(fs::exists(f.scratch / ".csv"));
}

TEST(SpreadsheetReport, InvalidEntriesStopBeforeAnyFile) {
    WindowFixture f("sheet_invalid");
    test::enterReplicates(f.w(), {"1", "2"}, {"3", "4", "5"});  // too few test values
    chooseReport(f, f.scratch, "bad");
    CreateReport(f.w());
    EXPECT_FALSE(fs::exists(f.scratch / "bad.csv"));
    EXPECT_FALSE(fs::exists(f.scratch / "bad.xlsx"));
    const auto lines = test::statusLines(f.w().ui.Status);
    for (const auto& l : lines) {
        EXPECT_NE(l, "*** Executing Stats ...");
    }
}

// Error numbers: a report held open by another program (70), a folder that is missing (76),
// a folder without write permission (70). The earlier report stays as it was.
TEST(SpreadsheetReport, ReportHeldOpenElsewhereFailsWith70AndKeepsData) {
    WindowFixture f("sheet_locked");
    enterStudentRun(f);
    const fs::path csv = f.scratch / "held.csv";
    std::ofstream(csv, std::ios::binary) << "earlier report\r\n";
    std::ofstream(f.scratch / ".~lock.held.csv#") << "someone,host,1234;";
    chooseReport(f, f.scratch, "held");
    CreateReport(f.w());

    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].title, "Log File Status");
    EXPECT_EQ(f.desktop.messages[0].text, kFileIoMessage70);
    EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(test::readFileBytes(csv), "earlier report\r\n");
    EXPECT_FALSE(fs::exists(f.scratch / "held.xlsx"));
    EXPECT_TRUE(f.desktop.opened.empty());
    // The entries are as they were typed; the run's steps 8 and 10 were not posted.
    EXPECT_EQ(f.w().ui.Grid1.cell(1, 1), "10.2");
    EXPECT_EQ(f.w().ui.Grid2.cell(6, 1), "11.6");
    EXPECT_EQ(f.w().ui.txtProjectName.text, "Lake, north");
    for (const auto& l : test::statusLines(f.w().ui.Status)) {
        EXPECT_NE(l, "*** Generating Report...");
        EXPECT_NE(l, "*** Report Complete.");
    }
}

TEST(SpreadsheetReport, WorkbookHeldOpenElsewhereFailsWith70) {
    WindowFixture f("sheet_locked_xlsx");
    enterStudentRun(f);
    const fs::path xlsx = f.scratch / "wb.xlsx";
    std::ofstream(xlsx, std::ios::binary) << "earlier workbook";
    std::ofstream(f.scratch / ".~lock.wb.xlsx#") << "someone,host,1234;";
    chooseReport(f, f.scratch, "wb");
    CreateReport(f.w());
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].text, kFileIoMessage70);
    EXPECT_EQ(test::readFileBytes(xlsx), "earlier workbook");
    EXPECT_TRUE(f.desktop.opened.empty());
}

TEST(SpreadsheetReport, MissingFolderFailsWith76) {
    WindowFixture f("sheet_missing");
    enterStudentRun(f);
    chooseReport(f, f.scratch / "no such folder", "gone");
    CreateReport(f.w());
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].title, "Log File Status");
    EXPECT_EQ(f.desktop.messages[0].text, kFileIoMessage76);
}

TEST(SpreadsheetReport, ReadOnlyFolderFailsWith70) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    WindowFixture f("sheet_readonly");
    enterStudentRun(f);
    const fs::path folder = f.scratch / "ro";
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    chooseReport(f, folder, "ro");
    CreateReport(f.w());
    fs::permissions(folder, fs::perms::owner_all);
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].text, kFileIoMessage70);
}

}  // namespace
}  // namespace bx
