// SPDX-License-Identifier: MIT
// File > Save As and Load From: the rows a save writes, round trips, the saves that are
// refused or fail, and files the window must refuse without losing its data. (Load From with
// the real dialog and a dropped file: tests/gui/files_test.cpp.)
// Transformed values: log10(x + 1) computed in python3 as math.log(x + 1) / math.log(10) (the
// program's form of the transformation), written with 15 significant digits as the program's
// number-to-text conversion does, e.g. log10(11.2) = 1.04921802267018 and log10(13.9) =
// 1.143014800254095 -> 1.14301480025409.

#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "app/clearing.h"
#include "app/sample_commands.h"
#include "datafiles/sample_file.h"
#include "datafiles/sample_record.h"
#include "entry/grid.h"
#include "support/test_support.h"
#include "tables/dbf_table.h"

namespace bx {
namespace {

namespace fs = std::filesystem;
using test::WindowFixture;
using Row = test::TableRow;
using test::answerDialog;

// The window's data as a test sees them: fields and both grids.
std::vector<std::string> windowData(MainWindow& w) {
    std::vector<std::string> data = {w.ui.txtProjectName.text, w.ui.txtSampId.text,
                                     w.ui.txtSampAlias.text, w.ui.txtRefId.text,
                                     w.ui.txtRefAlias.text};
    for (int row = 1; row < Grid::kRows; ++row) {
        for (int col = 1; col < Grid::kCols; ++col) {
            data.push_back(w.ui.Grid1.cell(row, col));
            data.push_back(w.ui.Grid2.cell(row, col));
        }
    }
    return data;
}

void fillWindow(WindowFixture& f) {
    test::typeReplicates(f.w(), {"10.2", "11.5", "9.8"}, {"12.1", "11.8", "12.9", "13.2", "12.4"});
    f.w().ui.txtProjectName.text = "  Lake  north 2007";
    f.w().ui.txtSampId.text = "Site A";
    f.w().ui.txtSampAlias.text = "µg/L";
    f.w().ui.txtRefId.text = "Ref, 1";
    f.w().ui.txtRefAlias.text = "mg/kg \"dry\"";
}

std::string lastLine(WindowFixture& f) {
    return test::statusLines(f.w().ui.Status).back();
}

// File > Save As or Load From, the dialog answered with `entry` in the test's folder.
void save(WindowFixture& f, const std::string& entry) {
    answerDialog(f, f.scratch, entry);
    mnuSaveAs_Click(f.w());
}

void load(WindowFixture& f, const std::string& entry) {
    answerDialog(f, f.scratch, entry);
    mnuLoadFrom_Click(f.w());
}

TEST(SampleFile, SaveWritesTheRowsOfThreeAndFiveReplicates) {
    WindowFixture f("save_rows");
    fillWindow(f);
    f.w().ui.cbTransMethod.text = "Log10 (x + 1.0)";
    save(f, "run 1");
    const fs::path path = f.scratch / "run1.dbf";
    EXPECT_EQ(f.w().ui.currentSampleFileName, "run1.dbf");
    EXPECT_EQ(f.w().ui.saveFolder, f.scratch.string());
    EXPECT_EQ(f.desktop.dialogCaptions, std::vector<std::string>{"Save As..."});
    // The template's ten rows; none is appended.
    std::vector<Row> expected;
    for (const char* row :
         {"SAMPID=Site A|SAMPDATA=10.2|REFID=Ref, 1|REFDATA=12.1|SAMPTRANS=1.04921802267018|"
          "REFTRANS=1.11727129565576|SAMP_ALIAS=µg/L|REF_ALIAS=mg/kg \"dry\"|"
          "PROJECT=  Lake  north 2007|SAMP_REPS=3|REF_REPS=5",
          "SAMPDATA=11.5|SAMPTRANS=1.09691001300806|REFDATA=11.8|REFTRANS=1.10720996964787",
          "SAMPDATA=9.8|SAMPTRANS=1.03342375548695|REFDATA=12.9|REFTRANS=1.14301480025409",
          "REFDATA=13.2|REFTRANS=1.15228834438306", "REFDATA=12.4|REFTRANS=1.12710479836481"}) {
        expected.push_back(test::rowOf(row));
    }
    expected.resize(10);
    EXPECT_EQ(test::readRows(path, kSampleRecordFields), expected);
}

// The fields and the Data columns come back as typed (checked through the real window in
// tests/gui/files_test.cpp, and whole by the differential check's round trips); the Transform
// columns show the stored transformed values and "~" where a sample has no value. Cancel
// changes nothing.
TEST(SampleFile, RoundTripsRestoreTheWindow) {
    WindowFixture f("round_trip");
    fillWindow(f);
    save(f, "trip");
    mnuClearAll_Click(f.w());
    load(f, "trip.dbf");
    EXPECT_EQ(f.w().ui.loadFolder, f.scratch.string());
    EXPECT_EQ(f.w().ui.currentSampleFileName, "trip.dbf");
    const auto loaded = windowData(f.w());
    EXPECT_EQ(f.w().ui.Grid1.cell(1, 2), "10.2");
    EXPECT_EQ(f.w().ui.Grid1.cell(4, 2), "~");
    EXPECT_EQ(f.w().ui.Grid2.cell(6, 2), "~");
    EXPECT_TRUE(std::holds_alternative<double>(f.w().analysis.SampTrans[1]));
    f.desktop.fileAnswers.push_back(std::nullopt);
    mnuLoadFrom_Click(f.w());
    EXPECT_EQ(windowData(f.w()), loaded);

    // Empty samples keep the identifiers; loaded, every value is blank and every transformed
    // value the end marker.
    test::typeReplicates(f.w(), {}, {});
    f.w().ui.txtRefId.text = "";
    save(f, "empty");
    EXPECT_EQ(test::readRows(f.scratch / "empty.dbf", kSampleRecordFields)[0],
              test::rowOf("SAMPID=Site A|SAMP_ALIAS=µg/L|REF_ALIAS=mg/kg \"dry\"|"
                          "PROJECT=  Lake  north 2007|SAMP_REPS=0|REF_REPS=0"));
    fillWindow(f);
    load(f, "empty");
    EXPECT_EQ(f.w().ui.txtRefId.text, "");
    for (int i = 1; i <= 10; ++i) {
        EXPECT_TRUE(slotText(f.w().analysis.SampRaw[i]).empty() &&
                    f.w().ui.Grid1.cell(i, 1).empty());
        EXPECT_TRUE(isEndMarker(f.w().analysis.SampTrans[i]) &&
                    isEndMarker(f.w().analysis.RefTrans[i]));
    }
}

// The Transform column of a loaded file: {transformation saved with, on screen, test rows 1
// to 3}. On screen it takes the pattern a run shows (the untransformed one when every stored
// value equals its entry), so "10" shows as "10.0" beside "10.2"; the command-line tool keeps
// the stored numbers' shortest text. log10(11.2) = 1.04921802267018, log10(11) =
// 1.04139268515822 (15 digits of 1.041392685158225).
TEST(SampleFile, LoadedTransformsInTheRunsPattern) {
    const struct {
        const char* transformation;
        bool onScreen;
        std::array<const char*, 3> rows;
    } kCases[] = {
        {"No Transformation", true, {"10.2", "11.5", "10.0"}},
        {"No Transformation", false, {"10.2", "11.5", "10"}},
        {"Log10 (x + 1.0)", true, {"1.04922", "1.09691", "1.04139"}},
        {"Log10 (x + 1.0)", false, {"1.04921802267018", "1.09691001300806", "1.04139268515822"}},
    };
    for (const auto& c : kCases) {
        WindowFixture f("load_pattern");
        test::typeReplicates(f.w(), {"10.2", "11.5", "10"}, {"12", "13", "14"});
        f.w().ui.cbTransMethod.text = c.transformation;
        answerDialog(f, f.scratch, "pattern");
        mnuSaveAs_Click(f.w());
        f.w().ui.onScreen = c.onScreen;
        answerDialog(f, f.scratch, "pattern");
        mnuLoadFrom_Click(f.w());
        for (int row = 1; row <= 3; ++row) {
            EXPECT_EQ(f.w().ui.Grid1.cell(row, 2), c.rows.at(static_cast<std::size_t>(row - 1)))
                << c.transformation << ", on screen " << c.onScreen << ", row " << row;
        }
        EXPECT_EQ(f.w().ui.Grid1.cell(4, 2), "~");
    }
}

// A save into a missing folder names the file and the cause, never the temporary file the
// save writes first.
TEST(SampleFile, AFailedSaveNamesTheFileAndTheCause) {
    WindowFixture f("save_no_folder");
    fillWindow(f);
    const fs::path folder = f.scratch / "gone";
    answerDialog(f, folder, "lost");
    mnuSaveAs_Click(f.w());
    EXPECT_EQ(test::statusLines(f.w().ui.Status).back(),
              "*** Save of Sample Data to <" + (folder / "lost.dbf").string() +
                  "> FAILED: error 76 (Path not found: " + (folder / "lost.dbf").string() +
                  "); no such folder");
}

// Entries that fail the check are saved as typed, with the transformed values of start-up (0):
// nothing was transformed.
TEST(SampleFile, InvalidEntriesAreSavedAsTyped) {
    WindowFixture f("save_invalid");
    test::typeReplicates(f.w(), {"1", "2"}, {"3", "4", "5"});
    save(f, "raw");
    const auto raw = test::readRows(f.scratch / "raw.dbf", kSampleRecordFields);
    ASSERT_EQ(raw.size(), 10U);
    EXPECT_EQ(raw[0].at("SAMPTRANS"), "0");
    EXPECT_EQ(raw[0].at("SAMP_REPS"), "2");
    EXPECT_EQ(raw[2].at("REFDATA"), "5");
}

// No name, the template and the installed tables (saving there would replace them by sample
// data) are refused with a message.
TEST(SampleFile, SavesWithoutANameOrOverTheProgramsTablesAreRefused) {
    WindowFixture f("save_refused");
    fillWindow(f);
    save(f, "");
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].title, "Save as File Selection");
    EXPECT_EQ(f.desktop.messages[0].text, "No file selected...");
    EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Exclamation);
    for (const char* name : {"stat", "Crit_t"}) {
        const fs::path table = fs::path(test::programFolder()) / (std::string(name) + ".dbf");
        const std::string bytes = test::readFileBytes(table);
        answerDialog(f, test::programFolder(), name);
        mnuSaveAs_Click(f.w());
        EXPECT_EQ(f.desktop.messages.back().text, "File already Selected!");
        EXPECT_EQ(f.desktop.messages.back().title, "Save as File Selection");
        EXPECT_EQ(test::readFileBytes(table), bytes);
    }
}

// A file another program holds open is kept (error 70). A save goes through a copy of the
// template: without the template the earlier file stays too, and no temporary is left.
TEST(SampleFile, AFailedSaveKeepsTheEarlierFile) {
    WindowFixture f("save_failed");
    fillWindow(f);
    std::ofstream(f.scratch / "held.dbf", std::ios::binary) << "kept";
    std::ofstream(f.scratch / ".~lock.held.dbf#") << "x";
    save(f, "held");
    EXPECT_EQ(lastLine(f).rfind("*** Save of Sample Data to <" + (f.scratch / "held.dbf").string() +
                                    "> FAILED: error 70",
                                0),
              0U)
        << lastLine(f);
    EXPECT_EQ(test::readFileBytes(f.scratch / "held.dbf"), "kept");

    const fs::path scratch = test::freshScratch("save_no_template");
    std::ofstream(scratch / "old.dbf", std::ios::binary) << "earlier data";
    const TableError e = writeSampleFile((scratch / "stat.dbf").string(), scratch.string(),
                                         "old.dbf", SampleData{}, {});
    EXPECT_EQ(e.number, kErrFileNotFound);
    EXPECT_EQ(test::readFileBytes(scratch / "old.dbf"), "earlier data");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch), fs::directory_iterator()), 1);
}

// Loads that must leave the window as it was: {file, its replicate counts, the transformed
// value of row 1 and the number of rows of a sample file made for it, the message shown (none
// when empty), the status line with @ standing for the file's path}. "broken" is no table,
// "foreign" a table of other fields, "nofile" missing; an empty name changes nothing at all.
TEST(SampleFile, RefusedLoadsKeepTheWindow) {
    const std::string kCounts = "*** Data NOT Loaded! The replicate counts in <@> (";
    const std::string kWhole = ") are not whole numbers from 0 to 10.";
    const struct {
        const char *name, *n1, *n2, *trans;
        std::size_t rows;
        const char* message;
        std::string status;
    } kCases[] = {
        {"broken", "", "", "", 0,
         "Invalid Data File Selected! @: damaged header (file shorter than a table header)",
         "*** Data NOT Loaded! @: damaged header (file shorter than a table header)"},
        {"foreign", "", "", "", 0,
         "Invalid Data File Selected! @: field layout is not that of a sample data file (no "
         "field SAMPID)",
         "*** Data NOT Loaded! @: field layout is not that of a sample data file (no field "
         "SAMPID)"},
        {"nofile", "", "", "", 0, "Data error event hit err:File not found: @; no such file",
         "*** Data NOT Loaded!"},
        {"", "", "", "", 0, "", ""},
        {"short", "1", "1", "1", 5, "", "*** Data NOT Loaded! <@> has fewer than 10 rows."},
        {"c1", "3.5", "2", "1", 10, "", kCounts + "3.5, 2" + kWhole},
        {"c2", "2", "11", "1", 10, "", kCounts + "2, 11" + kWhole},
        {"c3", "-1", "2", "1", 10, "", kCounts + "-1, 2" + kWhole},
        {"c4", "2", "2.4", "1", 10, "", kCounts + "2, 2.4" + kWhole},
        {"huge", "1", "1", "1e999", 10, "",
         "*** Data NOT Loaded! A transformed value in row 1 of <@> is out of range."},
    };
    std::vector<DbfFieldDef> fields;
    for (const RecordField& field : kSampleRecordFields) {
        fields.push_back(DbfFieldDef{std::string(field.name), 'C', field.width, 0});
    }
    for (const auto& c : kCases) {
        WindowFixture f("refused_load");
        fillWindow(f);
        const fs::path path = f.scratch / (std::string(c.name) + ".dbf");
        std::vector<std::vector<std::string>> rows(c.rows, std::vector<std::string>(11));
        if (!rows.empty()) {
            rows[0] = {"id1", "5", "id2", "6", c.trans, "2", "a1", "a2", "proj", c.n1, c.n2};
            ASSERT_FALSE(DbfTable::create(path.string(), fields, rows));
        } else if (std::string(c.name) == "broken") {
            std::ofstream(path, std::ios::binary) << "\x03not a table at all";
        } else if (std::string(c.name) == "foreign") {
            ASSERT_FALSE(DbfTable::create(path.string(), {{"NAME", 'C', 10, 0}}, {{"x"}}));
        }
        const auto before = windowData(f.w());
        load(f, c.name);
        EXPECT_EQ(windowData(f.w()), before) << c.name;
        const auto withPath = [&path](std::string text) {
            if (const auto at = text.find('@'); at != std::string::npos) {
                text.replace(at, 1, path.string());
            }
            return text;
        };
        EXPECT_EQ(lastLine(f), withPath(c.status));
        if (*c.message == 0) {
            EXPECT_TRUE(f.desktop.messages.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(f.desktop.messages.size(), 1U) << c.name;
        const auto& m = f.desktop.messages[0];
        EXPECT_EQ(m.text.rfind(withPath(c.message), 0), 0U) << m.text;
        // A damaged or foreign file is a data error; a missing file only a message.
        const bool missing = std::string(c.name) == "nofile";
        EXPECT_EQ(m.title, missing ? "" : "ERROR") << c.name;
        EXPECT_EQ(m.icon, missing ? MessageIcon::None : MessageIcon::Critical) << c.name;
        EXPECT_EQ(f.w().ui.dataErrorFlag, !missing) << c.name;
    }
}

}  // namespace
}  // namespace bx
