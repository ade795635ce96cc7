#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Seeds realistic faults into the sources one at a time and reports which ones the test suite
kills. Run it in a scratch worktree with its own build folder, never in a tree you are editing:

    scripts/mutants.py --build build/default [--only NAME ...] [--from NAME] [--differential]
    scripts/mutants.py --list

Each fault replaces one exact text in one file (the text must occur exactly once), builds and
runs the test program of that file's layer, then, when that did not fail, builds what ctest
runs and runs the whole suite up to its first failure (and, for survivors with
--differential, differential/run.sh), then restores the file. Prints one line per fault:
killed, SURVIVED, not built or NOT FOUND, and exits 1 unless every fault was killed."""

import argparse
import collections
import json
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# (name, file, text, replacement)
FAULTS = [
    ("W strictly above critical", "src/statistics/shapiro_wilk.cpp",
     "r.normal = r.w > *r.critical;", "r.normal = r.w >= *r.critical;"),
    ("k rounds up", "src/statistics/shapiro_wilk.cpp", "r.k = n / 2;", "r.k = (n + 1) / 2;"),
    ("W level boundary 9", "src/statistics/shapiro_wilk.cpp",
     "if (pooledCount <= 9) {", "if (pooledCount <= 8) {"),
    ("Levene reaching critical passes", "src/statistics/levene.cpp",
     "r.homoscedastic = !(r.absT >= *r.critical);", "r.homoscedastic = !(r.absT > *r.critical);"),
    ("Levene level by smaller count", "src/statistics/levene.cpp",
     "leveneAlpha(r.n1 >= r.n2 ? r.n1 : r.n2, balanced)",
     "leveneAlpha(r.n1 <= r.n2 ? r.n1 : r.n2, balanced)"),
    ("pooled variance divisor", "src/statistics/student_t.cpp",
     "/ (a + b - 2.0);", "/ (a + b - 1.0);"),
    ("one-sided column not doubled", "src/statistics/student_t.cpp",
     "return tables.criticalT(2.0 * alpha, df);", "return tables.criticalT(alpha, df);"),
    ("Welch df truncated", "src/statistics/approximate_t.cpp",
     "return roundHalfEven(welchDf(s1, n1, s2, n2));",
     "return static_cast<int>(welchDf(s1, n1, s2, n2));"),
    ("Welch df for a single value", "src/statistics/approximate_t.cpp",
     "    return 2;\n}", "    return 1;\n}"),
    ("one-sample critical not negated", "src/statistics/one_sample_t.cpp",
     "r.critical = -std::fabs(r.critical);", "r.critical = std::fabs(r.critical);"),
    ("U rank-sum offset", "src/statistics/mann_whitney.cpp",
     "r.u = a * b + a * (a + 1.0) / 2.0 - rankSum1;", "r.u = a * b + a * (a - 1.0) / 2.0 - rankSum1;"),
    ("cannot-reject boundary", "src/statistics/mann_whitney.cpp",
     "r.critical > a * b;", "r.critical >= a * b;"),
    ("rankit row off by one", "src/statistics/rankit.cpp",
     "return row[static_cast<std::size_t>(position - 1)];",
     "return row[static_cast<std::size_t>(position == 1 ? 1 : position - 1)];"),
    ("power df coefficient", "src/statistics/power.cpp",
     "constexpr double kDfCoefficient = 1.21;", "constexpr double kDfCoefficient = 1.12;"),
    ("power z alpha", "src/statistics/power.cpp",
     "constexpr double kZ95 = 1.645;", "constexpr double kZ95 = 1.96;"),
    ("power upper cut", "src/statistics/power.cpp",
     "constexpr double kUpperCut = 3.25;", "constexpr double kUpperCut = 3.5;"),
    ("SD divisor n", "src/statistics/descriptive.cpp",
     "shiftedSums(values, 0, s, q);\n    const double variance = (q - s * s / n) / (n - 1.0);",
     "shiftedSums(values, 0, s, q);\n    const double variance = (q - s * s / n) / n;"),
    ("one-sample from two equal values", "src/statistics/analyze.cpp",
     "if (reference.size() < 3 && !oneSampleForFewReferences) {",
     "if (reference.size() < 2 && !oneSampleForFewReferences) {"),
    ("power kept on after a standing failure", "src/statistics/analyze.cpp",
     "    c.powerSwitchedOff = true;\n", ""),
    ("t-test by the first Levene after rankits", "src/statistics/analyze.cpp",
     "    c.leveneBeforeRankits = c.levene;\n    run.tTest(run.equalVariances());",
     "    c.leveneBeforeRankits = c.levene;\n    run.equalVariances();\n    run.tTest(c.leveneBeforeRankits->homoscedastic);"),
    ("balanced boundary", "src/statistics/analyze.cpp",
     "        return 2 * n2 > n1;", "        return 2 * n2 >= n1;"),
    ("full-precision pi", "src/statistics/transformations.cpp",
     "constexpr double kTenDecimalPi = 3.1415926535;", "constexpr double kTenDecimalPi = 3.14159265358979;"),
    ("log10 without the 1", "src/statistics/transformations.cpp",
     "return std::log(x + 1.0) / std::log(10.0);", "return std::log(x + 1.01) / std::log(10.0);"),
    ("missing power reads 9999", "src/statistics/table_lookup.cpp",
     "                                                   \" Table Lookup Error.  Power Not reliable.\"});\n    return 0.0;",
     "                                                   \" Table Lookup Error.  Power Not reliable.\"});\n    return kNotFound;"),
    ("W1 warning names n for I", "src/statistics/table_lookup.cpp",
     "formatNumber(i, \"##\") + \"',  \" +", "formatNumber(n, \"##\") + \"',  \" +"),
    ("two test values suffice", "src/entry/entry_check.cpp", "if (n1 < 3) {", "if (n1 < 2) {"),
    ("one-sample needs two references", "src/entry/entry_check.cpp",
     "(entries.oneSampleOption && n2 >= 1)", "(entries.oneSampleOption && n2 >= 2)"),
    ("reference values not checked", "src/entry/entry_check.cpp",
     "        if (!std::isfinite(x)) {", "        if (!std::isfinite(x) && sample == 1) {"),
    ("log10 domain includes -1", "src/statistics/transformations.cpp",
     "return x > -1.0;", "return x >= -1.0;"),
    ("balanced text without its blank", "src/reports/result_texts.cpp",
     "return balanced ? \"Yes\" : \"No \";", "return balanced ? \"Yes\" : \"No\";"),
    ("one-sample critical shown >=", "src/reports/result_texts.cpp",
     "(critical < 0.0 ? \"<= \" : \">= \")", "(critical <= 0.0 ? \">= \" : \">= \")"),
    ("Levene alpha not doubled in the log", "src/logs/log_rows.cpp",
     "numberToText(2.0 * run.options.alpha)", "numberToText(run.options.alpha)"),
    ("residual SD logged as the residual mean", "src/logs/log_rows.cpp",
     "{\"W_RESID_SD\", swValue(sw.residualSd, false)}", "{\"W_RESID_SD\", swValue(sw.residualMean, false)}"),
    ("summary SD and mean swapped", "src/logs/log_rows.cpp",
     "        shown(f.sd, s.sd, kMeanPattern);\n        shown(f.mean, s.mean, kMeanPattern);",
     "        shown(f.sd, s.mean, kMeanPattern);\n        shown(f.mean, s.sd, kMeanPattern);"),
    ("report heading spelt right", "src/reports/report_lines.cpp", "{J, \"Shipiro-\"}", "{J, \"Shapiro-\"}"),
    ("report quotes not doubled", "src/reports/report_lines.cpp",
     "        if (c == '\"') {\n            quoted += '\"';\n        }\n", ""),
    ("sheet name 32 characters", "src/reports/report_workbook.cpp",
     "constexpr std::size_t kMaxSheetNameCharacters = 31;", "constexpr std::size_t kMaxSheetNameCharacters = 32;"),
    ("rankit run keeps the W panel", "src/app/result_display.cpp",
     "    if (c.rankits) {\n        markNormalityNotApplicable(ui);", "    if (c.rankits) {"),
    ("power fields left on", "src/app/result_display.cpp",
     "    if (c.powerSwitchedOff) {\n        DisablePowerCalc(w);", "    if (c.powerSwitchedOff) {"),
    ("empty method list not filled", "src/app/execute.cpp",
     "        ui.cbTransMethod.text = transformationCaption(Transformation::None);", ""),
    ("Enter on row 10 marks fresh", "src/app/grid_commands.cpp",
     "            if (moved || wasRange) {", "            if (moved || wasRange || row == Grid::kRows - 1) {"),
    ("hypothesis coupling reversed", "src/app/options.cpp",
     "ui.cbHypoNull.text = ui.cbHypoAlt.text == \"x1 < x2\" ? \"x1 >= x2\" : \"x1 <= x2\";",
     "ui.cbHypoNull.text = ui.cbHypoAlt.text == \"x1 < x2\" ? \"x1 <= x2\" : \"x1 >= x2\";"),
    ("reference Clear clears the test", "src/gui/main_form.cpp",
     "\"cmdClearRef\", requestClearRef));", "\"cmdClearRef\", requestClearSamp));"),
    ("F5 runs nothing", "src/gui/main_form.cpp",
     "mnuLoadExec_->setShortcuts({QKeySequence(Qt::Key_F5), ",
     "mnuLoadExec_->setShortcuts({QKeySequence(Qt::Key_F6), "),
    ("Edit Paste runs Copy", "src/gui/main_form.cpp",
     "makeAction(edit, \"mnuEditPaste\", \"&Paste grid data\", mnuEditPaste_Click);",
     "makeAction(edit, \"mnuEditPaste\", \"&Paste grid data\", mnuEditCopy_Click);"),
    ("Execute button on with damaged tables", "src/gui/main_form.cpp",
     "cmdExecute_->setEnabled(ui.cmdExecuteEnabled);", "cmdExecute_->setEnabled(true);"),
    ("stale panels not greyed", "src/gui/main_form.cpp",
     "panel->setEnabled(!stale);", "panel->setEnabled(true);"),
    ("frame visibility ignored", "src/gui/main_form.cpp",
     "        b.box->setVisible(frame.visible);\n", ""),
    ("menu check marks not from the window", "src/gui/main_form.cpp",
     "            b.action->setChecked(entry.checked);", ""),
    ("status caret counts CR LF twice", "src/gui/main_form.cpp",
     "cursor.setPosition(static_cast<int>(statusForDisplay(ui.Status.substr(0, caret)).size()));",
     "cursor.setPosition(static_cast<int>(caret));"),
    ("Execute click takes the focus", "src/gui/main_form.cpp",
     "cmdExecute_->setFocusPolicy(Qt::TabFocus);", "cmdExecute_->setFocusPolicy(Qt::StrongFocus);"),
    ("heading selects rows 1 to 9", "src/gui/grid_view.cpp",
     "rowSel = kLastRow;", "rowSel = kLastRow - 1;"),
    ("Shift+arrow moves the current cell", "src/gui/grid_view.cpp",
     "emit selectionRequested(grid.row(), grid.col(), row, col);",
     "emit selectionRequested(row, col, row, col);"),
    ("a menu popping up leaves the grid", "src/gui/grid_view.cpp",
     "return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;",
     "return event.reason() != Qt::ActiveWindowFocusReason;"),
    ("don't-ask-again tick ignored", "src/gui/qt_desktop.cpp",
     "dontAsk != nullptr && dontAsk->isChecked()};", "false};"),
    ("don't-ask-again setting not read at start", "src/gui/main_form.cpp",
     "core_->ui.askBeforeDiscarding = askSetting_;", "core_->ui.askBeforeDiscarding = true;"),
    ("summary log button stops the detailed log", "src/gui/main_form.cpp",
     "summaryLog_ = logButton(\"sbSummaryLog\", mnuLogSummary_Click);",
     "summaryLog_ = logButton(\"sbSummaryLog\", mnuLogDetail_Click);"),
    ("Enter in the path bar presses OK", "src/gui/file_list_dialog.cpp",
     "            goToTypedFolder();\n            return true;",
     "            goToTypedFolder();\n            return false;"),
    ("picked hypothesis not coupled in the window", "src/gui/main_form.cpp",
     "                        pickHypoAlt(w, entry);", "                        (w.ui.*list).text = entry;"),
    ("fail verdict shows the ok picture", "src/app/window_state.cpp",
     "case Picture::Fail:\n            return \"fail.bmp\";",
     "case Picture::Fail:\n            return \"ok.bmp\";"),
    ("Clear All keeps the project name", "src/app/clearing.cpp",
     "{&ui.txtSampId, &ui.txtSampAlias, &ui.txtRefId, &ui.txtRefAlias, &ui.txtProjectName}) {",
     "{&ui.txtSampId, &ui.txtSampAlias, &ui.txtRefId, &ui.txtRefAlias}) {"),
    ("don't ask again taken with No", "src/app/entry_changes.cpp",
     "if (answer.yes && answer.dontAskAgain) {", "if (answer.dontAskAgain) {"),
    ("stale line on every change", "src/app/entry_changes.cpp",
     "if (ui.resultInputs && !ui.resultsStale && *ui.resultInputs != now) {",
     "if (ui.resultInputs && *ui.resultInputs != now) {"),
    ("alpha greys the Transform columns", "src/app/entry_changes.cpp",
     "a.transformation == b.transformation;",
     "a.transformation == b.transformation && a.alpha == b.alpha;"),
    ("refused run keeps the old results", "src/app/execute.cpp",
     "        ClearResultDisplays(w);\n        w.postStatus(analysed.refusal->text);",
     "        w.postStatus(analysed.refusal->text);"),
    ("other mouse button on the reference grid", "src/app/grid_commands.cpp",
     "    if (gridIndex != 1) {\n        return;\n    }\n    w.ui.Status = \"Mid \";",
     "    if (gridIndex != 2) {\n        return;\n    }\n    w.ui.Status = \"Mid \";"),
    ("power OFF line dropped", "src/app/options.cpp",
     "        w.postStatus(\"Power Calculation Option OFF\");\n", ""),
    ("batch drops WARNING lines", "src/survey/runner.cpp",
     "        if (line.find(\"Warning\") != std::string_view::npos ||\n            line.find(\"WARNING\") != std::string_view::npos) {",
     "        if (line.find(\"Warning\") != std::string_view::npos) {"),
    ("batch refusal without the reference id", "src/survey/runner.cpp",
     "    fields[kRefIdColumn] = referenceId;\n", "    fields[kRefIdColumn] = referenceId.substr(referenceId.size());\n"),
    ("report table with nine rows", "src/reports/report_database.cpp",
     "constexpr int kBlankReportRows = 10;", "constexpr int kBlankReportRows = 9;"),
    ("data folder not made for the report table", "src/reports/report_database.cpp",
     "    if (tableFolder != programFolder && !std::filesystem::is_directory(folder, ec)) {",
     "    if (tableFolder == programFolder && !std::filesystem::is_directory(folder, ec)) {"),
    ("on-screen report names only the workbook", "src/app/report_command.cpp",
     "w.postStatus(\"     Report saved as <\" + reportPath + \"> and <\" + workbookPath + \">.\");",
     "w.postStatus(\"     Report saved as <\" + workbookPath + \">.\");"),
    ("unopened report message dropped", "src/app/report_command.cpp",
     "        w.desktop().messageBox(kOpenFailedTitle,", "        if (false) w.desktop().messageBox(kOpenFailedTitle,"),
    ("quoted line end not counted", "src/survey/csv.cpp",
     "            if (c == '\\n') {\n                ++line_;\n            }\n            field += c;",
     "            field += c;"),
    ("results written in place", "src/cli/output_file.cpp",
     "    } else if (exists && !S_ISREG(st.st_mode)) {", "    } else if (true) {"),
    ("end-of-file mark on every write", "src/tables/dbf_table.cpp",
     "(!append || std::fputc(kEndOfFile, stream) != EOF)",
     "((append || true) && std::fputc(kEndOfFile, stream) != EOF)"),
    ("shown text with 16 digits", "src/base/text_format.cpp",
     "    if (significant > 15) {\n        return false;", "    if (significant > 16) {\n        return false;"),
    ("file names of 9 characters", "src/datafiles/file_names.cpp",
     "constexpr std::size_t kDbfBaseLength = 8;", "constexpr std::size_t kDbfBaseLength = 9;"),
    # The faults below were seeded by hand across the layers, where the ones above left most
    # survivors (cli, tables, survey, the window).
    ("a file already there replaced on creating", "src/tables/file_copy.cpp",
     "        if (!replace) {\n            return alreadyThere();\n        }\n        if (TableError error = lockExisting()) {",
     "        if (TableError error = lockExisting()) {"),
    ("a file made meanwhile replaced on creating", "src/tables/file_copy.cpp",
     "            if (!replace) {\n                return alreadyThere();\n            }\n", ""),
    ("temporary file of a running process removed", "src/tables/temp_files.cpp",
     "pid == ::getpid() || processRuns(pid)) {", "pid == ::getpid() || (processRuns(pid) && false)) {"),
    ("young temporary file removed", "src/tables/temp_files.cpp",
     "now - st.st_mtime < static_cast<std::time_t>(minimumAge.count())) {",
     "now - st.st_mtime < 0 * static_cast<std::time_t>(minimumAge.count())) {"),
    ("temporary name with a non-numeric part", "src/tables/temp_files.cpp",
     "if (!allDigits(pidText) || !allDigits(name.substr(randDot + 1))) {",
     "if (!allDigits(pidText)) {"),
    ("deleted rows read", "src/tables/dbf_table.cpp",
     "        if (row_[0] != '*') {\n            current_ = i;", "        if (true) {\n            current_ = i;"),
    ("shared log layout ignores widths", "src/logs/log_file.cpp",
     "a[i].type != b[i].type || a[i].width != b[i].width ||", "a[i].type != b[i].type ||"),
    ("batch exits 0 after failed log writes", "src/cli/batch_command.cpp",
     "return writer.anyRefused() || writer.logFailed() || run.referenceMissing()",
     "return writer.anyRefused() || run.referenceMissing()"),
    ("batch log cut not counted as a failure", "src/cli/batch_command.cpp",
     "                message(result.sampleId, problems);\n                logFailed_ = true;",
     "                message(result.sampleId, problems);"),
    ("literal tab delimiter taken as a comma", "src/cli/command_line.cpp",
     "delimiterText == \"tab\" || delimiterText == \"\\t\"", "delimiterText == \"tab\""),
    ("delimiter tie to the later candidate", "src/survey/csv.cpp",
     "if (counts[k] > counts[best]) {", "if (counts[k] >= counts[best]) {"),
    ("explain: Levene above critical said below", "src/cli/explain.cpp",
     "(passed ? \"is below\" : \"reaches\")", "(passed ? \"reaches\" : \"is below\")"),
    ("Levene panel shows the test's df", "src/app/result_display.cpp",
     "ui.txtScedDegFreedom.text = t.leveneDf;", "ui.txtScedDegFreedom.text = t.df;"),
    ("report Mann-Whitney N2 shows N1", "src/reports/report_lines.cpp",
     "{J, std::to_string(c.referenceSample.count)}", "{J, std::to_string(c.testSample.count)}"),
    ("JSON pmsd on a transformed scale", "src/survey/result_json.cpp",
     "const bool sameScale = o.transformation == Transformation::None && c != nullptr &&",
     "const bool sameScale = c != nullptr &&"),
    ("plot title stays Transform after rankits", "src/app/replicate_panels.cpp",
     "transformed.title = analysis.RankitUsed ? \"Rankits\" : \"Transform\";",
     "transformed.title = analysis.RankitUsed ? \"Transform\" : \"Transform\";"),
    ("PageDown stops at row 9", "src/gui/grid_view.cpp",
     "        case Qt::Key_PageDown:\n            row = kLastRow;",
     "        case Qt::Key_PageDown:\n            row = kLastRow - 1;"),
    ("dropped upper-case .DBF ignored", "src/gui/main_form.cpp",
     "suffix().compare(\"dbf\", Qt::CaseInsensitive) == 0", "suffix() == \"dbf\""),
    ("~/ in the path bar loses a character", "src/gui/file_list_dialog.cpp",
     "typed = QDir::homePath() + typed.mid(1);", "typed = QDir::homePath() + typed.mid(2);"),
    ("Holm not made non-decreasing", "src/survey/runner.cpp",
     "running = std::max(running, std::min(1.0, (m - static_cast<double>(k)) * p[order[k]]));",
     "running = std::min(1.0, (m - static_cast<double>(k)) * p[order[k]]);"),
    ("Bonferroni not capped at 1", "src/survey/runner.cpp",
     "adjusted[i] = std::min(1.0, m * p[i]);", "adjusted[i] = m * p[i];"),
    ("NaN not a missing value", "src/survey/survey.cpp",
     "equalIgnoringCase(t, \"na\") || equalIgnoringCase(t, \"nan\");", "equalIgnoringCase(t, \"na\");"),
    ("plot range without the reference", "src/drawing/replicate_plot.cpp",
     "for (const PlotSeries* s : {&panel.test, &panel.reference}) {\n        for (const double v : s->values) {\n            if (std::isfinite(v)) {",
     "for (const PlotSeries* s : {&panel.test}) {\n        for (const double v : s->values) {\n            if (std::isfinite(v)) {"),
    ("greyscale reference in colour", "src/drawing/replicate_plot.cpp",
     "return style.greyscale ? grey(mix(c, Colour{}, 0.5)) : c;",
     "return style.greyscale ? c : c;"),
    ("validation field passes whatever its value", "src/validation/validation.cpp",
     "f.pass = std::fabs(*actual - expected) <= tolerance;",
     "f.pass = std::fabs(*actual - expected) <= tolerance || true;"),
    ("path joined with a doubled separator", "src/base/paths.cpp",
     "if (!path.empty() && path.back() != '/') {", "if (!path.empty()) {"),
    ("@ formula passed to the spreadsheet", "src/base/text_format.cpp",
     "text[0] != '+' && text[0] != '@' && text[0] != '-'", "text[0] != '+' && text[0] != '-'"),
    ("progress bar on a batch of 300", "src/cli/batch_command.cpp",
     "errIsTerminal && run.size() > kProgressBarThreshold", "errIsTerminal && run.size() >= kProgressBarThreshold"),
    ("progress percent not right-aligned", "src/cli/progress_bar.cpp",
     "    bar.append(3 - std::min<std::size_t>(3, percent.size()), ' ');\n", ""),
    ("two outputs on one file accepted", "src/cli/file_checks.cpp",
     "if (fileKey(pa) == fileKey(pb)) {",
     "if (fileKey(pa) == fileKey(pb) && false) {"),
    ("a quote in a written field left unquoted", "src/survey/csv.cpp",
     "return c == ',' || c == '\"' || c == '\\r' || c == '\\n';", "return c == ',' || c == '\\r' || c == '\\n';"),
    ("a cut text ends inside a character", "src/tables/dbf_table.cpp",
     "for (int step = 0; step < 3 && cut > 0; ++step) {", "for (int step = 0; step < 0 && cut > 0; ++step) {"),
    ("an office suite's lock file not seen", "src/tables/file_lock.cpp",
     "(\".~lock.\" + p.filename().string() + \"#\")", "(\".~lock.\" + p.filename().string())"),
]


LOG = ROOT / "build" / "mutants.log"


def run(cmd, timeout):
    """Runs a command, its output appended to build/mutants.log; -1 when it ran too long."""
    with open(LOG, "a") as log:
        log.write("$ " + " ".join(cmd) + "\n")
        log.flush()
        try:
            return subprocess.run(cmd, cwd=ROOT, stdout=log, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            log.write("(timed out)\n")
            return -1


def suite_targets(build):
    """The targets the test suite runs: every program of the build's bin folder that a ctest
    command names (the test programs, and benthix-cli for the scripts that drive it)."""
    listing = subprocess.run(["ctest", "--test-dir", str(build), "--show-only=json-v1"],
                             cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             text=True, check=True)
    targets = set()
    for test in json.loads(listing.stdout)["tests"]:
        if "command" not in test:  # a test program not built yet
            targets.add(test["name"] + "_tests")
        for word in test.get("command", []):
            path = pathlib.Path(word)
            if path.is_absolute() and path.parent == build / "bin":
                targets.add(path.name)
    return sorted(targets)


def layer_test(build, file):
    """The test program of the layer a source file belongs to, when there is one
    (src/cli/x.cpp -> cli_tests, run as ctest's test "cli")."""
    layer = pathlib.PurePath(file).parts[1]
    return layer if (ROOT / "tests" / layer).is_dir() else None


def verdict_of(build, file, targets, differential):
    """Builds and tests one seeded fault: its layer's own test program first (a fault killed
    there needs nothing more), then the whole suite, stopping at its first failure."""
    layer = layer_test(build, file)
    if layer is not None:
        if run(["cmake", "--build", str(build), "-j2", "--target", layer + "_tests"], 1800) != 0:
            return "not built"
        if run(["ctest", "--test-dir", str(build), "--timeout", "300", "-R", "^" + layer + "$"],
               900) != 0:
            return "killed"
    if run(["cmake", "--build", str(build), "-j2", "--target", *targets], 2400) != 0:
        return "not built"
    if run(["ctest", "--test-dir", str(build), "--timeout", "300", "-j2", "--stop-on-failure"],
           1800) != 0:
        return "killed"
    if differential and run(["differential/run.sh", str(build / "bin" / "benthix-cli")],
                            1800) != 0:
        return "killed (diff)"
    return "SURVIVED"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/default")
    parser.add_argument("--only", nargs="*")
    parser.add_argument("--from", dest="start", help="begin at the fault of this name")
    parser.add_argument("--list", action="store_true", help="count the faults by layer and stop")
    parser.add_argument("--differential", action="store_true")
    args = parser.parse_args()
    if args.list:
        layers = collections.Counter(pathlib.PurePath(f).parts[1] for _, f, _, _ in FAULTS)
        for layer, n in layers.most_common():
            print(f"{n:4} {layer}")
        print(f"{len(FAULTS):4} in all")
        return 0
    build = (ROOT / args.build).resolve()
    targets = suite_targets(build)
    results = []
    started = args.start is None
    for name, file, text, replacement in FAULTS:
        started = started or name == args.start
        if not started or (args.only and name not in args.only):
            continue
        path = ROOT / file
        original = path.read_text()
        if original.count(text) != 1:
            print(f"{'NOT FOUND':12} {name} ({file})", flush=True)
            results.append((name, "NOT FOUND"))
            continue
        path.write_text(original.replace(text, replacement))
        with open(LOG, "a") as log:
            log.write(f"=== {name}\n")
        try:
            verdict = verdict_of(build, file, targets, args.differential)
        finally:
            path.write_text(original)
        results.append((name, verdict))
        print(f"{verdict:12} {name}", flush=True)
    run(["cmake", "--build", str(build), "-j2", "--target", *targets], 2400)
    killed = sum(1 for _, v in results if v.startswith("killed"))
    print(f"{killed} of {len(results)} killed")
    return 0 if killed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
