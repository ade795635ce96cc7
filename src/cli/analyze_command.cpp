// SPDX-License-Identifier: MIT
#include "cli/analyze_command.h"

#include "app/execute.h"
#include "app/startup.h"
#include "base/text_format.h"
#include "logs/log_file.h"
#include "cli/cli_desktop.h"
#include "cli/exit_status.h"
#include "cli/explain.h"
#include "cli/file_checks.h"
#include "cli/file_commands.h"
#include "survey/result_json.h"
#include "cli/result_output.h"
#include "tables/stat_tables.h"

namespace bx::cli {

namespace {

// The file arguments of a request, in the order they are used.
std::vector<FileArgument> fileArguments(const AnalyzeRequest& request) {
    std::vector<FileArgument> files;
    const auto add = [&](const std::optional<std::string>& path, const char* option,
                         FileRole role) {
        if (path) {
            files.push_back({option, *path, role});
        }
    };
    add(request.load, "--load", FileRole::Loaded);
    add(request.save, "--save", FileRole::Table);
    add(request.detailedLog, "--detailed-log", FileRole::Table);
    add(request.summaryLog, "--summary-log", FileRole::Table);
    add(request.sharedDetailedLog, "--append-detailed-log", FileRole::Appended);
    add(request.sharedSummaryLog, "--append-summary-log", FileRole::Appended);
    add(request.report, "--report", FileRole::Report);
    return files;
}

// The cause of a failure in plain words, from the error number the window's messages and
// status lines give; a general phrase when they give none.
std::string causeIn(const std::string& text) {
    const int number = errorNumberIn(text);
    return number != 0 ? plainCause(number) : std::string("see the messages above");
}

}  // namespace

int runAnalyze(const AnalyzeRequest& request, const StartupFolders& folders, std::ostream& out,
               std::ostream& err) {
    if (const std::string problem = fileArgumentProblem(fileArguments(request), request.files);
        !problem.empty()) {
        err << "benthix-cli analyze: " << problem << "\nTry 'benthix-cli analyze --help'\n";
        return kExitUsage;
    }
    // A FIFO or a device would block the load or feed it without end.
    if (request.load) {
        const std::optional<std::string> cause = unreadableFileCause(*request.load);
        if (cause && cause->find("regular file") != std::string::npos) {
            err << "benthix-cli: cannot load " << *request.load << ": " << *cause << '\n';
            return kExitRefused;
        }
    }

    CliDesktop desktop(request.options.overrideAnswer);
    MainWindow w(desktop, folders);
    Form_Load(w);
    if (!w.tables().installationProblem().empty()) {
        err << desktop.takeMessages();
        return kExitRefused;
    }
    w.ui.strictNumbers = !request.lenient;
    w.ui.keepTypedNames = request.files.keepLongNames;

    bool filesDone = true;
    auto fileCommand = [&](const std::optional<std::string>& path, FileCommand command,
                           const char* option) {
        if (!path) {
            return;
        }
        const std::size_t before = w.ui.Status.size();
        const bool done = runFileCommand(w, desktop, command, *path);
        const std::string messages = desktop.takeMessages();
        err << messages;
        if (!done) {
            filesDone = false;
            err << "benthix-cli: " << option << " " << *path
                << " failed: " << causeIn(messages + w.ui.Status.substr(before)) << '\n';
        }
    };

    fileCommand(request.load, FileCommand::Load, "--load");
    if (request.test) {
        putEntries(w.ui.Grid1, splitCellTexts(*request.test));
    }
    if (request.reference) {
        putEntries(w.ui.Grid2, splitCellTexts(*request.reference));
    }
    applyOptions(w, request.options);
    fileCommand(request.save, FileCommand::Save, "--save");
    fileCommand(request.detailedLog, FileCommand::DetailedLog, "--detailed-log");
    fileCommand(request.summaryLog, FileCommand::SummaryLog, "--summary-log");
    fileCommand(request.sharedDetailedLog, FileCommand::SharedDetailedLog, "--append-detailed-log");
    fileCommand(request.sharedSummaryLog, FileCommand::SharedSummaryLog, "--append-summary-log");
    if (request.report) {
        fileCommand(request.report, FileCommand::Report, "--report");
    } else {
        cmdExecute_Click(w);
        err << desktop.takeMessages();
    }
    // A run the logs did not take is a failure too.
    for (const LogWriteFailure& failure : w.lastRunLogFailures) {
        filesDone = false;
        err << "benthix-cli: the run was not written to the "
            << logWriteErrorText(failure.log, failure.error) << ": "
            << (failure.error.number != 0 ? plainCause(failure.error.number)
                                          : std::string("see the messages above"))
            << '\n';
    }

    const std::optional<Comparison>& result = w.analysis.result;
    const bool ran = result && result->completed() && !w.analysis.checked.refusal;
    const std::vector<std::string> why =
        request.explain && ran ? explanation(*result) : std::vector<std::string>{};
    if (request.json) {
        nlohmann::ordered_json typed =
            resultObject(w.analysis.checked, result ? &*result : nullptr);
        if (request.explain) {
            typed["explanation"] = why;
        }
        addSampleSummaries(typed, w.analysis.checked, result ? &*result : nullptr);
        out << resultJsonText(w.ui, std::move(typed));
    } else {
        out << readableResults(w.ui);
        if (request.explain) {
            out << "\nWhy this test\n";
            for (const std::string& sentence : why) {
                out << "  " << sentence << '\n';
            }
        }
    }
    // The run's outcome as the window model holds it: the entries refused, or the analysis
    // refused or completed.
    if (!ran) {
        std::string_view reason;
        if (w.analysis.checked.refusal) {
            reason = trimBlanks(*w.analysis.checked.refusal);
        } else if (result && result->refusal) {
            reason = trimBlanks(result->refusal->text);
        }
        if (!reason.empty()) {
            err << "benthix-cli: refused: " << reason << '\n';
        }
    }
    const bool lookupFailed = result && result->lookupFailed();
    return ran && filesDone && !lookupFailed ? kExitRan : kExitRefused;
}

}  // namespace bx::cli
