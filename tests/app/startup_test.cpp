// SPDX-License-Identifier: MIT
// Start-up of the main window: working folders, grid layout, option defaults, the Help menu
// and where the user guide is looked for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/execute.h"
#include "app/main_window.h"
#include "app/report_command.h"
#include "app/startup.h"
#include "app/user_guide.h"
#include "support/test_support.h"

namespace bx {
namespace {

namespace fs = std::filesystem;

struct Started {
    explicit Started(const std::string& name) : dir(test::freshScratch(name)) {
        fs::create_directories(dir / "prog");
    }
    MainWindow& start() {
        window = std::make_unique<MainWindow>(
            desktop, StartupFolders{(dir / "prog").string(), (dir / "user" / "Benthix").string()},
            test::sharedGeneratedTables());
        Form_Load(*window);
        return *window;
    }
    fs::path dir;
    test::ScriptedDesktop desktop;
    std::unique_ptr<MainWindow> window;
};

// The five working folders: the program folder's, or the scratch folder for those that are
// missing; the scratch folder is not made until something is written there. The report folder alone
// ends in a separator.
TEST(Startup, WorkingFoldersUnderTheProgramOrTheScratchFolder) {
    for (const bool present : {false, true}) {
        Started s(present ? "startup-present" : "startup-missing");
        const std::vector<std::string> names = {"detailed logs", "summary logs", "save", "load",
                                                "reports"};
        std::vector<std::string> expected;
        for (const std::string& name : names) {
            if (present) {
                fs::create_directories(s.dir / "prog" / name);
            }
            expected.push_back(present ? (s.dir / "prog" / name).string()
                                       : (s.dir / "user" / "Benthix").string());
        }
        expected.back() += "/";
        MainWindow& w = s.start();
        EXPECT_FALSE(fs::exists(s.dir / "user" / "Benthix"));
        EXPECT_EQ((std::vector<std::string>{w.ui.detailedLogFolder, w.ui.summaryLogFolder,
                                            w.ui.saveFolder, w.ui.loadFolder, w.ui.reportFolder}),
                  expected);
    }
}

TEST(Startup, GridsOptionsPanelsAndTheHelpMenu) {
    Started s("startup-state");
    MainWindow& w = s.start();
    for (const Grid* g : {&w.ui.Grid1, &w.ui.Grid2}) {
        EXPECT_EQ((std::vector<std::string>{g->cell(0, 0), g->cell(0, 1), g->cell(0, 2),
                                            g->cell(1, 0), g->cell(10, 0)}),
                  (std::vector<std::string>{"Rep", "Data", "Transform", "    1", "    10"}));
        EXPECT_EQ(std::pair(g->row(), g->col()), std::pair(1, 1));
    }
    EXPECT_EQ((std::vector<std::string>{w.ui.cbHypoAlt.text, w.ui.cbHypoNull.text,
                                        w.ui.cbAlphaLevel.text, w.ui.cbTransMethod.text}),
              (std::vector<std::string>{"x1 < x2", "x1 >= x2", "0.05", "No Transformation"}));
    EXPECT_FALSE(w.ui.mnuNormalPrompt.checked || w.ui.mnuPowerCalculation.checked ||
                 w.ui.mnuOneSampleTTest.checked);
    // The power and override fields appear with their options only.
    EXPECT_FALSE(w.ui.Frame13.visible || w.ui.txtTstPower.visible || w.ui.lblTstPower.enabled ||
                 w.ui.txtOverride.visible || w.ui.lblOverride.enabled);
    for (const Picture picture : {w.ui.imgWtestPassFail, w.ui.imgSced, w.ui.imgTestPassFail}) {
        EXPECT_EQ(picture, Picture::Question);
    }
    EXPECT_EQ(w.ui.currentSampleFileName, "stat1.dbf");
    EXPECT_EQ(w.ui.fileDialogPurpose, "save");
    EXPECT_TRUE(w.ui.Status.empty());
    EXPECT_DOUBLE_EQ(slotValue(w.analysis.SampRaw[1]), 0.0);
    EXPECT_FALSE(w.analysis.RankitUsed);
    // The build's tables are sound: nothing is said, Execute and Report are on.
    EXPECT_TRUE(s.desktop.messages.empty());
    EXPECT_TRUE(w.ui.cmdExecuteEnabled && w.ui.mnuFileReportEnabled);

    // The Help menu.
    mnuHelpVersion_Click(w);
    ASSERT_EQ(s.desktop.messages.size(), 1U);
    EXPECT_EQ(s.desktop.messages[0].title, "Version Number");
    EXPECT_EQ(s.desktop.messages[0].text, "Benthix Version: 1.1.0 (December 6, 2026)");
    EXPECT_EQ(s.desktop.messages[0].icon, MessageIcon::Information);
    mnuHelpAbout_Click(w);
    EXPECT_EQ(s.desktop.aboutShown, 1);
}

// A table missing or with one digit changed (Crit_t's 2.179 at 12 degrees of freedom,
// two-sided 0.05: the value this window's Student's t of 3 against 3 would use), two tables
// missing, or the manifest gone: named at start-up, Execute and Report off, and nothing runs.
TEST(Startup, DamagedTablesAreNamedAndNothingRuns) {
    struct Case {
        const char* name;
        void (*damage)(const fs::path& prog);
        const char* problem;
    };
    const Case kCases[] = {
        {"removed", [](const fs::path& p) { fs::remove(p / "Crit_t.dbf"); },
         "Statistical table Crit_t.dbf is missing or damaged; reinstall Benthix"},
        {"digit",
         [](const fs::path& p) {
             std::string bytes = test::readFileBytes(p / "Crit_t.dbf");
             bytes.replace(bytes.find("2.179"), 5, "2.178");
             std::ofstream(p / "Crit_t.dbf", std::ios::binary) << bytes;
         },
         "Statistical table Crit_t.dbf is missing or damaged; reinstall Benthix"},
        {"two",
         [](const fs::path& p) {
             fs::remove(p / "RANKIT.dbf");
             fs::remove(p / "crit_w.dbf");
         },
         "Statistical tables crit_w.dbf and RANKIT.dbf are missing or damaged; reinstall Benthix"},
        {"manifest", [](const fs::path& p) { fs::remove(p / "tables.manifest"); },
         "The checksums of the statistical tables (tables.manifest) are missing or damaged; "
         "reinstall Benthix"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = test::freshScratch(std::string("startup-damaged-") + c.name);
        test::copyStatisticalTables(dir / "prog");
        c.damage(dir / "prog");
        test::ScriptedDesktop desktop;
        MainWindow w(desktop, StartupFolders{(dir / "prog").string(), (dir / "user").string()});
        Form_Load(w);
        ASSERT_EQ(desktop.messages.size(), 1U);
        EXPECT_EQ(desktop.messages[0].title, "Statistical Tables");
        EXPECT_EQ(desktop.messages[0].text, std::string(c.problem) + ".");
        EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Critical);
        EXPECT_FALSE(w.ui.cmdExecuteEnabled);
        EXPECT_FALSE(w.ui.mnuFileReportEnabled);

        test::typeReplicates(w, {"10", "11", "12"}, {"14", "15", "16"});
        w.ui.Status.clear();
        cmdExecute_Click(w);
        mnuFileReport_Click(w);
        const std::string line = "*** " + std::string(c.problem) + ".";
        EXPECT_EQ(test::statusLines(w.ui.Status), (std::vector<std::string>{"", line, line}));
        EXPECT_EQ(w.ui.txtTstPassFail.text, "");
        EXPECT_TRUE(desktop.dialogCaptions.empty());  // Report asked for no file
    }
}

// The program folder is <scratch>/usr/lib/benthix: {where guide.md lies (under the scratch
// folder, "" for nowhere), the desktop opens it, the file opened, the message with @ for the
// program folder and # for the guide}.
TEST(UserGuide, FoundBesideOrAboveTheProgramAndOpened) {
    const struct {
        const char* place;
        bool opens;
        const char* message;
    } kCases[] = {
        {"usr/lib/benthix/guide.md", true, ""},
        {"usr/lib/share/doc/benthix/guide.md", true, ""},
        {"usr/share/doc/benthix/guide.md", true, ""},
        {"usr/share/doc/benthix/docs/guide.md", true, ""},
        {"usr/share/doc/benthix/guide.md", false, "No program could open the user guide <#>."},
        {"", true,
         "There is no user guide yet: guide.md is not in the program folder <@> nor in "
         "share/doc/benthix."},
    };
    for (const auto& c : kCases) {
        const fs::path scratch = test::freshScratch("guide");
        const fs::path program = scratch / "usr" / "lib" / "benthix";
        fs::create_directories(program);
        const std::string guide = *c.place != '\0' ? (scratch / c.place).string() : "";
        if (!guide.empty()) {
            fs::create_directories(fs::path(guide).parent_path());
            std::ofstream(guide) << "# Benthix\n";
        }
        test::ScriptedDesktop desktop;
        desktop.openSucceeds = c.opens;
        MainWindow w(desktop, {program.string(), (scratch / "user").string()},
                     test::sharedGeneratedTables());
        w.ui.programFolder = program.string();
        mnuHelpGuide_Click(w);
        EXPECT_EQ(desktop.opened,
                  guide.empty() ? std::vector<std::string>{} : std::vector<std::string>{guide})
            << c.place;
        std::string message = c.message;
        for (const auto& [mark, text] : {std::pair{'@', program.string()}, std::pair{'#', guide}}) {
            if (const auto at = message.find(mark); at != std::string::npos) {
                message.replace(at, 1, text);
            }
        }
        ASSERT_EQ(desktop.messages.size(), message.empty() ? 0U : 1U) << c.place;
        if (!message.empty()) {
            EXPECT_EQ(desktop.messages[0].title, "User Guide");
            EXPECT_EQ(desktop.messages[0].text, message);
        }
    }
}

}  // namespace
}  // namespace bx
