// SPDX-License-Identifier: MIT
#pragma once
// The shortest text of a double that reads back as it, for writers of many numbers.

#include <cstddef>

namespace bx {

// Room that writeShortest() may need: a sign, 17 digits, a point and a four-character exponent
// come to 24.
inline constexpr std::size_t kShortestTextRoom = 32;

// Writes at `out` the text std::to_chars(out, end, value) writes (the shortest digits that read
// back as `value`, plain or with an exponent, whichever is shorter, plain on a tie) and returns
// its end; `out` must have kShortestTextRoom characters, of which those after the text may be
// written over as scratch.
char* writeShortest(char* out, double value);

}  // namespace bx
