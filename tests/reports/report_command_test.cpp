// File > Report as a command: the layout steps in their order, the workbook read back with
// openpyxl, the messages and error numbers of the failures, and what a failure leaves behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/main_window.h"
#include "reports/report_layout.h"
#include "reports/report_test_support.h"
#include "reports/report_workbook.h"
#include "app/report_command.h"
#include "support/test_support.h"
#include "tables/table_test_helpers.h"

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

TEST(ReportLayout, CellAddressesAndNumberTexts) {
    int row = -1;
    int col = -1;
    EXPECT_TRUE(parseCellAddress("c15", row, col));
    EXPECT_EQ(std::pair(row, col), std::pair(14, 2));
    EXPECT_TRUE(parseCellAddress("J58", row, col));
    EXPECT_EQ(std::pair(row, col), std::pair(57, 9));
    for (const char* bad : {"A0", "15", "A", "Ax"}) {
        EXPECT_FALSE(parseCellAddress(bad, row, col)) << bad;
    }
    double v = 0.0;
    for (const auto& [text, value] :
         {std::pair("0.000", 0.0), std::pair("-1.586", -1.586), std::pair("1E-05", 1e-5)}) {
        EXPECT_TRUE(readsAsNumber(text, v)) << text;
        EXPECT_DOUBLE_EQ(v, value) << text;
    }
    for (const char* text : {" ", "N/A", "93.45%", ">= 1.860", "x1"}) {
        EXPECT_FALSE(readsAsNumber(text, v)) << text;
    }
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
    WindowFixture f("sheet_readback");
    if (!test::pythonHas(f.scratch, "openpyxl")) {
        GTEST_SKIP() << "python3-openpyxl is not installed";
    }
    enterStudentRun(f);
    chooseReport(f, f.scratch, "book");
    CreateReport(f.w());
    const fs::path xlsx = f.scratch / "book.xlsx";
    ASSERT_TRUE(fs::exists(xlsx));

    // One line per kind of property, the cells' entries separated by "; ". Texts stay texts,
    // numbers become numbers, blank cells stay blanks (J32: power off); labels are
    // right-aligned, values left, the replicate table centred; borders around B3:D10 and
    // A39:J58 give corners two edges and inner cells none; the stored width is 8 characters
    // plus the cell padding (8.7109375, shown to 2 decimals).
    const std::string script = R"(
import openpyxl
ws = openpyxl.load_workbook(r')" +
                               xlsx.string() +
                               R"(').active
def show(cells, f):
    print('; '.join(a + ' ' + f(ws[a]) for a in cells.split()))
print(ws.title)
show('B1 C1 C5 H5 C7 H7 A13 D13 I15 J26 J28 J32 A39 B39 C39 I39 J39 J48 A49 K1',
     lambda c: type(c.value).__name__ + ' ' + repr(c.value))
show('B1 B3 C3 G5 H5 I20 J24 A35 E40', lambda c: c.alignment.horizontal)
show('B3 D10 C5 A39 J58 E40', lambda c: ' '.join(str(s.style) for s in
     (c.border.top, c.border.bottom, c.border.left, c.border.right)))
show('B1 J58 E40', lambda c: c.font.name + ' ' + str(c.font.sz))
print(' '.join('%.2f' % ws.column_dimensions[c].width for c in 'ABCDEFGHIJ'))
)";
    test::writeBytes(f.scratch / "read_back.py", script);
    std::string out;
    EXPECT_EQ(test::runPython(f.scratch / "read_back.py", "", out), 0);
    EXPECT_EQ(out,
              "book\n"
              "B1 str 'Project Name: '; C1 str 'Lake, north'; C5 NoneType None; H5 str 'µg/L'; "
              "C7 float 10.6; H7 float 12.333; A13 str 'Shapiro-Wilk Results: '; "
              "D13 str \"Levene's Results: \"; I15 str \"Student's t\"; J26 int 8; "
              "J28 float 3.9736; J32 NoneType None; A39 int 1; B39 float 10.2; C39 float 10.2; "
              "I39 str ' '; J39 float -0.8; J48 float 0.9; A49 NoneType None; K1 NoneType None\n"
              "B1 right; B3 right; C3 left; G5 right; H5 left; I20 right; J24 left; A35 center; "
              "E40 center\n"
              "B3 thin None thin None; D10 None thin None thin; C5 None None None None; "
              "A39 thin None thin None; J58 None thin None thin; E40 None None None None\n"
              "B1 Arial 8.0; J58 Arial 8.0; E40 Arial 8.0\n"
              "8.71 8.71 8.71 8.71 8.71 8.71 8.71 8.71 8.71 8.71\n");
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

// Error numbers: the report or the workbook held open by another program (70, and the earlier
// file stays as it was), a missing folder (76), a folder without write permission (70).
TEST(SpreadsheetReport, FileErrorsGiveTheirNumbersAndKeepData) {
    enum class Fault { HeldCsv, HeldWorkbook, MissingFolder, ReadOnlyFolder };
    for (const Fault fault :
         {Fault::HeldCsv, Fault::HeldWorkbook, Fault::MissingFolder, Fault::ReadOnlyFolder}) {
        if (fault == Fault::ReadOnlyFolder && ::geteuid() == 0) {
            continue;  // permissions do not bind the superuser
        }
        WindowFixture f("sheet_fault");
        enterStudentRun(f);
        fs::path folder = f.scratch;
        const fs::path held = f.scratch / (fault == Fault::HeldCsv ? "wb.csv" : "wb.xlsx");
        if (fault == Fault::HeldCsv || fault == Fault::HeldWorkbook) {
            std::ofstream(held, std::ios::binary) << "earlier file\r\n";
            std::ofstream(f.scratch / (".~lock." + held.filename().string() + "#"))
                << "someone,host,1234;";
        } else if (fault == Fault::MissingFolder) {
            folder = f.scratch / "no such folder";
        } else {
            folder = f.scratch / "ro";
            fs::create_directories(folder);
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        }
        chooseReport(f, folder, "wb");
        CreateReport(f.w());
        if (fault == Fault::ReadOnlyFolder) {
            fs::permissions(folder, fs::perms::owner_all);
        }
        ASSERT_EQ(f.desktop.messages.size(), 1U);
        EXPECT_EQ(f.desktop.messages[0].title, "Log File Status");
        // The number, then the file and the cause in plain words.
        const std::string named =
            fault == Fault::MissingFolder    ? std::string(kFileIoMessage76) + " " +
                                                (folder / "wb.csv").string() + ": no such folder."
            : fault == Fault::ReadOnlyFolder ? std::string(kFileIoMessage70) + " " +
                                                (folder / "wb.csv").string() +
                                                ": permission denied."
                                             : std::string(kFileIoMessage70) + " " +
                                                held.string() + ": in use by another program.";
        EXPECT_EQ(f.desktop.messages[0].text, named);
        EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(f.desktop.opened.empty());
        if (fault == Fault::HeldCsv || fault == Fault::HeldWorkbook) {
            EXPECT_EQ(test::readFileBytes(held), "earlier file\r\n");
        }
        if (fault == Fault::HeldCsv) {
            EXPECT_FALSE(fs::exists(f.scratch / "wb.xlsx"));
            // The entries are as they were typed; the report steps were not posted.
            EXPECT_EQ(f.w().ui.Grid2.cell(6, 1), "11.6");
            for (const auto& l : test::statusLines(f.w().ui.Status)) {
                EXPECT_NE(l, "*** Generating Report...");
            }
        }
    }
}

}  // namespace
}  // namespace bx
