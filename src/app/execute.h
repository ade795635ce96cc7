// SPDX-License-Identifier: MIT
#pragma once
// The analysis as the window runs it: checking the entries, File > "&Transform", and the
// Execute button with its menu twin.

#include <optional>

namespace bx {

class MainWindow;

// Copies both grids into SampRaw and RefRaw and checks the counts, the option lists and the
// replicates; on failure posts the reason (and for too few reference values shows a message
// box) and returns false. Replicates whose text is not wholly a number are warned about. The
// typed entries are kept in w.analysis.checked.
bool ChkEntry(MainWindow& w);

// Validates and transforms without running the tests; posts "Transformation Complete" when
// showMessage is true.
void TransformEntries(MainWindow& w, bool showMessage);

// File > "&Transform".
void mnuTransform_Click(MainWindow& w);

// False, with the reason in the status list, when the statistical tables are missing or
// damaged (StatTables::installationProblem): then no analysis runs.
bool tablesUsable(MainWindow& w);

// The Execute button: one analysis run with its status lines, panels, pictures and the logs
// that are active. Also run by the spreadsheet report. Nothing runs when !tablesUsable(w).
void cmdExecute_Click(MainWindow& w);
// The same run with the normality override question answered beforehand (a survey plan's
// answer) instead of asked.
void executeWithOverrideAnswer(MainWindow& w, std::optional<bool> overrideAnswer);

// File > "&Execute Stats": the same run.
void mnuLoadExec_Click(MainWindow& w);

}  // namespace bx
