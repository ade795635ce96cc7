// SPDX-License-Identifier: MIT
#pragma once
// A text file written whole or not at all.

#include <string>

#include "tables/table_error.h"

namespace bx {

// Writes `text` to `path` through a temporary file beside it that then replaces `path`, so
// that a failed write leaves an earlier file as it was. Fails with 70 while another program
// holds `path` open.
TableError writeTextFileSafely(const std::string& path, const std::string& text);

}  // namespace bx
