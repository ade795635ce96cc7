// SPDX-License-Identifier: MIT
#pragma once
// One field of a record layout: its name in the table and the width of its character field
// in the templates.

#include <string_view>

namespace bx {

struct RecordField {
    std::string_view name;
    int width;
};

// Free texts (project, sample identifiers and aliases, replicate texts as typed): the widest
// character field dBASE III allows.
inline constexpr int kFreeTextWidth = 254;
// Everything else the program writes: numbers in its display patterns, counts, verdicts,
// test and method names.
inline constexpr int kValueTextWidth = 40;

}  // namespace bx
