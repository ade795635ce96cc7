#pragma once
// The report table reportr.dbf, re-created from its template result.dbf.

#include "tables/table_error.h"

namespace bx {

class MainWindow;

// Posts "     Initializing Report Database...", copies the template over the report table and
// re-opens it with ten blank rows. Returns the error, if any (nothing is trapped here).
TableError InitReportDatabase(MainWindow& w);

}  // namespace bx
