// SPDX-License-Identifier: MIT
#include "cli/cli_desktop.h"

#include <filesystem>

#include "app/main_window.h"
#include "cli/file_checks.h"

namespace bx::cli {

FileDialogAnswer dialogAnswerFor(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(path), ec);
    if (ec) {
        full = fs::path(path);
    }
    full = full.lexically_normal();
    FileDialogAnswer answer;
    answer.entryText = full.filename().string();
    answer.folder = full.parent_path().string();
    answer.drive = full.root_path().string();
    return answer;
}

CliDesktop::CliDesktop(std::optional<bool> overrideAnswer) : overrideAnswer_(overrideAnswer) {}

MessageAnswer CliDesktop::messageBox(const std::string& title, const std::string& text,
                                     MessageIcon /*icon*/, MessageButtons buttons) {
    messages_ += title.empty() ? std::string(kAppTitle) : title;
    messages_ += ": ";
    messages_ += text;
    messages_ += '\n';
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    return overrideAnswer_.value_or(false) ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<FileDialogAnswer> CliDesktop::fileDialog(const std::string& /*caption*/,
                                                       const std::string& /*startFolder*/) {
    if (!nextFile_) {
        return std::nullopt;
    }
    const std::string path = *nextFile_;
    nextFile_.reset();
    return dialogAnswerFor(path);
}

bool CliDesktop::openExternally(const std::string& /*path*/) {
    return false;
}

bool CliDesktop::messagesHold(int number) const {
    return errorNumberIn(messages_) == number;
}

}  // namespace bx::cli
