#include "cli/analyze_command.h"

#include "app/execute.h"
#include "app/startup.h"
#include "tables/stat_tables.h"
#include "cli/cli_desktop.h"
#include "cli/exit_status.h"
#include "cli/file_commands.h"
#include "cli/explain.h"
#include "cli/result_json.h"
#include "cli/result_output.h"

namespace bx::cli {

int runAnalyze(const AnalyzeRequest& request, const StartupFolders& folders, std::ostream& out,
               std::ostream& err) {
    CliDesktop desktop(request.options.overrideAnswer);
    MainWindow w(desktop, folders);
    Form_Load(w);
    if (!w.tables().installationProblem().empty()) {
        err << desktop.takeMessages();
        return kExitRefused;
    }

    bool filesDone = true;
    auto fileCommand = [&](const std::optional<std::string>& path, FileCommand command) {
        if (path) {
            filesDone = runFileCommand(w, desktop, command, *path) && filesDone;
            err << desktop.takeMessages();
        }
    };

    fileCommand(request.load, FileCommand::Load);
    if (request.test) {
        putEntries(w.ui.Grid1, splitCellTexts(*request.test));
    }
    if (request.reference) {
        putEntries(w.ui.Grid2, splitCellTexts(*request.reference));
    }
    applyOptions(w, request.options);
    fileCommand(request.save, FileCommand::Save);
    fileCommand(request.detailedLog, FileCommand::DetailedLog);
    fileCommand(request.summaryLog, FileCommand::SummaryLog);
    fileCommand(request.sharedDetailedLog, FileCommand::SharedDetailedLog);
    fileCommand(request.sharedSummaryLog, FileCommand::SharedSummaryLog);
    if (request.report) {
        fileCommand(request.report, FileCommand::Report);
    } else {
        cmdExecute_Click(w);
        err << desktop.takeMessages();
    }

    const std::optional<Comparison>& result = w.analysis.result;
    const bool ran = result && result->completed() && !w.analysis.checked.refusal;
    const std::vector<std::string> why =
        request.explain && ran ? explanation(*result) : std::vector<std::string>{};
    if (request.json) {
        nlohmann::ordered_json typed = resultObject(w.analysis.checked, result ? &*result : nullptr);
        if (request.explain) {
            typed["explanation"] = why;
        }
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
    const bool lookupFailed = result && result->lookupFailed();
    return lastRunOutcome(w.ui).completed && filesDone && !lookupFailed ? kExitRan : kExitRefused;
}

}  // namespace bx::cli
