#pragma once
// The detailed log: every run with its intermediate values and replicates.

namespace bx {

class MainWindow;

// Log > first entry: starts a new detailed log or stops the active one.
void mnuLogDetail_Click(MainWindow& w);

// Appends the rows of the current run to the active detailed log.
void WriteDetailLog(MainWindow& w);

}  // namespace bx
