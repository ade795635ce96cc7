// SPDX-License-Identifier: MIT
#include "app/validation_command.h"

#include <ctime>
#include <filesystem>

#include "app/main_window.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "validation/validation.h"
#include "validation/validation_report.h"

namespace bx {
namespace {

constexpr const char* kTitle = "Validate Installation";

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &tm);
    return buffer;
}

// The report's path from the dialog's answer: the name typed, "benthix-validation-<date>.pdf"
// when none was, ".pdf" added to a name that is neither .pdf nor .html.
std::string reportPath(const FileDialogAnswer& answer) {
    std::string name(trimBlanks(answer.entryText));
    if (name.empty()) {
        name = "benthix-validation-" + today() + ".pdf";
    }
    bool pdf = false;
    if (!isValidationReportName(name, pdf)) {
        name += ".pdf";
    }
    return joinPath(answer.folder, name);
}

}  // namespace

void mnuHelpValidate_Click(MainWindow& w, const std::string& libraries) {
    Desktop& desktop = w.desktop();
    const std::optional<FileDialogAnswer> answer =
        desktop.chooseFile({"Save the Validation Report (.pdf or .html)", w.ui.scratchFolder,
                            [](const FileDialogAnswer& candidate) {
                                std::error_code ec;
                                return std::filesystem::is_directory(candidate.folder, ec)
                                           ? std::string()
                                           : "Folder not found: " + candidate.folder;
                            },
                            {},
                            {}});
    if (!answer) {
        return;
    }
    const std::string path = reportPath(*answer);
    const ValidationResult result =
        validateInstallation(w.ui.programFolder, {"Benthix", libraries, ""},
                             builtInReferenceCases(), builtInTableValues());
    if (const std::string problem = writeValidationReport(result, path); !problem.empty()) {
        desktop.messageBox(
            kTitle, "The validation report could not be written to <" + path + ">: " + problem,
            MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    desktop.messageBox(kTitle,
                       std::string(result.passed() ? "VALIDATION PASSED" : "VALIDATION FAILED") +
                           "\n\n" + result.summary() + ".\n\nThe report: " + path,
                       result.passed() ? MessageIcon::Information : MessageIcon::Critical,
                       MessageButtons::Ok);
    desktop.openExternally(path);
}

}  // namespace bx
