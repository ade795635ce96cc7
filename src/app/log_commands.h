#pragma once
// The Log menu: the detailed log (every value of each run) and the summary log (one row per
// run), started on a new file from its template and stopped again; and the writing of a run.

namespace bx {

class MainWindow;

// Log > first entry: starts a new detailed log or stops the active one.
void mnuLogDetail_Click(MainWindow& w);
// Log > second entry: starts a new summary log or stops the active one.
void mnuLogSummary_Click(MainWindow& w);

// Appends the rows of the last run to the active detailed log / its row to the summary log.
void WriteDetailLog(MainWindow& w);
void WriteSummaryLog(MainWindow& w);

}  // namespace bx
