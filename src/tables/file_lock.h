#pragma once
// Whether another program holds a file open, so that writing or replacing it would disturb
// that program: an office suite's lock file ".~lock.<name>#" beside the file, or a POSIX
// record lock that another process holds on it.

#include <string>

#include "tables/table_error.h"

namespace bx {

bool heldOpenElsewhere(const std::string& path);

// Error 70 (permission denied) naming the file when heldOpenElsewhere(path); no error else.
TableError checkNotHeldOpen(const std::string& path);

}  // namespace bx
