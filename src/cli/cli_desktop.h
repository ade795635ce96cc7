// SPDX-License-Identifier: MIT
#pragma once
// The desktop of the command-line tool: message boxes become "title: text" lines that the
// caller prints on standard error, the one Yes/No question (the normality override) is
// answered in advance, the file dialog hands back a path given on the command line, and the
// clipboard lives in memory.

#include <optional>
#include <string>
#include <utility>

#include "app/desktop.h"

namespace bx::cli {

// What the file dialog returns for a path typed on the command line: the path's folder (made
// absolute against the current folder), its file-system root as the drive and its last part
// as the entry text, so that the core's name rules apply as if the user had typed the name.
FileDialogAnswer dialogAnswerFor(const std::string& path);

class CliDesktop : public Desktop {
  public:
    // `overrideAnswer`: the answer to a Yes/No question; without one every question gets No.
    explicit CliDesktop(std::optional<bool> overrideAnswer);

    // Records "title: text" and a line end (the application's title when `title` is empty).
    MessageAnswer messageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) override;

    // The path set by setNextFile(), once; Cancel when there is none.
    std::optional<FileDialogAnswer> fileDialog(const std::string& caption,
                                               const std::string& startFolder) override;

    void setClipboardText(const std::string& text) override { clipboard_ = text; }
    std::string clipboardText() override { return clipboard_; }

    // Nothing is ever opened from the command line.
    bool openExternally(const std::string& path) override;
    void showAbout() override {}

    // The path that the next file dialog returns; std::nullopt makes it cancel.
    void setNextFile(std::optional<std::string> path) { nextFile_ = std::move(path); }

    // The message lines recorded since the last call.
    std::string takeMessages() { return std::exchange(messages_, std::string()); }
    // Whether the lines recorded since takeMessages() give the error number `number`.
    bool messagesHold(int number) const;

  private:
    std::string messages_;
    std::optional<bool> overrideAnswer_;
    std::optional<std::string> nextFile_;
    std::string clipboard_;
};

}  // namespace bx::cli
