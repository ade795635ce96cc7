#include "cli/validate_command.h"

#include <filesystem>
#include <fstream>

#include "cli/exit_status.h"
#include "cli/validation.h"
#include "cli/validation_report.h"

namespace bx::cli {
namespace {

bool endsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) {
        return false;
    }
    std::string tail = text.substr(text.size() - end.size());
    for (char& c : tail) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return tail == end;
}

// Writes `text` to `path` through a temporary file beside it; returns the cause of a failure.
std::string writeText(const std::string& path, const std::string& text) {
    const std::string temp = path + ".part";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << text;
        file.flush();
        if (!file) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return "cannot write " + temp;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return ec.message();
    }
    return {};
}

}  // namespace

int runValidate(const ValidateRequest& request, const StartupFolders& folders, std::ostream& out,
                std::ostream& err) {
    const bool pdf = request.report && endsWith(*request.report, ".pdf");
    if (request.report && !pdf && !endsWith(*request.report, ".html") &&
        !endsWith(*request.report, ".htm")) {
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
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const ValidationResult result =
        validateInstallation(folders.programFolder, ec ? std::string("benthix-cli") : self.string(),
                             builtInReferenceCases(), builtInTableValues());
    out << validationText(result);
    if (request.report) {
        const std::string problem = pdf ? writeValidationPdf(result, *request.report)
                                        : writeText(*request.report, validationHtml(result));
        if (!problem.empty()) {
            err << "benthix-cli: --report " << *request.report << " failed: " << problem << '\n';
            return kExitRefused;
        }
        out << "Report written to " << *request.report << '\n';
    }
    return result.passed() ? kExitRan : kExitRefused;
}

}  // namespace bx::cli
