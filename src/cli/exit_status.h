// SPDX-License-Identifier: MIT
#pragma once

namespace bx::cli {

// The tool's exit statuses.
inline constexpr int kExitRan = 0;      // every analysis ran
inline constexpr int kExitRefused = 1;  // entries refused, a file command failed, bad input data
inline constexpr int kExitUsage = 2;    // a wrong command line

}  // namespace bx::cli
