// SPDX-License-Identifier: MIT
#pragma once
// The two Clear buttons, File > "&Clear All", leaving the window, and the re-created report
// table.

#include "tables/table_error.h"

namespace bx {

class MainWindow;

void cmdClearSamp_Click(MainWindow& w);
void cmdClearRef_Click(MainWindow& w);
// Also forgets the sample data file: the empty entries belong to none.
void mnuClearAll_Click(MainWindow& w);

// The same as the user asks for them: when the entries to be cleared were changed since they
// were last saved, a question comes first (see confirmDiscard) and No leaves them as they are.
void requestClearSamp(MainWindow& w);
void requestClearRef(MainWindow& w);
void requestClearAll(MainWindow& w);
// Whether the window may close: the same question for all entries.
bool requestExit(MainWindow& w);

// Posts "     Initializing Report Database..." and re-creates the report table from its
// template. Returns the error, if any (nothing is trapped here).
TableError InitReportDatabase(MainWindow& w);

}  // namespace bx
