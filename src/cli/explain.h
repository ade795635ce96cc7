// SPDX-License-Identifier: MIT
#pragma once
// Why a comparison ended with its test, in short sentences with the numbers.

#include <string>
#include <vector>

#include "statistics/comparison.h"

namespace bx::cli {

// One sentence per decision step, e.g. "Shapiro-Wilk W = 0.669 is at or below the critical
// 0.881 at alpha 0.05: not normal." Empty when no test ran.
std::vector<std::string> explanation(const Comparison& result);

}  // namespace bx::cli
