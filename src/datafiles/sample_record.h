// SPDX-License-Identifier: MIT
#pragma once
// The 11 fields of the sample data record, in table order (template stat.dbf). The index of
// a field is also the index of its display field (txtFields).

#include <array>

#include "tables/record_field.h"

namespace bx {

inline constexpr std::array<RecordField, 11> kSampleRecordFields{{
    {"SAMPID", kFreeTextWidth},      // 0
    {"SAMPDATA", kFreeTextWidth},    // 1
    {"REFID", kFreeTextWidth},       // 2
    {"REFDATA", kFreeTextWidth},     // 3
    {"SAMPTRANS", kValueTextWidth},  // 4
    {"REFTRANS", kValueTextWidth},   // 5
    {"SAMP_ALIAS", kFreeTextWidth},  // 6
    {"REF_ALIAS", kFreeTextWidth},   // 7
    {"PROJECT", kFreeTextWidth},     // 8
    {"SAMP_REPS", kValueTextWidth},  // 9
    {"REF_REPS", kValueTextWidth},   // 10
}};

// Rows in the template: a sample file holds one comparison of at most ten replicates.
inline constexpr int kSampleTemplateRows = 10;

}  // namespace bx
