// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/validation_command.h"
#include "support/test_support.h"

namespace bx {
namespace {

namespace fs = std::filesystem;

// Help > Validate Installation: the dialog starts in the user's folder; the name typed gets
// ".pdf"; the report is written, its summary shown and the report opened.
TEST(ValidateInstallation, WritesTheReportShowsTheSummaryAndOpensIt) {
    const fs::path scratch = test::freshScratch("validate-installation");
    test::ScriptedDesktop desktop;
    desktop.fileAnswers.push_back(FileDialogAnswer{scratch.string(), "/", "lab check"});
    MainWindow w(desktop, {test::programFolder(), (scratch / "user").string()},
                 test::sharedGeneratedTables());
    mnuHelpValidate_Click(w, "Qt test");

    const fs::path report = scratch / "lab check.pdf";
    EXPECT_EQ(desktop.dialogStartFolders, std::vector<std::string>{(scratch / "user").string()});
    std::ifstream file(report, std::ios::binary);
    std::string head(5, '\0');
    file.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    ASSERT_EQ(desktop.messages.size(), 1U);
    EXPECT_EQ(desktop.messages[0].title, "Validate Installation");
    EXPECT_EQ(desktop.messages[0].text.substr(0, 19), "VALIDATION PASSED\n\n");
    EXPECT_NE(desktop.messages[0].text.find("all 10 tables and templates intact"),
              std::string::npos);
    EXPECT_EQ(desktop.opened, std::vector<std::string>{report.string()});
}

}  // namespace
}  // namespace bx
