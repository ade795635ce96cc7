// SPDX-License-Identifier: MIT
#pragma once
// What the benchmarks share: a quiet desktop, windows started on the build's program folder,
// the replicate sets of every decision path and a generated survey.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop.h"
#include "app/main_window.h"

namespace bx::bench {

// Answers every question with No and shows nothing.
class QuietDesktop : public Desktop {
  public:
    MessageAnswer messageBox(const std::string&, const std::string&, MessageIcon,
                             MessageButtons buttons) override {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    std::optional<FileDialogAnswer> fileDialog(const std::string&, const std::string&) override {
        return next;
    }
    void setClipboardText(const std::string&) override {}
    std::string clipboardText() override { return {}; }
    bool openExternally(const std::string&) override { return false; }
    void showAbout() override {}

    std::optional<FileDialogAnswer> next;  // what the file dialog returns
};

// A scratch folder of the benchmark run, emptied first.
std::filesystem::path benchScratch(const std::string& name);

StartupFolders benchFolders();

// A started window (Form_Load done) on the program folder.
struct BenchWindow {
    BenchWindow();
    QuietDesktop desktop;
    std::unique_ptr<MainWindow> window;
    MainWindow& w() { return *window; }
};

// Puts the two samples into the grids' Data columns.
void putSamples(MainWindow& w, const std::vector<std::string>& test,
                const std::vector<std::string>& reference);

// 10 and 10 replicates that take each decision path of the driver.
struct PathData {
    const char* name;
    std::vector<std::string> test;
    std::vector<std::string> reference;
};
const std::vector<PathData>& decisionPaths();

// Writes a survey of `comparisons` test samples (3 to 10 replicates each, a mix of every
// decision path) against the reference "REF" and returns its path.
std::filesystem::path writeSurvey(int comparisons);

}  // namespace bx::bench
