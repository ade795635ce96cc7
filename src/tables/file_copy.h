#pragma once
// Copying a template over a file without ever leaving the target half-written.

#include <string>

#include "tables/table_error.h"

namespace bx {

// Copies `from` over `to`: the bytes go to a temporary file in the folder of `to`, which is
// synced and then renamed over `to`, so that a failed copy leaves `to` as it was. Fails with
// 70 when `to` is held open by another program (tables/file_lock.h) or write-protected, 76
// when the folder of `to` is missing, 53 when `from` is missing.
TableError copyFileSafely(const std::string& from, const std::string& to);

}  // namespace bx
