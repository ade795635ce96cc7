// SPDX-License-Identifier: MIT
// File names and the file-selection dialog: the name rules worked by hand from the rules
// (truncation at 8 characters before ".dbf", dropped extensions, removed characters, "Log" and
// "Report" for names that shrink to one character), the folders offered and remembered per
// purpose, and Cancel.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/file_dialog.h"
#include "app/main_window.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::WindowFixture;

// {rule, entry, name, cut}. Path separators never leave the folder; "µ" is two bytes in
// UTF-8 and the length counts characters; a long report name is never cut.
TEST(FileNameRules, ExamplesOfTheNameRules) {
    const auto dbf = fixDbfName;
    const auto csv = fixCSVName;
    const struct {
        FixedFileName (*fix)(std::string_view);
        const char* entry;
        const char* expected;
        bool truncated;
    } kCases[] = {
        {dbf, "my file.dbf", "myfile.dbf", false},
        {dbf, "longfilename", "longfile.dbf", true},  // 12 characters, no point
        {dbf, "abcdefghij.csv", "abcdefgh.dbf", true},
        {dbf, "abc.xyz", "abc.dbf", false},
        {dbf, "a!+b", "ab.dbf", false},
        {dbf, "a!", "Log.dbf", false},
        {dbf, "", ".dbf", false},
        {dbf, "abcdefgh", "abcdefgh.dbf", false},      // exactly 8: no cut
        {dbf, "abcdefgh.dbf", "abcdefgh.dbf", false},  // 8 before the point: no cut
        {dbf, "abcdefghi.dbf", "abcdefgh.dbf", true},  // 9 before the point
        {dbf, "  abc.dbf  ", "abc.dbf", false},        // blanks around the name
        {dbf, "a b c d e", "abcd.dbf", true},  // 9 characters without a point: cut to "a b c d "
        {dbf, "x", "x.dbf", false},            // one character that was never cleaned
        {dbf, "data.2007.dbf", "data.dbf", false},  // the first point ends the base
        {dbf, "../x/evil", ".dbf", false},          // the leading point leaves no base
        {dbf, "/etc/pw", "etcpw.dbf", false},
        {dbf, "/etc/passwd", "etcpas.dbf", true},  // cut to "/etc/pas" first
        {dbf, "µµµµµµµµ", "µµµµµµµµ.dbf", false},
        {dbf, "µµµµµµµµµ", "µµµµµµµµ.dbf", true},
        {csv, "my report 2007", "myreport2007.csv", false},
        {csv, "", ".csv", false},
        {csv, "a!", "Report.csv", false},
        {csv, "averyveryverylongreportname.txt", "averyveryverylongreportname.csv", false},
        {csv, "Lake, north", "Lakenorth.csv", false},
        {csv, "sub/dir\\rep", "subdirrep.csv", false},
    };
    for (const auto& c : kCases) {
        const FixedFileName fixed = c.fix(c.entry);
        EXPECT_EQ(fixed.name, c.expected) << "entry '" << c.entry << "'";
        EXPECT_EQ(fixed.truncated, c.truncated) << "entry '" << c.entry << "'";
    }
}

// The chosen file, folder, drive and path.
std::vector<std::string> chosen(const WindowState& ui) {
    return {ui.ChosenFileName, ui.ChosenFolder, ui.ChosenDrive, ui.ChosenPath};
}

// OK takes the name by its purpose's rule and remembers the folder for the purpose; a cut name
// is announced; a folder ending in a separator is joined directly, and the report folder alone
// keeps a trailing separator.
TEST(FileDialog, OkFillsTheChosenValuesAndRemembersTheFolder) {
    WindowFixture f("dialog_ok");
    WindowState& ui = f.w().ui;
    const std::string folder = (f.scratch / "data").string();
    std::filesystem::create_directories(folder);
    ui.fileDialogPurpose = kPurposeSave;
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder, "/", "my file.dbf"});
    showFileDialog(f.w(), "Save As...");
    EXPECT_EQ(f.desktop.dialogCaptions, std::vector<std::string>{"Save As..."});
    EXPECT_EQ(chosen(ui),
              (std::vector<std::string>{"myfile.dbf", folder, "/", folder + "/myfile.dbf"}));
    EXPECT_EQ(ui.saveFolder, folder);
    EXPECT_TRUE(f.desktop.messages.empty());
    // The next dialog of the same purpose starts in the folder chosen last.
    showFileDialog(f.w(), "Save As...");
    EXPECT_EQ(f.desktop.dialogStartFolders.back(), folder);

    ui.fileDialogPurpose = kPurposeLoad;
    f.desktop.fileAnswers.push_back(FileDialogAnswer{"/", "/", "abc"});
    showFileDialog(f.w(), "Load From...");
    EXPECT_EQ(ui.ChosenPath, "/abc.dbf");
    EXPECT_EQ(ui.loadFolder, "/");
    ui.fileDialogPurpose = kPurposeReport;
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder, "/", "my report 2007"});
    showFileDialog(f.w(), "New Report File");
    EXPECT_EQ(ui.ChosenPath, folder + "/myreport2007.csv");
    EXPECT_EQ(ui.reportFolder, folder + "/");
    EXPECT_TRUE(f.desktop.messages.empty());

    ui.fileDialogPurpose = kPurposeDetailLog;
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder, "/", "longfilename"});
    showFileDialog(f.w(), "New Detailed Log File");
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].text, kTruncationMessage);
    EXPECT_EQ(f.desktop.messages[0].title, "");
    EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.ChosenFileName, "longfile.dbf");
    EXPECT_EQ(ui.detailedLogFolder, folder);
}

TEST(FileDialog, EachPurposeOffersItsOwnFolder) {
    WindowFixture f("dialog_purposes");
    WindowState& ui = f.w().ui;
    const char* purposes[] = {kPurposeSave, kPurposeLoad, kPurposeDetailLog, kPurposeSummaryLog,
                              kPurposeReport};
    std::string* folders[] = {&ui.saveFolder, &ui.loadFolder, &ui.detailedLogFolder,
                              &ui.summaryLogFolder, &ui.reportFolder};
    for (int i = 0; i < 5; ++i) {
        const auto dir = f.scratch / ("p" + std::to_string(i));
        std::filesystem::create_directories(dir);
        *folders[i] = dir.string();
    }
    for (int i = 0; i < 5; ++i) {
        ui.fileDialogPurpose = purposes[i];
        showFileDialog(f.w(), "x");
        EXPECT_EQ(f.desktop.dialogStartFolders.back(), *folders[i]) << purposes[i];
    }
    // An unknown purpose and a folder that has gone both start in the scratch folder.
    ui.fileDialogPurpose = "other";
    showFileDialog(f.w(), "x");
    EXPECT_EQ(f.desktop.dialogStartFolders.back(), ui.scratchFolder);
    ui.fileDialogPurpose = kPurposeSave;
    ui.saveFolder = (f.scratch / "gone").string();
    showFileDialog(f.w(), "x");
    EXPECT_EQ(f.desktop.dialogStartFolders.back(), ui.scratchFolder);
}

TEST(FileDialog, CancelChangesNothingButTheName) {
    WindowFixture f("dialog_cancel");
    WindowState& ui = f.w().ui;
    ui.fileDialogPurpose = kPurposeSave;
    ui.ChosenFolder = "/before";
    ui.ChosenDrive = "/";
    ui.ChosenPath = "/before/x.dbf";
    const std::string saveFolder = ui.saveFolder;
    f.desktop.fileAnswers.push_back(std::nullopt);
    showFileDialog(f.w(), "Save As...");
    EXPECT_EQ(chosen(ui),
              (std::vector<std::string>{"UserCancelled", "/before", "/", "/before/x.dbf"}));
    EXPECT_EQ(ui.saveFolder, saveFolder);
}

// What keeps the dialog open: {purpose, folder (under the scratch folder, "-" for a missing
// one), typed entry, reason with @ for the scratch folder}. The name a load looks for is the one
// the name rules make of the entry; an empty entry is left for the command to ignore.
TEST(FileDialog, AnswersThatCannotServeThePurpose) {
    WindowFixture f("dialog_check");
    const std::filesystem::path data = f.scratch / "data";
    std::filesystem::create_directories(data);
    std::ofstream(data / "station4.dbf") << "x";
    const struct {
        const char* purpose;
        const char* folder;
        const char* entry;
        const char* reason;
    } kCases[] = {
        {kPurposeLoad, "data", "station4.dbf", ""},
        {kPurposeLoad, "data", "station4", ""},
        {kPurposeLoad, "data", "", ""},
        {kPurposeLoad, "data", "station5", "File not found: @/data/station5.dbf"},
        {kPurposeLoad, "-", "station4", "Folder not found: @/gone"},
        {kPurposeSave, "data", "new", ""},
        {kPurposeReport, "-", "new", "Folder not found: @/gone"},
    };
    const std::string scratch = f.scratch.string();
    for (const auto& c : kCases) {
        const std::string folder = scratch + (*c.folder == '-' ? "/gone" : "/data");
        std::string reason = c.reason;
        if (const auto at = reason.find('@'); at != std::string::npos) {
            reason.replace(at, 1, scratch);
        }
        EXPECT_EQ(fileChoiceProblem(c.purpose, {folder, "/", c.entry}), reason)
            << c.purpose << " " << c.entry;
    }
    // A folder that may not be written to, for every purpose that writes (not for root, who
    // may write anywhere).
    const std::filesystem::path locked = f.scratch / "locked";
    std::filesystem::create_directories(locked);
    std::filesystem::permissions(
        locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access(locked.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "the tests run with the right to write anywhere";
    }
    for (const char* purpose :
         {kPurposeSave, kPurposeDetailLog, kPurposeSummaryLog, kPurposeReport}) {
        EXPECT_EQ(fileChoiceProblem(purpose, {locked.string(), "/", "new"}),
                  "Permission denied: cannot write in the folder " + locked.string())
            << purpose;
    }
    EXPECT_EQ(fileChoiceProblem(kPurposeLoad, {locked.string(), "/", "x"}),
              "File not found: " + (locked / "x.dbf").string());
}

}  // namespace
}  // namespace bx
