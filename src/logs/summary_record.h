// SPDX-License-Identifier: MIT
#pragma once
// The 20 fields of the summary log record, in table order (template sslogsum.dbf).

#include <array>
#include <cstddef>
#include <string_view>

#include "tables/record_field.h"

namespace bx {

inline constexpr std::array<RecordField, 20> kSummaryRecordFields{{
    {"SAMPID", kFreeTextWidth},       // 0
    {"SAMP_ALIAS", kFreeTextWidth},   // 1
    {"SAMP_REPS", kValueTextWidth},   // 2
    {"SAMP_STD", kValueTextWidth},    // 3
    {"SAMP_MN", kValueTextWidth},     // 4
    {"SAMP_T_STD", kValueTextWidth},  // 5
    {"SAMP_T_MN", kValueTextWidth},   // 6
    {"REFID", kFreeTextWidth},        // 7
    {"REF_ALIAS", kFreeTextWidth},    // 8
    {"REF_REPS", kValueTextWidth},    // 9
    {"REF_STD", kValueTextWidth},     // 10
    {"REF_MN", kValueTextWidth},      // 11
    {"REF_T_STD", kValueTextWidth},   // 12
    {"REF_T_MN", kValueTextWidth},    // 13
    {"PASS_FAIL", kValueTextWidth},   // 14
    {"W_PASSFAIL", kValueTextWidth},  // 15
    {"L_PASSFAIL", kValueTextWidth},  // 16
    {"T_TYPE", kValueTextWidth},      // 17
    {"POWER", kValueTextWidth},       // 18
    {"POWER_DIFF", kFreeTextWidth},   // 19: typed by the user
}};

// The position of a field in the record, found while compiling (an unknown name does not
// compile).
consteval std::size_t summaryFieldIndex(std::string_view name) {
    for (std::size_t i = 0; i < kSummaryRecordFields.size(); ++i) {
        if (kSummaryRecordFields[i].name == name) {
            return i;
        }
    }
    throw "no such summary field";
}

}  // namespace bx
