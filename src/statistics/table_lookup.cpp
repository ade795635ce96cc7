// SPDX-License-Identifier: MIT
#include "statistics/table_lookup.h"

#include <string>

#include "base/text_format.h"
#include "tables/stat_tables.h"

namespace bx {

void TableLookup::noteUnreadable(int tableIndex) {
    const StatTable& table = tables_.table(static_cast<StatTableId>(tableIndex));
    const unsigned bit = 1U << static_cast<unsigned>(tableIndex);
    if (table.readable() || (reportedUnreadable_ & bit) != 0) {
        return;
    }
    reportedUnreadable_ |= bit;
    notes_.push_back({NoteCode::TableUnreadable, "     WARNING - Table file " + table.fileName +
                                                     " could not be read (" +
                                                     table.error.description + ")."});
}

double TableLookup::shapiroWilkCoefficient(int n, int i) {
    if (const auto a = tables_.shapiroWilkCoefficient(n, i)) {
        return *a;
    }
    noteUnreadable(static_cast<int>(StatTableId::CritW1));
    notes_.push_back({NoteCode::CoefficientNotFound, "     WARNING - Nofind W1, I = '" +
                                                         formatNumber(i, "##") + "',  " +
                                                         formatNumber(n, "##")});
    return kNotFound;
}

double TableLookup::criticalW(double alpha, int n) {
    if (!StatTables::hasWLevel(alpha)) {
        return kNotFound;
    }
    if (const auto w = tables_.criticalW(n, alpha)) {
        return *w;
    }
    noteUnreadable(static_cast<int>(StatTableId::CritW));
    notes_.push_back({NoteCode::CriticalWNotFound, noteText(NoteCode::CriticalWNotFound)});
    return kNotFound;
}

double TableLookup::criticalT(double twoSidedLevel, int df) {
    if (!StatTables::hasTLevel(twoSidedLevel)) {
        return kNotFound;
    }
    if (const auto t = tables_.criticalT(df, twoSidedLevel)) {
        return *t;
    }
    noteUnreadable(static_cast<int>(StatTableId::CritT));
    notes_.push_back({NoteCode::CriticalTNotFound, noteText(NoteCode::CriticalTNotFound)});
    return kNotFound;
}

double TableLookup::criticalU(double alpha, int n1, int n2) {
    if (!StatTables::hasULevel(alpha)) {
        return kNotFound;
    }
    if (const auto u = tables_.criticalU(n1, n2, alpha)) {
        return *u;
    }
    noteUnreadable(static_cast<int>(StatTableId::CritU));
    notes_.push_back({NoteCode::CriticalUNotFound, noteText(NoteCode::CriticalUNotFound)});
    return kNotFound;
}

double TableLookup::rankit(int n, int position) {
    if (const auto r = tables_.rankit(n, position)) {
        return *r;
    }
    noteUnreadable(static_cast<int>(StatTableId::Rankit));
    notes_.push_back({NoteCode::RankitNotFound, noteText(NoteCode::RankitNotFound)});
    return kNotFound;
}

bool TableLookup::rankitRow(int n, std::span<double> out) const {
    if (n < 1 || out.size() < static_cast<std::size_t>(n)) {
        return false;
    }
    for (int j = 1; j <= n; ++j) {
        const auto r = tables_.rankit(n, j);
        if (!r) {
            return false;
        }
        out[static_cast<std::size_t>(j - 1)] = *r;
    }
    return true;
}

double TableLookup::powerPercent(double z) {
    if (const auto p = tables_.powerPercent(z)) {
        return *p;
    }
    noteUnreadable(static_cast<int>(StatTableId::PowerT));
    notes_.push_back({NoteCode::PowerNotFound, "     WARNING - Z Power " +
                                                   formatNumber(z, "######0.00") +
                                                   " Table Lookup Error.  Power Not reliable."});
    return 0.0;
}

}  // namespace bx
