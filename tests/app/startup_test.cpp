// Start-up of the main window: working folders, grid layout, option defaults, Help menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/execute.h"
#include "app/main_window.h"
#include "app/report_command.h"
#include "app/startup.h"
#include "support/test_support.h"
#include "tables/stat_tables.h"

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

TEST(Startup, MissingWorkingFoldersFallBackToTheScratchFolderWhichIsCreated) {
    Started s("startup-missing");
    MainWindow& w = s.start();
    const std::string scratch = (s.dir / "user" / "Benthix").string();
    EXPECT_TRUE(fs::is_directory(scratch));
    EXPECT_EQ(w.ui.detailedLogFolder, scratch);
    EXPECT_EQ(w.ui.summaryLogFolder, scratch);
    EXPECT_EQ(w.ui.saveFolder, scratch);
    EXPECT_EQ(w.ui.loadFolder, scratch);
    EXPECT_EQ(w.ui.reportFolder, scratch + "/");  // the report folder alone ends in a separator
}

TEST(Startup, PresentWorkingFoldersAreUsed) {
    Started s("startup-present");
    for (const char* name : {"detailed logs", "summary logs", "save", "load", "reports"}) {
        fs::create_directories(s.dir / "prog" / name);
    }
    MainWindow& w = s.start();
    const std::string prog = (s.dir / "prog").string();
    EXPECT_EQ(w.ui.detailedLogFolder, prog + "/detailed logs");
    EXPECT_EQ(w.ui.summaryLogFolder, prog + "/summary logs");
    EXPECT_EQ(w.ui.saveFolder, prog + "/save");
    EXPECT_EQ(w.ui.loadFolder, prog + "/load");
    EXPECT_EQ(w.ui.reportFolder, prog + "/reports/");
}

TEST(Startup, GridsOptionsAndPanelsAsAtProgramStart) {
    Started s("startup-state");
    MainWindow& w = s.start();
    for (const Grid* g : {&w.ui.Grid1, &w.ui.Grid2}) {
        EXPECT_EQ(g->cell(0, 0), "Rep");
        EXPECT_EQ(g->cell(0, 1), "Data");
        EXPECT_EQ(g->cell(0, 2), "Transform");
        EXPECT_EQ(g->cell(1, 0), "    1");
        EXPECT_EQ(g->cell(10, 0), "    10");
        EXPECT_EQ(g->row(), 1);
        EXPECT_EQ(g->col(), 1);
    }
    EXPECT_EQ(w.ui.cbHypoAlt.text, "x1 < x2");
    EXPECT_EQ(w.ui.cbHypoNull.text, "x1 >= x2");
    EXPECT_EQ(w.ui.cbAlphaLevel.text, "0.05");
    EXPECT_EQ(w.ui.cbTransMethod.text, "No Transformation");
    EXPECT_FALSE(w.ui.mnuNormalPrompt.checked);
    EXPECT_FALSE(w.ui.mnuPowerCalculation.checked);
    EXPECT_FALSE(w.ui.mnuOneSampleTTest.checked);
    EXPECT_FALSE(w.ui.Frame13.visible);
    EXPECT_FALSE(w.ui.txtTstPower.visible);
    EXPECT_FALSE(w.ui.lblTstPower.enabled);
    EXPECT_FALSE(w.ui.txtOverride.visible);
    EXPECT_FALSE(w.ui.lblOverride.enabled);
    EXPECT_EQ(w.ui.imgWtestPassFail, Picture::Question);
    EXPECT_EQ(w.ui.imgSced, Picture::Question);
    EXPECT_EQ(w.ui.imgTestPassFail, Picture::Question);
    EXPECT_EQ(w.ui.currentSampleFileName, "stat1.dbf");
    EXPECT_EQ(w.ui.fileDialogPurpose, "save");
    EXPECT_TRUE(w.ui.Status.empty());
    EXPECT_DOUBLE_EQ(slotValue(w.analysis.SampRaw[1]), 0.0);
    EXPECT_FALSE(w.analysis.RankitUsed);
}

TEST(Startup, HelpMenu) {
    Started s("startup-help");
    MainWindow& w = s.start();
    mnuHelpVersion_Click(w);
    ASSERT_EQ(s.desktop.messages.size(), 1U);
    EXPECT_EQ(s.desktop.messages[0].title, "Version Number");
    EXPECT_EQ(s.desktop.messages[0].text, "Benthix Version: 1.1.0 (December 6, 2026)");
    EXPECT_EQ(s.desktop.messages[0].icon, MessageIcon::Information);
    mnuHelpAbout_Click(w);
    EXPECT_EQ(s.desktop.aboutShown, 1);
}

// A table missing, cut short or with one digit changed (Crit_t's 2.179 at 12 degrees of
// freedom, two-sided 0.05: the value this window's Student's t of 3 against 3 would use), or
// the manifest gone: named at start-up, Execute and Report off, and nothing runs.
TEST(Startup, DamagedTablesAreNamedAndNothingRuns) {
    struct Case {
        const char* name;
        void (*damage)(const fs::path& prog);
        const char* problem;
    };
    const Case kCases[] = {
        {"removed", [](const fs::path& p) { fs::remove(p / "Crit_t.dbf"); },
         "Statistical table Crit_t.dbf is missing or damaged; reinstall Benthix"},
        {"truncated", [](const fs::path& p) { fs::resize_file(p / "CRIT_W1.dbf", 1000); },
         "Statistical table CRIT_W1.dbf is missing or damaged; reinstall Benthix"},
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

TEST(Startup, SoundTablesLeaveExecuteAndReportOn) {
    const fs::path dir = test::freshScratch("startup-sound");
    test::copyStatisticalTables(dir / "prog");
    test::ScriptedDesktop desktop;
    MainWindow w(desktop, StartupFolders{(dir / "prog").string(), (dir / "user").string()});
    Form_Load(w);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(w.ui.cmdExecuteEnabled);
    EXPECT_TRUE(w.ui.mnuFileReportEnabled);
    EXPECT_TRUE(w.tables().installationProblem().empty());
}

}  // namespace
}  // namespace bx
