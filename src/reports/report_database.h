#pragma once
// The report table reportr.dbf, re-created from its template result.dbf.

#include <string>

#include "tables/table_error.h"

namespace bx {

// Copies the template (from the program folder) over the report table and re-opens it with
// ten blank rows. The table lives in the program folder, or in `scratchFolder` when the
// program folder cannot be written to (an installed program).
TableError initReportDatabase(const std::string& programFolder, const std::string& scratchFolder);

}  // namespace bx
