// SPDX-License-Identifier: MIT
#include "app/user_guide.h"

#include <filesystem>

#include "app/main_window.h"

namespace bx {

namespace {
constexpr const char* kTitle = "User Guide";
}  // namespace

std::string userGuidePath(const std::string& programFolder) {
    namespace fs = std::filesystem;
    const fs::path program(programFolder);
    for (const fs::path& candidate :
         {program / "guide.md", program / ".." / "share" / "doc" / "benthix" / "docs" / "guide.md",
          program / ".." / ".." / "share" / "doc" / "benthix" / "docs" / "guide.md",
          program / ".." / "share" / "doc" / "benthix" / "guide.md",
          program / ".." / ".." / "share" / "doc" / "benthix" / "guide.md"}) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) {
            return candidate.lexically_normal().string();
        }
    }
    return {};
}

void mnuHelpGuide_Click(MainWindow& w) {
    const std::string path = userGuidePath(w.ui.programFolder);
    if (path.empty()) {
        w.desktop().messageBox(kTitle,
                               "There is no user guide yet: guide.md is not in the program "
                               "folder <" +
                                   w.ui.programFolder + "> nor in share/doc/benthix.",
                               MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    if (!w.desktop().showGuide(path, w.ui.helpTopic)) {
        w.desktop().messageBox(kTitle, "No program could open the user guide <" + path + ">.",
                               MessageIcon::Information, MessageButtons::Ok);
    }
}

}  // namespace bx
