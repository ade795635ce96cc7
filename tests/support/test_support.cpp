#include "support/test_support.h"

#include "app/startup.h"

namespace bx::test {

MessageAnswer ScriptedDesktop::messageBox(const std::string& title, const std::string& text,
                                          MessageIcon icon, MessageButtons buttons) {
    messages.push_back({title, text, icon, buttons});
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    if (answers.empty()) {
        return MessageAnswer::No;
    }
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<FileDialogAnswer> ScriptedDesktop::fileDialog(const std::string& caption,
                                                            const std::string& startFolder) {
    dialogCaptions.push_back(caption);
    dialogStartFolders.push_back(startFolder);
    if (fileAnswers.empty()) {
        return std::nullopt;
    }
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

bool ScriptedDesktop::openExternally(const std::string& path) {
    opened.push_back(path);
    return openSucceeds;
}

std::string programFolder() {
    return BX_PROGRAM_DIR;
}

std::filesystem::path freshScratch(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(BX_TEST_SCRATCH) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::vector<std::string> statusLines(const std::string& status) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const auto pos = status.find("\r\n", start);
        lines.push_back(status.substr(start, pos - start));
        if (pos == std::string::npos) {
            break;
        }
        start = pos + 2;
    }
    return lines;
}

WindowFixture::WindowFixture(const std::string& name) : scratch(freshScratch(name)) {
    window = std::make_unique<MainWindow>(
        desktop, StartupFolders{programFolder(), (scratch / "userdata").string()});
    Form_Load(*window);
}

}  // namespace bx::test
