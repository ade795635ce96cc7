#pragma once
// Shared test fixtures: a desktop with scripted answers that records everything shown, a
// status collector, and a main window started on the build's program folder.

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop.h"
#include "app/main_window.h"
#include "app/status_sink.h"

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

    // Scripted answers, used in order; a Yes/No box without a scripted answer gets No.
    std::deque<MessageAnswer> answers;
    // Scripted file dialogs; std::nullopt is Cancel. Without one left the dialog cancels.
    std::deque<std::optional<FileDialogAnswer>> fileAnswers;
    bool openSucceeds = true;

    // What was shown
    std::vector<ShownMessage> messages;
    std::vector<std::string> dialogCaptions;
    std::vector<std::string> dialogStartFolders;
    std::vector<std::string> opened;
    std::string clipboard;
    int aboutShown = 0;
};

class CollectingSink : public StatusSink {
  public:
    void postStatus(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// The build's program folder (generated tables, templates and pictures).
std::string programFolder();

// A fresh, empty scratch folder for one test, below the build tree.
std::filesystem::path freshScratch(const std::string& name);

// The lines of a status text, split at CR LF (the first is "" after the first post).
std::vector<std::string> statusLines(const std::string& status);

// A main window started as at program start on the build's program folder, with its own
// scratch folder.
struct WindowFixture {
    explicit WindowFixture(const std::string& name = "window");
    ScriptedDesktop desktop;
    std::unique_ptr<MainWindow> window;
    MainWindow& w() { return *window; }
    std::filesystem::path scratch;
};

}  // namespace bx::test
