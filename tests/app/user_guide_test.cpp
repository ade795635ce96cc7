// Help > User Guide: where the guide is looked for, and what the user is told when there is
// none or nothing opened it.
#include <gtest/gtest.h>

#include <fstream>

#include "app/user_guide.h"
#include "support/test_support.h"

namespace bx {
namespace {

namespace fs = std::filesystem;

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
