// File > Save As and Load From: round trips, the rows a save writes, the edge cases of the
// sample data file, damaged and foreign files, and files the window must refuse without
// losing its data.
// Transformed values: log10(x + 1) computed in python3 as math.log(x + 1) / math.log(10) (the
// program's form of the transformation), written with 15 significant digits as the program's
// number-to-text conversion does, e.g. log10(11.2) = 1.04921802267018 and log10(13.9) =
// 1.143014800254095 -> 1.14301480025409.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "app/main_window.h"
#include "app/sample_commands.h"
#include "datafiles/sample_record.h"
#include "app/clearing.h"
#include "entry/grid.h"
#include "support/test_support.h"
#include "tables/dbf_table.h"
#include "tables/stat_tables.h"

namespace bx {
namespace {

namespace fs = std::filesystem;
using test::WindowFixture;
using Row = test::TableRow;
using test::answerDialog;
using test::typeReplicates;

std::vector<Row> fileRows(const fs::path& path) {
    return test::readRows(path, kSampleRecordFields);
}

// A table with the sample record's fields (or `fields`) and these rows, in field order.
void makeSampleFile(const fs::path& path, const std::vector<std::vector<std::string>>& rows,
                    std::vector<DbfFieldDef> fields = {}) {
    if (fields.empty()) {
        for (const RecordField& f : kSampleRecordFields) {
            fields.push_back(DbfFieldDef{std::string(f.name), 'C', f.width, 0});
        }
    }
    const TableError error = DbfTable::create(path.string(), fields, rows);
    ASSERT_EQ(error.number, 0) << error.description;
}

// A ten-row sample file with the counts and values given for row 1 (other rows blank).
std::vector<std::vector<std::string>> tenRows(const std::string& n1, const std::string& n2,
                                              const std::string& trans1 = "1") {
    std::vector<std::vector<std::string>> rows(10, std::vector<std::string>(11));
    rows[0] = {"id1", "5", "id2", "6", trans1, "2", "a1", "a2", "proj", n1, n2};
    return rows;
}

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
    typeReplicates(f.w(), {"10.2", "11.5", "9.8"}, {"12.1", "11.8", "12.9", "13.2", "12.4"});
    f.w().ui.txtProjectName.text = "  Lake  north 2007";
    f.w().ui.txtSampId.text = "Site A";
    f.w().ui.txtSampAlias.text = "µg/L";
    f.w().ui.txtRefId.text = "Ref, 1";
    f.w().ui.txtRefAlias.text = "mg/kg \"dry\"";
}

TEST(SampleFile, SaveWritesTheRowsOfThreeAndFiveReplicates) {
    WindowFixture f("save_rows");
    fillWindow(f);
    f.w().ui.cbTransMethod.text = "Log10 (x + 1.0)";
    answerDialog(f, f.scratch, "run 1");
    mnuSaveAs_Click(f.w());
    const fs::path path = f.scratch / "run1.dbf";
    EXPECT_EQ(test::statusLines(f.w().ui.Status).back(),
              "Save of Sample Data to <" + path.string() + "> complete.");
    EXPECT_EQ(f.w().ui.currentSampleFileName, "run1.dbf");
    EXPECT_EQ(f.w().ui.saveFolder, f.scratch.string());
    ASSERT_EQ(f.desktop.dialogCaptions.size(), 1U);
    EXPECT_EQ(f.desktop.dialogCaptions[0], "Save As...");

    const auto rows = fileRows(path);
    ASSERT_EQ(rows.size(), 10U);  // the template's rows; none is appended
    const std::vector<std::string> kRows = {
        "SAMPID=Site A|SAMPDATA=10.2|REFID=Ref, 1|REFDATA=12.1|SAMPTRANS=1.04921802267018|"
        "REFTRANS=1.11727129565576|SAMP_ALIAS=µg/L|REF_ALIAS=mg/kg \"dry\"|"
        "PROJECT=  Lake  north 2007|SAMP_REPS=3|REF_REPS=5",
        "SAMPDATA=11.5|SAMPTRANS=1.09691001300806|REFDATA=11.8|REFTRANS=1.10720996964787",
        "SAMPDATA=9.8|SAMPTRANS=1.03342375548695|REFDATA=12.9|REFTRANS=1.14301480025409",
        "REFDATA=13.2|REFTRANS=1.15228834438306", "REFDATA=12.4|REFTRANS=1.12710479836481"};
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        EXPECT_EQ(rows[i], test::rowOf(kRows[i])) << "row " << i + 1;
    }
    for (std::size_t i = 5; i < 10; ++i) {
        EXPECT_TRUE(rows[i].empty()) << "row " << i + 1;
    }
}

TEST(SampleFile, RoundTripRestoresTheWindow) {
    WindowFixture f("round_trip");
    fillWindow(f);
    answerDialog(f, f.scratch, "trip");
    mnuSaveAs_Click(f.w());
    const auto saved = windowData(f.w());
    mnuClearAll_Click(f.w());
    ASSERT_NE(windowData(f.w()), saved);

    answerDialog(f, f.scratch, "trip.dbf");
    mnuLoadFrom_Click(f.w());
    EXPECT_EQ(f.desktop.dialogCaptions.back(), "Load From...");
    EXPECT_EQ(test::statusLines(f.w().ui.Status).back(),
              "Data Entry Loaded from file <" + (f.scratch / "trip.dbf").string() + ">.");
    EXPECT_EQ(f.w().ui.loadFolder, f.scratch.string());
    EXPECT_EQ(f.w().ui.currentSampleFileName, "trip.dbf");
    // The fields and the Data columns come back as typed; the Transform columns show the
    // stored transformed values and "~" where a sample has no value.
    const auto loaded = windowData(f.w());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (i < 5 || (i - 5) % 4 < 2) {
            EXPECT_EQ(loaded[i], saved[i]) << i;
        }
    }
    EXPECT_EQ(f.w().ui.Grid1.cell(1, 2), "10.2");
    EXPECT_EQ(f.w().ui.Grid1.cell(4, 2), "~");
    EXPECT_EQ(f.w().ui.Grid2.cell(5, 2), "12.4");
    EXPECT_EQ(f.w().ui.Grid2.cell(6, 2), "~");
    EXPECT_TRUE(std::holds_alternative<double>(f.w().analysis.SampTrans[1]));
    EXPECT_EQ(slotText(f.w().analysis.SampRaw[4]), "");
}

TEST(SampleFile, RoundTripOfEmptySamplesKeepsTheIdentifiers) {
    WindowFixture f("round_trip_empty");
    typeReplicates(f.w(), {}, {});
    f.w().ui.txtSampId.text = "only ids";
    f.w().ui.txtProjectName.text = "empty";
    answerDialog(f, f.scratch, "empty");
    mnuSaveAs_Click(f.w());
    const auto rows = fileRows(f.scratch / "empty.dbf");
    ASSERT_EQ(rows.size(), 10U);
    EXPECT_EQ(rows[0], test::rowOf("SAMPID=only ids|PROJECT=empty|SAMP_REPS=0|REF_REPS=0"));

    fillWindow(f);
    answerDialog(f, f.scratch, "empty");
    mnuLoadFrom_Click(f.w());
    EXPECT_EQ(f.w().ui.txtSampId.text, "only ids");
    EXPECT_EQ(f.w().ui.txtRefId.text, "");
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(slotText(f.w().analysis.SampRaw[i]), "");
        EXPECT_TRUE(isEndMarker(f.w().analysis.SampTrans[i]));
        EXPECT_TRUE(isEndMarker(f.w().analysis.RefTrans[i]));
        EXPECT_EQ(f.w().ui.Grid1.cell(i, 1), "");
    }
}

TEST(SampleFile, SaveWhileEntriesFailValidationKeepsRawValues) {
    WindowFixture f("save_invalid");
    typeReplicates(f.w(), {"1", "2"}, {"3", "4", "5"});  // two test values: validation fails
    answerDialog(f, f.scratch, "raw");
    mnuSaveAs_Click(f.w());
    const auto rows = fileRows(f.scratch / "raw.dbf");
    ASSERT_EQ(rows.size(), 10U);
    // Nothing was transformed: the transformed values are those of start-up (0).
    EXPECT_EQ(rows[0].at("SAMPDATA"), "1");
    EXPECT_EQ(rows[0].at("SAMPTRANS"), "0");
    EXPECT_EQ(rows[0].at("SAMP_REPS"), "2");
    EXPECT_EQ(rows[2].at("REFDATA"), "5");
    EXPECT_EQ(test::statusLines(f.w().ui.Status).back(),
              "Save of Sample Data to <" + (f.scratch / "raw.dbf").string() + "> complete.");
}

TEST(SampleFile, LoadOfZeroTestReplicates) {
    WindowFixture f("load_zero");
    makeSampleFile(f.scratch / "zero.dbf", tenRows("0", "1"));
    answerDialog(f, f.scratch, "zero");
    mnuLoadFrom_Click(f.w());
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(slotText(f.w().analysis.SampRaw[i]), "") << i;
        EXPECT_TRUE(isEndMarker(f.w().analysis.SampTrans[i])) << i;
    }
    EXPECT_EQ(slotText(f.w().analysis.RefRaw[1]), "6");
    EXPECT_EQ(f.w().ui.Grid2.cell(1, 2), "2");
    EXPECT_EQ(f.w().ui.Grid2.cell(2, 2), "~");
}

TEST(SampleFile, SaveRefusals) {
    WindowFixture f("save_refused");
    fillWindow(f);
    answerDialog(f, f.scratch, "");
    mnuSaveAs_Click(f.w());
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].title, "Save as File Selection");
    EXPECT_EQ(f.desktop.messages[0].text, "No file selected...");
    EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Exclamation);

    const auto templateBytes = fs::file_size(fs::path(test::programFolder()) / "stat.dbf");
    answerDialog(f, test::programFolder(), "stat");
    mnuSaveAs_Click(f.w());
    ASSERT_EQ(f.desktop.messages.size(), 2U);
    EXPECT_EQ(f.desktop.messages[1].text, "File already Selected!");
    EXPECT_EQ(f.desktop.messages[1].title, "Save as File Selection");
    EXPECT_EQ(fs::file_size(fs::path(test::programFolder()) / "stat.dbf"), templateBytes);
    // The other installed tables are refused the same way: saving there would replace a
    // statistical table by sample data.
    const auto tableBytes = fs::file_size(fs::path(test::programFolder()) / "Crit_t.dbf");
    answerDialog(f, test::programFolder(), "Crit_t");
    mnuSaveAs_Click(f.w());
    ASSERT_EQ(f.desktop.messages.size(), 3U);
    EXPECT_EQ(f.desktop.messages[2].text, "File already Selected!");
    EXPECT_EQ(fs::file_size(fs::path(test::programFolder()) / "Crit_t.dbf"), tableBytes);

    const std::string status = f.w().ui.Status;
    f.desktop.fileAnswers.push_back(std::nullopt);
    mnuSaveAs_Click(f.w());
    EXPECT_EQ(f.desktop.messages.size(), 3U);
    EXPECT_EQ(f.w().ui.Status, status);
}

TEST(SampleFile, SaveOverAFileHeldOpenElsewhereKeepsIt) {
    WindowFixture f("save_held");
    fillWindow(f);
    std::ofstream(f.scratch / "held.dbf", std::ios::binary) << "kept";
    std::ofstream(f.scratch / ".~lock.held.dbf#") << "x";
    answerDialog(f, f.scratch, "held");
    mnuSaveAs_Click(f.w());
    const std::string line = test::statusLines(f.w().ui.Status).back();
    EXPECT_EQ(line.rfind("*** Save of Sample Data to <" + (f.scratch / "held.dbf").string() +
                             "> FAILED: error 70",
                         0),
              0U)
        << line;
    EXPECT_EQ(test::readFileBytes(f.scratch / "held.dbf"), "kept");
}

TEST(SampleFile, MissingTemplateLeavesTheExistingFileUntouched) {
    test::ScriptedDesktop desktop;
    const fs::path scratch = test::freshScratch("save_no_template");
    fs::create_directories(scratch / "program");
    MainWindow w(desktop, StartupFolders{(scratch / "program").string(), (scratch / "u").string()},
                 StatTables::load(test::programFolder()));
    std::ofstream(scratch / "old.dbf", std::ios::binary) << "earlier data";
    desktop.fileAnswers.push_back(FileDialogAnswer{scratch.string(), "/", "old"});
    mnuSaveAs_Click(w);
    const std::string line = test::statusLines(w.ui.Status).back();
    EXPECT_NE(line.find("FAILED: error 53"), std::string::npos) << line;
    EXPECT_EQ(test::readFileBytes(scratch / "old.dbf"), "earlier data");
    for (const auto& entry : fs::directory_iterator(scratch)) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
    }
}

// Loads that must leave the window as it was: {file, how it is made, message shown (none when
// empty), the status line with @ standing for the file's path}.
TEST(SampleFile, RefusedLoadsKeepTheWindow) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* message;
        std::string status;
    };
    const auto rows = [](std::string n1, std::string n2, std::string trans = "1") {
        return [=](const fs::path& p) { makeSampleFile(p, tenRows(n1, n2, trans)); };
    };
    const std::string kCounts = "*** Data NOT Loaded! The replicate counts in <@> ";
    const std::string kWhole = ") are not whole numbers from 0 to 10.";
    const Case kCases[] = {
        {"broken",
         [](const fs::path& p) { std::ofstream(p, std::ios::binary) << "\x03not a table at all"; },
         "Invalid Data File Selected! @: damaged header (file shorter than a table header)",
         "*** Data NOT Loaded! @: damaged header (file shorter than a table header)"},
        {"foreign",
         [](const fs::path& p) {
             makeSampleFile(p, {{"x", "y"}},
                            {DbfFieldDef{"NAME", 'C', 10, 0}, DbfFieldDef{"VALUE", 'C', 10, 0}});
         },
         "Invalid Data File Selected! @: field layout is not that of a sample data file (no "
         "field SAMPID)",
         "*** Data NOT Loaded! @: field layout is not that of a sample data file (no field "
         "SAMPID)"},
        {"nofile", [](const fs::path&) {}, "Data error event hit err:File not found: @; no such file",
         "*** Data NOT Loaded!"},
        {"short",
         [](const fs::path& p) {
             auto r = tenRows("1", "1");
             r.resize(5);
             makeSampleFile(p, r);
         },
         "", "*** Data NOT Loaded! <@> has fewer than 10 rows."},
        {"c1", rows("3.5", "2"), "", kCounts + "(3.5, 2" + kWhole},
        {"c2", rows("2", "11"), "", kCounts + "(2, 11" + kWhole},
        {"c3", rows("-1", "2"), "", kCounts + "(-1, 2" + kWhole},
        {"c4", rows("2", "2.4"), "", kCounts + "(2, 2.4" + kWhole},
        {"huge", rows("1", "1", "1e999"), "",
         "*** Data NOT Loaded! A transformed value in row 1 of <@> is out of range."},
        {"text", rows("1", "1", "n/a"), "",
         "*** Data NOT Loaded! A transformed value in row 1 of <@> is out of range (\"n/a\" is "
         "not a number)."},
    };
    for (const Case& c : kCases) {
        WindowFixture f("refused_load");
        fillWindow(f);
        const fs::path path = f.scratch / (std::string(c.name) + ".dbf");
        c.make(path);
        const auto before = windowData(f.w());
        answerDialog(f, f.scratch, c.name);
        mnuLoadFrom_Click(f.w());
        EXPECT_EQ(windowData(f.w()), before) << c.name;
        const auto withPath = [&path](std::string text) {
            if (const auto at = text.find('@'); at != std::string::npos) {
                text.replace(at, 1, path.string());
            }
            return text;
        };
        EXPECT_EQ(test::statusLines(f.w().ui.Status).back(), withPath(c.status));
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

TEST(SampleFile, LoadCancelAndEmptyNameChangeNothing) {
    WindowFixture f("load_cancel");
    fillWindow(f);
    const auto before = windowData(f.w());
    const std::string status = f.w().ui.Status;
    f.desktop.fileAnswers.push_back(std::nullopt);
    mnuLoadFrom_Click(f.w());
    answerDialog(f, f.scratch, "");
    mnuLoadFrom_Click(f.w());
    EXPECT_EQ(windowData(f.w()), before);
    EXPECT_EQ(f.w().ui.Status, status);
    EXPECT_TRUE(f.desktop.messages.empty());
}

TEST(SampleFile, DroppedFileLoadsWithoutTheDialog) {
    WindowFixture f("load_dropped");
    makeSampleFile(f.scratch / "Dropped Name.dbf", tenRows("1", "1"));
    loadSampleFile(f.w(), f.scratch.string(), "Dropped Name.dbf");
    EXPECT_TRUE(f.desktop.dialogCaptions.empty());
    EXPECT_EQ(f.w().ui.txtProjectName.text, "proj");
    EXPECT_EQ(f.w().ui.Grid1.cell(1, 1), "5");
    EXPECT_EQ(f.w().ui.currentSampleFileName, "Dropped Name.dbf");
    EXPECT_EQ(test::statusLines(f.w().ui.Status).back(),
              "Data Entry Loaded from file <" + (f.scratch / "Dropped Name.dbf").string() + ">.");
}

}  // namespace
}  // namespace bx
