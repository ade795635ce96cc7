// SPDX-License-Identifier: MIT
#pragma once
// The 56 fields of the report record, in table order: the layout of the report table
// reportr.dbf, of its template result.dbf and of every detailed log (template sslog.dbf).
// The index of a field is also the index of its display field (txtResult, txtSsLog).

#include <array>

#include "tables/record_field.h"

namespace bx {

inline constexpr std::array<RecordField, 56> kReportRecordFields{{
    {"PROJECT", kFreeTextWidth},      // 0
    {"SAMPID", kFreeTextWidth},       // 1
    {"SAMP_ALIAS", kFreeTextWidth},   // 2
    {"SAMPDATA", kFreeTextWidth},     // 3
    {"SAMPTRANS", kValueTextWidth},   // 4
    {"SAMP_REPS", kValueTextWidth},   // 5
    {"SAMP_STD", kValueTextWidth},    // 6
    {"SAMP_MN", kValueTextWidth},     // 7
    {"SAMP_T_STD", kValueTextWidth},  // 8
    {"SAMP_T_MN", kValueTextWidth},   // 9
    {"REFID", kFreeTextWidth},        // 10
    {"REF_ALIAS", kFreeTextWidth},    // 11
    {"REFDATA", kFreeTextWidth},      // 12
    {"REFTRANS", kValueTextWidth},    // 13
    {"REF_REPS", kValueTextWidth},    // 14
    {"REF_STD", kValueTextWidth},     // 15
    {"REF_MN", kValueTextWidth},      // 16
    {"REF_T_STD", kValueTextWidth},   // 17
    {"REF_T_MN", kValueTextWidth},    // 18
    {"W_RESIDUAL", kValueTextWidth},  // 19
    {"W_RESID_MN", kValueTextWidth},  // 20
    {"W_RESID_SD", kValueTextWidth},  // 21
    {"W_SS", kValueTextWidth},        // 22
    {"W_K", kValueTextWidth},         // 23
    {"W_B", kValueTextWidth},         // 24
    {"W_CALC", kValueTextWidth},      // 25
    {"W_PASSFAIL", kValueTextWidth},  // 26
    {"W_ALPHA", kValueTextWidth},     // 27
    {"W_CRIT", kValueTextWidth},      // 28
    {"L_RES1", kValueTextWidth},      // 29
    {"L_RES1_MN", kValueTextWidth},   // 30
    {"L_RES1_SD", kValueTextWidth},   // 31
    {"L_RES2", kValueTextWidth},      // 32
    {"L_RES2_MN", kValueTextWidth},   // 33
    {"L_RES2_SD", kValueTextWidth},   // 34
    {"L_CALC", kValueTextWidth},      // 35
    {"L_PASSFAIL", kValueTextWidth},  // 36
    {"L_ALPHA", kValueTextWidth},     // 37
    {"L_CRIT", kValueTextWidth},      // 38
    {"L_DF", kValueTextWidth},        // 39
    {"M_N1N2", kValueTextWidth},      // 40
    {"T_TYPE", kValueTextWidth},      // 41
    {"T_CALC", kValueTextWidth},      // 42
    {"T_PASSFAIL", kValueTextWidth},  // 43
    {"T_ALPHA", kValueTextWidth},     // 44
    {"T_CRIT", kValueTextWidth},      // 45
    {"T_DF", kValueTextWidth},        // 46
    {"T_BALANCED", kValueTextWidth},  // 47
    {"T_TRANS", kValueTextWidth},     // 48
    {"M_RANK_ALL", kValueTextWidth},  // 49
    {"R_RANK_ALL", kValueTextWidth},  // 50
    {"T_HYPO_NUL", kValueTextWidth},  // 51
    {"T_HYPO_ALT", kValueTextWidth},  // 52
    {"POWER", kValueTextWidth},       // 53
    {"POWER_DIFF", kFreeTextWidth},   // 54: typed by the user
    {"W_OVERRIDE", kValueTextWidth},  // 55
}};

}  // namespace bx
