// SPDX-License-Identifier: MIT
#pragma once
// The Log menu: the detailed log (every value of each run) and the summary log (one row per
// run), started on a new file from its template and stopped again; and the writing of a run.
// A log is locked while it is active (logs/log_file.h): another program cannot begin it.

namespace bx {

class MainWindow;

// Log > first entry: starts a new detailed log or stops the active one.
void mnuLogDetail_Click(MainWindow& w);
// Log > second entry: starts a new summary log or stops the active one.
void mnuLogSummary_Click(MainWindow& w);

// For scripts: asks for the file as the Log menu does, then adds every run of this window to
// that log as it is (created from the template when missing), each run under a lock held for
// its append only, so that several programs can add to one log. Stopped by the menu entry.
void shareDetailLog(MainWindow& w);
void shareSummaryLog(MainWindow& w);

// Appends the rows of the last run to the active detailed log and its row to the summary
// log; the summary log takes the run only once the detailed log holds it, so that both hold
// the same runs.
void WriteLogs(MainWindow& w);

}  // namespace bx
