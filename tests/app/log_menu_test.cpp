// SPDX-License-Identifier: MIT
// The two Log menu entries, each case run for the detailed and the summary log: starting and
// stopping with their captions and messages, cancel, refused names, file errors while starting
// and write errors during a run (the log stays active). The texts are the window's own and
// are compared exactly; error numbers are the file error numbers the program reports.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "app/execute.h"
#include "app/log_commands.h"
#include "app/main_window.h"
#include "logs/summary_record.h"
#include "reports/report_record.h"
#include "support/test_support.h"

namespace bx {
namespace {

namespace fs = std::filesystem;
using test::TableRow;
using test::WindowFixture;

struct LogCase {
    const char* name;
    void (*click)(MainWindow&);
    std::vector<TableRow> (*rows)(const fs::path&);
    std::size_t rowsPerRun;  // of a run of 3 against 5 replicates
    const char* dialogCaption;
    const char* activeTitle;
    const char* logName;         // in the messages and status lines
    const char* initialCaption;  // the menu entry at start-up
    const char* beginCaption;    // ...after the log is stopped
    const char* stopPrefix;      // ...while it is active, followed by the file name
    const char* savingLine;
    const char* notSavedTo;  // the log named by a write error
    bool WindowState::*logging;
    std::string WindowState::*fileName;
    std::string WindowState::*folder;
    MenuEntry WindowState::*menu;
    bool WindowState::*otherLogging;
    std::string WindowState::*otherFileName;
};

std::vector<TableRow> detailRows(const fs::path& p) {
    return test::readRows(p, kReportRecordFields);
}
std::vector<TableRow> summaryRows(const fs::path& p) {
    return test::readRows(p, kSummaryRecordFields);
}

const LogCase kLogs[] = {
    {"detailed", mnuLogDetail_Click, detailRows, 9, "New Detailed Log File",
     "Detail Log File Status", "Detailed Log File", "Begin Detail Data Logging",
     "Begin Detailed Data Logging", "STOP Detailed Logging to ", "     Saving to Log File...",
     "Log File", &WindowState::detailedLogging, &WindowState::detailedLogFileName,
     &WindowState::detailedLogFolder, &WindowState::mnuLogDetail, &WindowState::summaryLogging,
     &WindowState::summaryLogFileName},
    {"summary", mnuLogSummary_Click, summaryRows, 1, "New Summary Log File Selection",
     "Summary Log File Status", "Summary Log File", "Begin Summary Log File",
     "Begin Summary Log File", "STOP Summary Data Logging to ",
     "     Saving to Summary Log File...", "Summary Log File", &WindowState::summaryLogging,
     &WindowState::summaryLogFileName, &WindowState::summaryLogFolder, &WindowState::mnuLogSummary,
     &WindowState::detailedLogging, &WindowState::detailedLogFileName},
};

void start(WindowFixture& f, const LogCase& c, const fs::path& folder, const std::string& entry) {
    test::answerDialog(f, folder, entry);
    c.click(f.w());
}

void run(WindowFixture& f) {
    test::typeReplicates(f.w(), {"10.2", "11.5", "9.8"}, {"12.1", "11.8", "12.9", "13.2", "12.4"});
    cmdExecute_Click(f.w());
}

// Cancel leaves the log off; a name starts it; the entry stops it.
TEST(LogMenu, CancelStartAndStop) {
    for (const LogCase& c : kLogs) {
        SCOPED_TRACE(c.name);
        WindowFixture f(std::string("start_") + c.name);
        WindowState& ui = f.w().ui;
        f.desktop.fileAnswers.push_back(std::nullopt);
        c.click(f.w());
        EXPECT_FALSE(ui.*c.logging);
        EXPECT_EQ((ui.*c.menu).caption, c.initialCaption);
        EXPECT_TRUE(f.desktop.messages.empty());
        start(f, c, f.scratch, "my log");
        const std::string path = (f.scratch / "mylog.dbf").string();
        const std::string logName = c.logName;

        ASSERT_EQ(f.desktop.dialogCaptions.size(), 2U);
        EXPECT_EQ(f.desktop.dialogCaptions[1], c.dialogCaption);
        ASSERT_EQ(f.desktop.messages.size(), 1U);
        EXPECT_EQ(f.desktop.messages[0].title, c.activeTitle);
        EXPECT_EQ(f.desktop.messages[0].text, logName + " <" + path + "> Now Active.");
        EXPECT_EQ(f.desktop.messages[0].icon, MessageIcon::Information);
        EXPECT_EQ(test::statusLines(ui.Status).back(), logName + " <" + path + "> now active.");
        EXPECT_TRUE(ui.*c.logging);
        EXPECT_EQ((ui.*c.menu).caption, std::string(c.stopPrefix) + "mylog.dbf");
        EXPECT_EQ(ui.*c.folder, f.scratch.string());
        // A new log holds one blank row.
        const auto rows = c.rows(path);
        ASSERT_EQ(rows.size(), 1U);
        EXPECT_TRUE(rows[0].empty());

        c.click(f.w());
        EXPECT_FALSE(ui.*c.logging);
        EXPECT_EQ((ui.*c.menu).caption, c.beginCaption);
        EXPECT_EQ(test::statusLines(ui.Status).back(), logName + " <mylog.dbf> closed.");
        EXPECT_EQ(ui.*c.fileName, "");
        EXPECT_EQ(f.desktop.dialogCaptions.size(), 2U);  // stopping asks nothing

        // A run after stopping writes nothing.
        run(f);
        EXPECT_EQ(c.rows(path).size(), 1U);
    }
}

TEST(LogMenu, RefusedNames) {
    for (const LogCase& c : kLogs) {
        SCOPED_TRACE(c.name);
        WindowFixture f(std::string("refused_") + c.name);
        WindowState& ui = f.w().ui;
        const auto expectRefused = [&](const std::string& why) {
            ASSERT_FALSE(f.desktop.messages.empty()) << why;
            EXPECT_EQ(f.desktop.messages.back().title, "Log File Selection") << why;
            EXPECT_EQ(f.desktop.messages.back().text, "Incorrect Filename Chosen, Try again.")
                << why;
            EXPECT_EQ(f.desktop.messages.back().icon, MessageIcon::Exclamation) << why;
            EXPECT_FALSE(ui.*c.logging) << why;
            EXPECT_EQ((ui.*c.menu).caption, c.initialCaption) << why;
        };
        start(f, c, f.scratch, "");
        expectRefused("empty name");
        // The installed tables: writing rows into one would spoil every later run.
        for (const char* table : {"sslog", "sslogsum", "RANKIT"}) {
            start(f, c, test::programFolder(), table);
            expectRefused(table);
        }
        // The other log's name, even in another folder; letter case counts.
        const fs::path other = f.scratch / "other";
        fs::create_directories(other);
        ui.*c.otherLogging = true;
        ui.*c.otherFileName = "same.dbf";
        start(f, c, other, "same");
        expectRefused("the other log's name");
        EXPECT_FALSE(fs::exists(other / "same.dbf"));
        start(f, c, other, "Same");
        EXPECT_TRUE(ui.*c.logging);
    }
}

TEST(LogMenu, FileErrorsWhileStarting) {
    for (const LogCase& c : kLogs) {
        SCOPED_TRACE(c.name);
        WindowFixture f(std::string("errors_") + c.name);
        WindowState& ui = f.w().ui;
        // The number, then the file and the cause in plain words.
        const auto expectFileError = [&](int number, const fs::path& file, const char* cause) {
            ASSERT_FALSE(f.desktop.messages.empty());
            EXPECT_EQ(f.desktop.messages.back().title, "Log File Status");
            EXPECT_EQ(f.desktop.messages.back().text,
                      "File IO Error " + std::to_string(number) +
                          ".  File may already be open or pathname is corrupt. " + file.string() +
                          ": " + cause + ".");
            EXPECT_EQ(f.desktop.messages.back().icon, MessageIcon::Exclamation);
            EXPECT_EQ(test::statusLines(ui.Status).back(), std::string(c.logName) + " NOT active.");
            EXPECT_FALSE(ui.*c.logging);
            EXPECT_EQ(ui.*c.fileName, "");
            EXPECT_EQ((ui.*c.menu).caption, c.initialCaption);
        };
        // A folder that does not exist: 76.
        start(f, c, f.scratch / "missing", "log1");
        expectFileError(76, f.scratch / "missing" / "log1.dbf", "no such folder");

        // A log file that another program holds open: 70, and its content stays.
        const fs::path held = f.scratch / "held.dbf";
        std::ofstream(held, std::ios::binary) << "kept";
        std::ofstream(f.scratch / ".~lock.held.dbf#") << "x";
        start(f, c, f.scratch, "held");
        expectFileError(70, held, "in use by another program");
        EXPECT_EQ(test::readFileBytes(held), "kept");

        if (::geteuid() != 0) {
            const fs::path ro = f.scratch / "ro";
            fs::create_directories(ro);
            fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
            start(f, c, ro, "log3");
            fs::permissions(ro, fs::perms::owner_all);
            expectFileError(70, ro / "log3.dbf", "permission denied");
        }
    }
}

TEST(LogMenu, WriteErrorKeepsTheLogActive) {
    for (const LogCase& c : kLogs) {
        SCOPED_TRACE(c.name);
        WindowFixture f(std::string("write_error_") + c.name);
        WindowState& ui = f.w().ui;
        start(f, c, f.scratch, "log");
        const fs::path path = f.scratch / "log.dbf";
        const auto expectNotSaved = [&](int number) {
            const auto lines = test::statusLines(ui.Status);
            ASSERT_GE(lines.size(), 3U);
            EXPECT_EQ(lines[lines.size() - 3], c.savingLine);
            const std::string prefix = std::string("     ERROR - Run NOT saved to ") +
                                       c.notSavedTo + " <" + path.string() + ">: error " +
                                       std::to_string(number);
            EXPECT_EQ(lines[lines.size() - 2].rfind(prefix, 0), 0U) << lines[lines.size() - 2];
            EXPECT_EQ(lines.back(), "*** Stats complete.");
            EXPECT_TRUE(ui.*c.logging);
            EXPECT_EQ((ui.*c.menu).caption, std::string(c.stopPrefix) + "log.dbf");
        };
        // Another program takes the file: the run is reported as not logged, the log stays on.
        const fs::path lock = f.scratch / ".~lock.log.dbf#";
        std::ofstream(lock) << "x";
        run(f);
        expectNotSaved(70);
        EXPECT_EQ(c.rows(path).size(), 1U);

        fs::remove(lock);
        run(f);
        EXPECT_EQ(c.rows(path).size(), 1U + c.rowsPerRun);

        // The file taken away behind the program's back: 53.
        fs::remove(path);
        run(f);
        expectNotSaved(53);
    }
}

}  // namespace
}  // namespace bx
