// SPDX-License-Identifier: MIT
#include "cli/validate_command.h"

#include <CLI/Version.hpp>
#include <filesystem>

#include "cli/exit_status.h"
#include "validation/validation.h"
#include "validation/validation_report.h"

namespace bx::cli {

int runValidate(const ValidateRequest& request, const StartupFolders& folders, std::ostream& out,
                std::ostream& err) {
    bool pdf = false;
    if (request.report && !isValidationReportName(*request.report, pdf)) {
        err << "benthix-cli validate: --report " << *request.report
            << ": name a .html or a .pdf file\nTry 'benthix-cli validate --help'\n";
        return kExitUsage;
    }
    std::error_code ec;
    if (request.report && !request.force && std::filesystem::exists(*request.report, ec)) {
        err << "benthix-cli validate: --report " << *request.report
            << " exists (--force replaces it)\nTry 'benthix-cli validate --help'\n";
        return kExitUsage;
    }
    const ValidationResult result =
        validateInstallation(folders.programFolder, {"benthix-cli", "CLI11 " CLI11_VERSION, ""},
                             builtInReferenceCases(), builtInTableValues());
    out << validationText(result);
    if (request.report) {
        if (const std::string problem = writeValidationReport(result, *request.report);
            !problem.empty()) {
            err << "benthix-cli: --report " << *request.report << " failed: " << problem << '\n';
            return kExitRefused;
        }
        out << "Report written to " << *request.report << '\n';
    }
    return result.passed() ? kExitRan : kExitRefused;
}

}  // namespace bx::cli
