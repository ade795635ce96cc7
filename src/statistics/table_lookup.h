// SPDX-License-Identifier: MIT
#pragma once
// The analysis's reading of the statistical tables: each value a procedure needs, with the
// table's stand-in when the table has no row for it (9999, or a power of 0) and the warning
// that says so, added to the run's notes in the order the values are read.

#include <span>

#include "statistics/notes.h"

namespace bx {

class StatTables;

// What a critical value is when the table has none: large enough that no statistic reaches
// it. A test that cannot be made at its level shows -9999.
inline constexpr double kNotFound = 9999.0;
inline constexpr double kCannotTest = -9999.0;

class TableLookup {
  public:
    TableLookup(const StatTables& tables, Notes& notes) : tables_(tables), notes_(notes) {}

    // The Shapiro-Wilk coefficient a(i) for n pooled values.
    double shapiroWilkCoefficient(int n, int i);
    // The critical W for n pooled values at alpha.
    double criticalW(double alpha, int n);
    // The critical t of the table's two-sided level for df degrees of freedom. A level the
    // table has no column for gives 9999 without a warning.
    double criticalT(double twoSidedLevel, int df);
    // The one-sided critical U of n1 and n2 at alpha.
    double criticalU(double alpha, int n1, int n2);
    // The rankit of the given position in a sample of n.
    double rankit(int n, int position);
    // The rankits of positions 1..n in one read; false (and no warning) when the row cannot
    // be read, so that the caller reads position by position with the usual warnings.
    bool rankitRow(int n, std::span<double> out) const;
    // The power in percent at z; 0 when the table has no row for it.
    double powerPercent(double z);

    const StatTables& tables() const { return tables_; }

  private:
    // Adds the unreadable-table warning for a table once per run, before its first miss.
    void noteUnreadable(int tableIndex);

    const StatTables& tables_;
    Notes& notes_;
    unsigned reportedUnreadable_ = 0;  // one bit per table
};

}  // namespace bx
