// SPDX-License-Identifier: MIT
#pragma once
// The tables the build writes into the program folder: the six statistical tables and the
// four empty templates. Each builder is a pure function from its inputs to the table's
// fields and row texts.

#include <string>
#include <vector>

#include "tables/dbf_table.h"

namespace bx::gen {

struct GeneratedTable {
    std::string fileName;  // e.g. "Crit_t.dbf"
    std::vector<DbfFieldDef> fields;
    std::vector<std::vector<std::string>> rows;
};

// Crit_t: two-sided critical values of Student's t for DF = 1 to 100.
GeneratedTable studentTTable();

// CRIT_U: critical values of the Mann-Whitney U from its exact null distribution.
GeneratedTable mannWhitneyTable();

// Number of arrangements of two samples of sizes m and n (no ties) for each value u of U
// (index u, 0 to m*n).
std::vector<unsigned long long> mannWhitneyCounts(int m, int n);

// RANKIT: expected normal order statistics for N = 1 to 20.
GeneratedTable rankitTable();

// POWERT: 100 times the standard normal distribution function for Z = -3.25 to 3.25.
GeneratedTable powerTable();

// CRIT_W1 and crit_w from the published figures in the project's data files. On a malformed
// file the error text is set and the table is empty.
GeneratedTable shapiroWilkCoefficientTable(const std::string& csvPath, std::string& error);
GeneratedTable shapiroWilkPercentagePointTable(const std::string& csvPath, std::string& error);

// The templates stat.dbf, sslog.dbf, result.dbf and sslogsum.dbf.
std::vector<GeneratedTable> templateTables();

}  // namespace bx::gen
