// SPDX-License-Identifier: MIT
#pragma once
// The six statistical tables: file name, key field and value fields, in field order. The
// generator writes the files with these layouts and StatTables reads them back.

#include <array>
#include <string_view>

namespace bx {

enum class StatTableId { CritT, CritU, CritW, CritW1, Rankit, PowerT };
inline constexpr std::size_t kStatTableCount = 6;

struct StatTableLayout {
    StatTableId id;
    std::string_view name;                         // the table name; the file is name + ".dbf"
    std::string_view keyField;                     // first field, character, the key text
    std::array<std::string_view, 20> valueFields;  // numeric fields; unused slots empty
    std::size_t valueCount;
};

inline constexpr std::array<StatTableLayout, kStatTableCount> kStatTableLayouts{{
    {StatTableId::CritT, "Crit_t", "DF", {"A0_25", "A0_20", "A0_10", "A0_05"}, 4},
    {StatTableId::CritU, "CRIT_U", "N1N2", {"A0_10", "A0_05"}, 2},
    {StatTableId::CritW, "crit_w", "N", {"A0_01", "A0_02", "A0_05", "A0_10", "A0_50"}, 5},
    {StatTableId::CritW1,
     "CRIT_W1",
     "I",
     {"N2", "N3", "N4", "N5", "N6", "N7", "N8", "N9", "N10", "N11", "N12", "N13", "N14", "N15",
      "N16", "N17", "N18", "N19", "N20"},
     19},
    {StatTableId::Rankit,
     "RANKIT",
     "N",
     {"RANK1",  "RANK2",  "RANK3",  "RANK4",  "RANK5",  "RANK6",  "RANK7",
      "RANK8",  "RANK9",  "RANK10", "RANK11", "RANK12", "RANK13", "RANK14",
      "RANK15", "RANK16", "RANK17", "RANK18", "RANK19", "RANK20"},
     20},
    {StatTableId::PowerT, "POWERT", "Z", {"PCT"}, 1},
}};

constexpr const StatTableLayout& statTableLayout(StatTableId id) {
    return kStatTableLayouts[static_cast<std::size_t>(id)];
}

}  // namespace bx
