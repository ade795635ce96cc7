// SPDX-License-Identifier: MIT
#pragma once
// The report table reportr.dbf, re-created from its template result.dbf.

#include <string>

#include "tables/table_error.h"

namespace bx {

// Replaces the report table by a copy of the template (from the program folder) with ten blank
// rows, under the table's lock: several programs may rebuild it at once, waiting for each
// other up to kSharedFileWait. The table lives in `tableFolder` (created when missing), or in
// `scratchFolder` when `tableFolder` cannot be written to.
TableError initReportDatabase(const std::string& programFolder, const std::string& tableFolder,
                              const std::string& scratchFolder);

// The same with the table beside the template in the program folder (a build tree), or in
// `scratchFolder` when the program folder cannot be written to.
TableError initReportDatabase(const std::string& programFolder, const std::string& scratchFolder);

}  // namespace bx
