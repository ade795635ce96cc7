// SPDX-License-Identifier: MIT
#pragma once
// The temporary files the program writes beside a file before it replaces that file:
// ".NAME.PID.RAND.tmp" (".NAME.PID.RAND.tmp.dbf" for tables, which the table library opens by
// their extension), PID being the writing process and RAND a random number. A program killed
// while writing leaves one behind; removeStaleTemporaryFiles() clears those at a later start.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace bx {

// A temporary name beside `target` (same folder), for this process: ".NAME.PID.RAND.tmp", with
// ".dbf" added when `forTable`.
std::string temporaryPathFor(const std::string& target, bool forTable);

// Whether `name` (a file name without folder) has the form of one of the program's
// temporary names; `pid` receives the process id in it.
bool isTemporaryName(std::string_view name, pid_t& pid);

// How old a temporary file must be before it counts as left behind.
inline constexpr std::chrono::minutes kStaleTemporaryAge{5};

// Removes the program's temporary files in `folder` whose process no longer runs and which
// were last written more than `minimumAge` ago; only regular files of this user whose name has
// the exact temporary form. Returns the names removed.
std::vector<std::string> removeStaleTemporaryFiles(
    const std::string& folder, std::chrono::seconds minimumAge = kStaleTemporaryAge);

}  // namespace bx
