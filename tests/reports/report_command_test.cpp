// SPDX-License-Identifier: MIT
// File > Report as a command: the files it writes, the workbook read back with openpyxl (an
// independent reader: cell types, alignment, borders, fonts and widths of the layout), the
// messages and error numbers of the failures, and what a failure leaves behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/options.h"
#include "app/report_command.h"
#include "reports/report_workbook.h"
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

// Fills the grids for a Student's t run (the same replicates as the report line tests).
void enterStudentRun(WindowFixture& f) {
    test::typeReplicates(f.w(), {"10.2", "11.5", "9.8", "10.9"},
                         {"12.1", "11.8", "12.9", "13.2", "12.4", "11.6"});
    f.w().ui.txtProjectName.text = "Lake, north";
    f.w().ui.txtRefAlias.text = "µg/L";
}

void chooseReport(WindowFixture& f, const fs::path& folder, const std::string& entry) {
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder.string(), "/", entry});
}

// The name goes through the dialog's rules ("run one" -> runone); the workbook is opened, or,
// where no application opens it, its path is posted. On screen the status list names both
// files, and a workbook that no program opened is announced with both paths; the name the rules
// changed is announced before anything is written.
TEST(SpreadsheetReport, WritesCsvAndWorkbookAndOpensIt) {
    for (const bool onScreen : {false, true}) {
        for (const bool opens : {true, false}) {
            WindowFixture f("sheet_ok");
            f.w().ui.onScreen = onScreen;
            f.desktop.openSucceeds = opens;
            enterStudentRun(f);
            chooseReport(f, f.scratch, "run one");
            CreateReport(f.w());
            EXPECT_EQ(f.desktop.dialogCaptions, std::vector<std::string>{"New Report File"});
            const std::string csv = (f.scratch / "runone.csv").string();
            const std::string xlsx = (f.scratch / "runone.xlsx").string();
            EXPECT_TRUE(fs::exists(csv));
            EXPECT_EQ(f.desktop.opened, std::vector<std::string>{xlsx});
            EXPECT_EQ(f.w().ui.reportFolder, f.scratch.string() + "/");
            const auto lines = test::statusLines(f.w().ui.Status);
            std::vector<std::string> expected{"*** Generating Report...",
                                              "     Initializing Report Database...",
                                              "*** Creating the Report", "*** Report Complete."};
            if (onScreen) {
                expected.insert(expected.end() - 1,
                                opens ? "     Report saved as <" + csv + "> and <" + xlsx + ">."
                                      : "     No program opened the report. It is saved as <" +
                                            csv + "> and <" + xlsx + ">.");
            } else if (!opens) {
                expected.insert(expected.end() - 1,
                                "     Report workbook saved as <" + xlsx + ">.");
            }
            ASSERT_GE(lines.size(), expected.size());
            EXPECT_EQ(std::vector<std::string>(
                          lines.end() - static_cast<std::ptrdiff_t>(expected.size()), lines.end()),
                      expected);
            // On screen the cleaned name is announced first.
            ASSERT_EQ(f.desktop.messages.size(), onScreen ? (opens ? 1U : 2U) : 0U);
            if (onScreen) {
                EXPECT_EQ(f.desktop.messages[0].text,
                          "Saved as runone.csv: blanks are not allowed in names.");
            }
            if (onScreen && !opens) {
                EXPECT_EQ(f.desktop.messages[1].text,
                          "No program could open the report workbook.\n\nThe report is saved "
                          "as\n" +
                              csv + "\nand\n" + xlsx);
            }
            // No temporary files are left beside the report.
            for (const auto& entry : fs::directory_iterator(f.scratch)) {
                EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
            }
        }
    }
}

TEST(SpreadsheetReport, WorkbookCellsAndLayoutReadBack) {
    WindowFixture f("sheet_readback");
    if (!test::pythonHas(f.scratch, "openpyxl")) {
        GTEST_SKIP() << "python3-openpyxl is not installed";
    }
    enterStudentRun(f);
    mnuPowerCalculation_Click(f.w());
    f.w().ui.txtDiff_levl.text = "1.5";
    chooseReport(f, f.scratch, "book");
    CreateReport(f.w());
    const fs::path xlsx = f.scratch / "book.xlsx";
    ASSERT_TRUE(fs::exists(xlsx));

    // One line per kind of property, the cells' entries separated by "; ". Texts stay texts
    // (also those that start with a number: ">= 1.860", "93.45%"), numbers become numbers,
    // blank cells stay blanks (C5: no alias); labels are
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
show('B1 C1 C5 H5 C7 H7 A13 D13 I15 J26 J28 J29 J32 A39 B39 C39 I39 J39 J48 A49 K1',
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
              "J28 float 3.9736; J29 str '>= 1.860'; J32 str '93.45%'; A39 int 1; "
              "B39 float 10.2; C39 float 10.2; "
              "I39 str ' '; J39 float -0.8; J48 float 0.9; A49 NoneType None; K1 NoneType None\n"
              "B1 right; B3 right; C3 left; G5 right; H5 left; I20 right; J24 left; A35 center; "
              "E40 center\n"
              "B3 thin None thin None; D10 None thin None thin; C5 None None None None; "
              "A39 thin None thin None; J58 None thin None thin; E40 None None None None\n"
              "B1 Arial 8.0; J58 Arial 8.0; E40 Arial 8.0\n"
              "8.71 8.71 8.71 8.71 8.71 8.71 8.71 8.71 8.71 8.71\n");
}

// Cancel, an empty name and entries that fail the check write nothing (and run nothing).
TEST(SpreadsheetReport, CancelEmptyNamesAndInvalidEntriesWriteNothing) {
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

    test::typeReplicates(f.w(), {"1", "2"}, {"3", "4", "5"});  // too few test values
    chooseReport(f, f.scratch, "bad");
    CreateReport(f.w());
    for (const auto& l : test::statusLines(f.w().ui.Status)) {
        EXPECT_NE(l, "*** Executing Stats ...");
    }
    EXPECT_FALSE(fs::exists(f.scratch / "bad.csv"));
    EXPECT_FALSE(fs::exists(f.scratch / "bad.xlsx"));
}

// Error numbers: the report or the workbook held open by another program (70, and the earlier
// file stays as it was), a missing folder (76).
TEST(SpreadsheetReport, FileErrorsGiveTheirNumbersAndKeepData) {
    enum class Fault { HeldCsv, HeldWorkbook, MissingFolder };
    for (const Fault fault : {Fault::HeldCsv, Fault::HeldWorkbook, Fault::MissingFolder}) {
        WindowFixture f("sheet_fault");
        enterStudentRun(f);
        const bool held = fault != Fault::MissingFolder;
        const fs::path heldFile = f.scratch / (fault == Fault::HeldCsv ? "wb.csv" : "wb.xlsx");
        if (held) {
            std::ofstream(heldFile, std::ios::binary) << "earlier file\r\n";
            std::ofstream(f.scratch / (".~lock." + heldFile.filename().string() + "#"))
                << "someone,host,1234;";
        }
        chooseReport(f, held ? f.scratch : f.scratch / "no such folder", "wb");
        CreateReport(f.w());
        ASSERT_EQ(f.desktop.messages.size(), 1U);
        EXPECT_EQ(f.desktop.messages[0].title, "Log File Status");
        // The number, then the file and the cause in plain words.
        const std::string named = held ? std::string(kFileIoMessage70) + " " + heldFile.string() +
                                             ": in use by another program."
                                       : std::string(kFileIoMessage76) + " " +
                                             (f.scratch / "no such folder" / "wb.csv").string() +
                                             ": no such folder.";
        EXPECT_EQ(f.desktop.messages[0].text, named);
        EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(f.desktop.opened.empty());
        if (held) {
            EXPECT_EQ(test::readFileBytes(heldFile), "earlier file\r\n");
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

// The sheet takes the report's name, less what a sheet name cannot hold: the characters
// [ ] : * ? / \\, apostrophes at either end, and characters beyond the 31st (counted as
// characters, not bytes: "é" is two); without a usable name the sheet is "Sheet1". Read back
// from xl/workbook.xml with python's zipfile.
TEST(SpreadsheetReport, SheetNamesAreCutToWhatASheetHolds) {
    const fs::path dir = test::freshScratch("sheet_names");
    const std::string e40 = [] {
        std::string s;
        for (int i = 0; i < 40; ++i) {
            s += "\xC3\xA9";
        }
        return s;
    }();
    const struct {
        std::string name;
        std::string sheet;
    } kCases[] = {
        {"a[b]c:d*e?f/g\\h", "abcdefgh"},
        {"''quoted'", "quoted"},
        {"station_2024_north_bank_upstream_A", "station_2024_north_bank_upstrea"},
        {e40, e40.substr(0, 62)},
        {"[]", "Sheet1"},
    };
    test::writeBytes(dir / "sheet.py",
                     "import re, sys, zipfile\n"
                     "xml = zipfile.ZipFile(sys.argv[1]).read('xl/workbook.xml').decode()\n"
                     "sys.stdout.write(re.search(r'<sheet name=\"([^\"]*)\"', xml).group(1))\n");
    for (const auto& c : kCases) {
        const fs::path book = dir / "book.xlsx";
        ASSERT_FALSE(ReportWorkbook().save(book.string(), c.name, {}));
        std::string sheet;
        ASSERT_EQ(test::runPython(dir / "sheet.py", "'" + book.string() + "'", sheet), 0) << sheet;
        EXPECT_EQ(sheet, c.sheet) << c.name;
    }
}

// On screen an existing report or workbook is replaced only after a Yes (No is the default);
// after a No both files keep every byte and nothing runs.
TEST(SpreadsheetReport, ExistingFilesAreKeptUnlessReplacingIsConfirmed) {
    WindowFixture f("sheet_replace");
    enterStudentRun(f);
    f.w().ui.onScreen = true;
    std::ofstream(f.scratch / "old.csv", std::ios::binary) << "earlier report\r\n";
    std::ofstream(f.scratch / "old.xlsx", std::ios::binary) << "earlier workbook";
    chooseReport(f, f.scratch, "old");
    f.desktop.answers.push_back(MessageAnswer::No);
    CreateReport(f.w());
    ASSERT_FALSE(f.desktop.messages.empty());
    EXPECT_EQ(f.desktop.messages.back().buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_NE(f.desktop.messages.back().text.find("already exist. Replace them?"),
              std::string::npos);
    EXPECT_EQ(test::readFileBytes(f.scratch / "old.csv"), "earlier report\r\n");
    EXPECT_EQ(test::readFileBytes(f.scratch / "old.xlsx"), "earlier workbook");

    chooseReport(f, f.scratch, "old");
    f.desktop.answers.push_back(MessageAnswer::Yes);
    CreateReport(f.w());
    EXPECT_NE(test::readFileBytes(f.scratch / "old.csv"), "earlier report\r\n");
    EXPECT_EQ(test::readFileBytes(f.scratch / "old.xlsx").substr(0, 2), "PK");
}

}  // namespace
}  // namespace bx
