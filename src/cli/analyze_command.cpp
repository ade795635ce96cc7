#include "cli/analyze_command.h"

#include "analysis/driver.h"
#include "app/startup.h"
#include "cli/cli_desktop.h"
#include "cli/exit_status.h"
#include "cli/result_output.h"

namespace bx::cli {

int runAnalyze(const AnalyzeRequest& request, const StartupFolders& folders, std::ostream& out,
               std::ostream& err) {
    CliDesktop desktop(request.options.overrideAnswer);
    MainWindow w(desktop, folders);
    Form_Load(w);

    if (request.test) {
        putEntries(w.ui.Grid1, splitCellTexts(*request.test));
    }
    if (request.reference) {
        putEntries(w.ui.Grid2, splitCellTexts(*request.reference));
    }
    applyOptions(w, request.options);
    cmdExecute_Click(w);
    err << desktop.takeMessages();

    out << (request.json ? resultJsonText(w.ui) : readableResults(w.ui));
    return lastRunOutcome(w.ui).completed ? kExitRan : kExitRefused;
}

}  // namespace bx::cli
