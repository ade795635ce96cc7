// File names and the file-selection dialog: the name rules worked by hand from the rules
// (truncation at 8 characters before ".dbf", dropped extensions, removed characters, "Log" and
// "Report" for names that shrink to one character), the folders offered and remembered per
// purpose, and Cancel.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_window.h"
#include "datafiles/file_dialog.h"
#include "support/test_support.h"

namespace bx {
namespace {

using test::WindowFixture;

struct NameCase {
    const char* entry;
    const char* expected;
    bool truncated;
};

TEST(FixDbfName, ExamplesOfTheNameRules) {
    const NameCase cases[] = {
        {"my file.dbf", "myfile.dbf", false},
        {"longfilename", "longfile.dbf", true},  // 12 characters, no point
        {"abcdefghij.csv", "abcdefgh.dbf", true},
        {"abc.xyz", "abc.dbf", false},
        {"a!+b", "ab.dbf", false},
        {"a!", "Log.dbf", false},
        {"", ".dbf", false},
        {"abcdefgh", "abcdefgh.dbf", false},      // exactly 8: no cut
        {"abcdefgh.dbf", "abcdefgh.dbf", false},  // 8 before the point: no cut
        {"abcdefghi.dbf", "abcdefgh.dbf", true},  // 9 before the point
        {"  abc.dbf  ", "abc.dbf", false},        // blanks around the name
        {"a b c d e", "abcd.dbf", true},          // 9 characters without a point: cut to "a b c d "
        {"!!x", "Log.dbf", false},
        {"x", "x.dbf", false},                 // one character that was never cleaned
        {"data.2007.dbf", "data.dbf", false},  // the first point ends the base
    };
    for (const NameCase& c : cases) {
        const FixedFileName fixed = fixDbfName(c.entry);
        EXPECT_EQ(fixed.name, c.expected) << "entry '" << c.entry << "'";
        EXPECT_EQ(fixed.truncated, c.truncated) << "entry '" << c.entry << "'";
    }
}

TEST(FixDbfName, PathSeparatorsNeverLeaveTheFolder) {
    EXPECT_EQ(fixDbfName("../x/evil").name, ".dbf");  // the leading point leaves no base
    EXPECT_EQ(fixDbfName("/etc/pw").name, "etcpw.dbf");
    EXPECT_EQ(fixDbfName("/etc/passwd").name, "etcpas.dbf");  // cut to "/etc/pas" first
    EXPECT_EQ(fixDbfName("..\\..\\win").name, ".dbf");        // the point comes first: empty base
    EXPECT_EQ(fixDbfName("a/").name, "Log.dbf");
    EXPECT_EQ(fixCSVName("../../etc/out").name, ".csv");
    EXPECT_EQ(fixCSVName("sub/dir\\rep").name, "subdirrep.csv");
}

TEST(FixDbfName, LengthCountsCharactersNotBytes) {
    // "µ" is two bytes in UTF-8; 8 characters stay whole, 9 are cut after the 8th character.
    EXPECT_EQ(fixDbfName("µµµµµµµµ").name, "µµµµµµµµ.dbf");
    EXPECT_FALSE(fixDbfName("µµµµµµµµ").truncated);
    const FixedFileName cut = fixDbfName("µµµµµµµµµ");
    EXPECT_TRUE(cut.truncated);
    EXPECT_EQ(cut.name, "µµµµµµµµ.dbf");
}

TEST(FixCSVName, ExamplesOfTheNameRules) {
    const NameCase cases[] = {
        {"my report 2007", "myreport2007.csv", false},
        {"", ".csv", false},
        {"a!", "Report.csv", false},
        {"averyveryverylongreportname.txt", "averyveryverylongreportname.csv", false},
        {"Lake, north", "Lakenorth.csv", false},
    };
    for (const NameCase& c : cases) {
        const FixedFileName fixed = fixCSVName(c.entry);
        EXPECT_EQ(fixed.name, c.expected) << "entry '" << c.entry << "'";
        EXPECT_FALSE(fixed.truncated);
    }
}

TEST(FileDialog, OkFillsTheChosenValuesAndRemembersTheFolder) {
    WindowFixture f("dialog_ok");
    const std::string folder = (f.scratch / "data").string();
    std::filesystem::create_directories(folder);
    f.w().ui.fileDialogPurpose = kPurposeSave;
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder, "/", "my file.dbf"});
    showFileDialog(f.w(), "Save As...");

    ASSERT_EQ(f.desktop.dialogCaptions.size(), 1U);
    EXPECT_EQ(f.desktop.dialogCaptions[0], "Save As...");
    EXPECT_EQ(f.w().ui.ChosenFileName, "myfile.dbf");
    EXPECT_EQ(f.w().ui.ChosenFolder, folder);
    EXPECT_EQ(f.w().ui.ChosenDrive, "/");
    EXPECT_EQ(f.w().ui.ChosenPath, folder + "/myfile.dbf");
    EXPECT_EQ(f.w().ui.saveFolder, folder);
    EXPECT_TRUE(f.desktop.messages.empty());

    // The next dialog of the same purpose starts in the folder chosen last.
    f.desktop.fileAnswers.push_back(std::nullopt);
    showFileDialog(f.w(), "Save As...");
    EXPECT_EQ(f.desktop.dialogStartFolders.back(), folder);
}

TEST(FileDialog, FolderEndingInSeparatorIsJoinedDirectly) {
    WindowFixture f("dialog_root");
    f.w().ui.fileDialogPurpose = kPurposeLoad;
    f.desktop.fileAnswers.push_back(FileDialogAnswer{"/", "/", "abc"});
    showFileDialog(f.w(), "Load From...");
    EXPECT_EQ(f.w().ui.ChosenPath, "/abc.dbf");
    EXPECT_EQ(f.w().ui.loadFolder, "/");
}

TEST(FileDialog, TruncationIsAnnounced) {
    WindowFixture f("dialog_trunc");
    f.w().ui.fileDialogPurpose = kPurposeDetailLog;
    f.desktop.fileAnswers.push_back(FileDialogAnswer{f.scratch.string(), "/", "longfilename"});
    showFileDialog(f.w(), "New Detailed Log File");
    ASSERT_EQ(f.desktop.messages.size(), 1U);
    EXPECT_EQ(f.desktop.messages[0].text, kTruncationMessage);
    EXPECT_EQ(f.desktop.messages[0].title, "");
    EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(f.w().ui.ChosenFileName, "longfile.dbf");
    EXPECT_EQ(f.w().ui.detailedLogFolder, f.scratch.string());
}

TEST(FileDialog, ReportPurposeKeepsTrailingSeparatorAndCsvRule) {
    WindowFixture f("dialog_report");
    f.w().ui.fileDialogPurpose = kPurposeReport;
    f.desktop.fileAnswers.push_back(FileDialogAnswer{f.scratch.string(), "/", "my report 2007"});
    showFileDialog(f.w(), "New Report File");
    EXPECT_EQ(f.w().ui.ChosenFileName, "myreport2007.csv");
    EXPECT_EQ(f.w().ui.ChosenPath, f.scratch.string() + "/myreport2007.csv");
    EXPECT_EQ(f.w().ui.reportFolder, f.scratch.string() + "/");
    EXPECT_TRUE(f.desktop.messages.empty());  // a long report name is never cut
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
    EXPECT_EQ(ui.ChosenFileName, "UserCancelled");
    EXPECT_EQ(ui.ChosenFolder, "/before");
    EXPECT_EQ(ui.ChosenDrive, "/");
    EXPECT_EQ(ui.ChosenPath, "/before/x.dbf");
    EXPECT_EQ(ui.saveFolder, saveFolder);
}

}  // namespace
}  // namespace bx
