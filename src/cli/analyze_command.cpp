// SPDX-License-Identifier: MIT
#include "cli/analyze_command.h"

#include "app/comparison_document.h"
#include "app/execute.h"
#include "app/replicate_panels.h"
#include "app/startup.h"
#include "base/text_format.h"
#include "cli/cli_desktop.h"
#include "cli/exit_status.h"
#include "cli/explain.h"
#include "cli/file_checks.h"
#include "cli/file_commands.h"
#include "cli/output_file.h"
#include "cli/result_output.h"
#include "drawing/cairo/plot_image.h"
#include "drawing/cairo/survey_report_pdf.h"
#include "logs/log_file.h"
#include "survey/result_json.h"
#include "tables/stat_tables.h"

namespace bx::cli {

namespace {

// A report asked for as .pdf or .html: the comparison's report document rather than File >
// Report's CSV and workbook.
bool reportIsDocument(const AnalyzeRequest& request) {
    return request.report && isDocumentName(*request.report);
}

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
    add(request.report, "--report",
        reportIsDocument(request) ? FileRole::Results : FileRole::Report);
    add(request.plot, "--plot", FileRole::Results);
    return files;
}

// The last line of `text` that holds more than blanks, without its blanks around it.
std::string lastLineOf(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0) {
        const std::size_t start = text.find_last_of("\r\n", end - 1);
        const std::size_t first = start == std::string::npos ? 0 : start + 1;
        const std::string_view line = trimBlanks(std::string_view(text).substr(first, end - first));
        if (!line.empty()) {
            return std::string(line);
        }
        if (start == std::string::npos) {
            break;
        }
        end = start;
    }
    return {};
}

// The cause of a failure in plain words, from the error number the window's messages and
// status lines give; else the last line the command posted, which says it in its own words.
std::string causeIn(const std::string& messages, const std::string& status) {
    const int number = errorNumberIn(messages + status);
    // A file held by another program, or a link to nothing, is told so, not by the number's
    // general words.
    for (const char* cause :
         {"in use by another program", "a symbolic link to a file that does not exist"}) {
        if ((messages + status).find(cause) != std::string::npos) {
            return cause +
                   (number != 0 ? " (error " + std::to_string(number) + ")" : std::string());
        }
    }
    if (number != 0 && plainCause(number).find("could not be used") == std::string::npos) {
        return plainCause(number);
    }
    // A status line that only says the load failed leaves the why to the message.
    std::string line = lastLineOf(status);
    if (line.empty() || line == "*** Data NOT Loaded!") {
        if (std::string said = lastLineOf(messages); !said.empty()) {
            line = std::move(said);
        }
    }
    if (line.empty()) {
        return number != 0 ? plainCause(number) : std::string("see the messages above");
    }
    return line;
}

// Writes the report document of the window's last run: the survey report's form with one
// station; false after saying why on `err`.
bool writeComparisonReport(const MainWindow& w, const AnalyzeRequest& request, std::ostream& err) {
    const drawing::Paper paper = !request.paper               ? drawing::defaultPaper()
                                 : *request.paper == "letter" ? drawing::Paper::Letter
                                                              : drawing::Paper::A4;
    return writeWholeFile(*request.report,
                          comparisonDocumentBytes(comparisonDocument(w, request.load.value_or("")),
                                                  *request.report, paper),
                          err);
}

// Draws the window's replicate plot into `path`; false after saying why on `err`.
bool writePlot(const MainWindow& w, const std::string& path, std::ostream& err) {
    const std::string bytes =
        drawing::replicatePlotFile(*drawing::imageFormatOf(path), replicatePanels(w.ui, w.analysis),
                                   360.0, 240.0, drawing::PlotStyle{});
    return writeWholeFile(path, bytes, err);
}

}  // namespace

int runAnalyze(const AnalyzeRequest& request, const StartupFolders& folders, std::ostream& out,
               std::ostream& err) {
    std::string problem = fileArgumentProblem(fileArguments(request), request.files);
    if (problem.empty() && request.plot && !drawing::imageFormatOf(*request.plot)) {
        problem = "--plot " + *request.plot + ": the plot is written as .svg, .png or .pdf";
    }
    if (!problem.empty()) {
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
    w.ui.outputsMustBeNew = !request.files.force;

    bool filesDone = true;
    bool outputExists = false;
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
            // Another run made the file since the check of the command line.
            if (errorNumberIn(messages + w.ui.Status.substr(before)) == kErrFileExists) {
                outputExists = true;
                err << "benthix-cli: " << option << " " << *path
                    << ": exists (made by another run meanwhile); --force replaces it\n";
                return;
            }
            err << "benthix-cli: " << option << " " << *path
                << " failed: " << causeIn(messages, w.ui.Status.substr(before)) << '\n';
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
    if (request.report && !reportIsDocument(request)) {
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

    if (request.plot && !writePlot(w, *request.plot, err)) {
        filesDone = false;
    }
    if (reportIsDocument(request) && !writeComparisonReport(w, request, err)) {
        filesDone = false;
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
    // Results that did not reach standard output (a full disk, a closed pipe) are a failure.
    if (const std::string failure = DescriptorOutput::failureOf(out); !failure.empty()) {
        err << failure;
        filesDone = false;
    }
    const bool lookupFailed = result && result->lookupFailed();
    if (outputExists) {
        return kExitUsage;
    }
    return ran && filesDone && !lookupFailed ? kExitRan : kExitRefused;
}

}  // namespace bx::cli
