#pragma once
// The two Clear buttons, File > "&Clear All", and the re-created report table.

#include "tables/table_error.h"

namespace bx {

class MainWindow;

void cmdClearSamp_Click(MainWindow& w);
void cmdClearRef_Click(MainWindow& w);
void mnuClearAll_Click(MainWindow& w);

// Posts "     Initializing Report Database..." and re-creates the report table from its
// template. Returns the error, if any (nothing is trapped here).
TableError InitReportDatabase(MainWindow& w);

}  // namespace bx
