// SPDX-License-Identifier: MIT
#pragma once
// Shared test fixtures: a desktop with scripted answers that records everything shown, a main
// window started on the build's program folder, and helpers for typing replicates, answering
// the file dialog and reading files back.

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/desktop.h"
#include "app/main_window.h"
#include "tables/record_field.h"
#include "tables/stat_tables.h"

namespace bx::test {

struct ShownMessage {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

class ScriptedDesktop : public Desktop {
  public:
    MessageAnswer messageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) override;
    std::optional<FileDialogAnswer> fileDialog(const std::string& caption,
                                               const std::string& startFolder) override;
    void setClipboardText(const std::string& text) override { clipboard = text; }
    std::string clipboardText() override { return clipboard; }
    bool openExternally(const std::string& path) override;
    void showAbout() override { ++aboutShown; }
    // Recorded and answered as a Yes/No message box; ticks "Don't ask again" as scripted.
    Confirmation confirm(const std::string& title, const std::string& text) override {
        return {messageBox(title, text, MessageIcon::Question, MessageButtons::YesNo) ==
                    MessageAnswer::Yes,
                tickDontAskAgain};
    }

    // Scripted answers, used in order; a Yes/No box without a scripted answer gets No.
    std::deque<MessageAnswer> answers;
    // Scripted file dialogs; std::nullopt is Cancel. Without one left the dialog cancels.
    std::deque<std::optional<FileDialogAnswer>> fileAnswers;
    bool openSucceeds = true;
    bool tickDontAskAgain = false;

    // What was shown
    std::vector<ShownMessage> messages;
    std::vector<std::string> dialogCaptions;
    std::vector<std::string> dialogStartFolders;
    std::vector<std::string> opened;
    std::string clipboard;
    int aboutShown = 0;
};

// The build's program folder (generated tables, templates and pictures).
inline std::string programFolder() {
    return BX_PROGRAM_DIR;
}

// Its statistical tables, read once and shared by every test of a program.
inline std::shared_ptr<const StatTables> sharedGeneratedTables() {
    static const std::shared_ptr<const StatTables> tables = StatTables::load(programFolder());
    return tables;
}
inline const StatTables& generatedTables() {
    return *sharedGeneratedTables();
}

// Copies the six statistical tables, the templates and their manifest from the build's program
// folder into `folder`: a program folder whose tables are as installed.
void copyStatisticalTables(const std::filesystem::path& folder);

// A fresh, empty scratch folder for one test, below the build tree.
inline std::filesystem::path freshScratch(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(BX_TEST_SCRATCH) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// The lines of a status text, split at CR LF (the first is "" after the first post).
std::vector<std::string> statusLines(const std::string& status);

// A main window started as at program start on the build's program folder (its tables read
// once for all the tests of a program), with its own scratch folder.
struct WindowFixture {
    explicit WindowFixture(const std::string& name = "window");
    ScriptedDesktop desktop;
    std::unique_ptr<MainWindow> window;
    MainWindow& w() { return *window; }
    std::filesystem::path scratch;
};

// Replaces both grids' Data columns by these replicates (the rows after them blank).
void typeReplicates(MainWindow& w, const std::vector<std::string>& test,
                    const std::vector<std::string>& reference);

// The next file dialog answers OK on `folder` with `entry` typed.
inline void answerDialog(WindowFixture& f, const std::filesystem::path& folder,
                         const std::string& entry) {
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder.string(), "/", entry});
}

// The whole file as bytes ("" when it cannot be read).
std::string readFileBytes(const std::filesystem::path& path);

// The non-empty fields of each row of a table, in file order; fails the test when the table
// cannot be opened or lacks one of the fields.
using TableRow = std::map<std::string, std::string>;
std::vector<TableRow> readRows(const std::filesystem::path& path,
                               std::span<const RecordField> fields);

// A row written as "FIELD=text|FIELD=text": its fields that are not blank.
TableRow rowOf(const std::string& pattern);

// Runs `work` in a forked child which then waits to be killed with SIGKILL (no destructors,
// no flush at exit); returns what `work` returned, false when the child could not report.
bool runThenKill(const std::function<bool()>& work);

}  // namespace bx::test
