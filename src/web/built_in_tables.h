// SPDX-License-Identifier: MIT
#pragma once
// The statistical tables of the browser edition: the rows the table generator writes into the
// desktop's .dbf files, built in the module and held as the desktop holds the rows it reads
// back from them (a numeric field without its blanks, a character field without trailing
// blanks), so that every lookup answers as on the desktop.

#include <memory>
#include <string>

namespace bx {
class StatTables;
}

namespace bx::web {

// The six tables, built from the generator with the Shapiro-Wilk figures in `dataFolder`.
// A table that could not be built stays unreadable (unreadableFiles() lists it).
std::shared_ptr<const StatTables> builtInTables(const std::string& dataFolder);

}  // namespace bx::web
