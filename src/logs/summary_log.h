#pragma once
// The summary log: one row per run.

namespace bx {

class MainWindow;

// Log > second entry: starts a new summary log or stops the active one.
void mnuLogSummary_Click(MainWindow& w);

// Appends one row for the current run to the active summary log.
void WriteSummaryLog(MainWindow& w);

}  // namespace bx
