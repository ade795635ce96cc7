// SPDX-License-Identifier: MIT
#pragma once
// The six statistical tables (Crit_t, CRIT_U, crit_w, CRIT_W1, RANKIT, POWERT), read once from
// the program folder and held in memory, read-only afterwards so that several windows or
// threads may share one instance.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tables/stat_table_layouts.h"
#include "tables/table_error.h"

namespace bx {

// One table in memory: the key and value texts of each row in the order of its layout
// (key first), whatever the field order of the file.
struct StatTable {
    std::string fileName;  // e.g. "Crit_t.dbf"
    std::vector<std::vector<std::string>> rows;
    // The same rows as numbers (leading-number parse of each value text, key included), read
    // once so that a lookup does no parsing.
    std::vector<std::vector<double>> numbers;
    TableError error;  // why the file could not be read; no error when it was

    bool readable() const { return !error; }
    // The first row, in file order, whose key equals `key` (trailing blanks ignored); -1 when
    // none does.
    int findRowIndex(std::string_view key) const;
    const std::vector<std::string>* findRow(std::string_view key) const;

    // Builds `numbers` and the key index from `rows`.
    void index();

  private:
    std::unordered_map<std::string, int> firstRowByKey_;
};

class StatTables {
  public:
    // Tables that were never read: every lookup misses.
    StatTables();
    virtual ~StatTables() = default;

    // Reads the six table files of `programFolder` (file names matched without regard to
    // letter case), each checked first against the size and checksum that the manifest there
    // records (tables/table_manifest.h). A file that is missing, differs from the manifest,
    // cannot be read or lacks one of its fields leaves its table empty and is listed by
    // unreadableFiles(); installationProblem() then says so.
    static std::shared_ptr<const StatTables> load(const std::string& programFolder);

    // Why the analysis cannot rely on these tables: "Statistical table Crit_t.dbf is missing
    // or damaged; reinstall Benthix" for a table that is missing, unreadable or not as the
    // build wrote it (all such tables named), or the same about the manifest. Empty when the
    // tables are sound, and for tables that were never read.
    const std::string& installationProblem() const { return installationProblem_; }

    const StatTable& table(StatTableId id) const { return tables_[static_cast<std::size_t>(id)]; }

    // A copy of `tables` in which table `id` holds `rows` (key and value texts in the order of
    // its layout): tables for a purpose, such as a critical value set to a given number.
    static std::shared_ptr<const StatTables> withRows(const StatTables& tables, StatTableId id,
                                                      std::vector<std::vector<std::string>> rows);

    // "Crit_t.dbf: File not found: /..." for each table that could not be read.
    std::vector<std::string> unreadableFiles() const;

    // Position of a value field in a row of table `id` (1 for the first value field), -1
    // when the table has no such field. Letter case is ignored.
    static int columnOf(StatTableId id, std::string_view field);

    // Typed answers. Each is the value of one row and column, or nothing when the table has
    // no row for the key (a table that could not be read has no rows). Keys are the texts the
    // tables are written with: whole numbers as digits ("8"), U keys as "larger,smaller",
    // power keys with two decimals ("-1.25").

    // Crit_t at a two-sided level 0.25, 0.2, 0.1 or 0.05 (see hasTLevel).
    std::optional<double> criticalT(int df, double twoSidedLevel) const;
    // CRIT_U at a one-sided level 0.1 or 0.05 (see hasULevel); the order of n1, n2 is free.
    std::optional<double> criticalU(int n1, int n2, double alpha) const;
    // crit_w at a level 0.01, 0.02, 0.05 or 0.1 (see hasWLevel).
    std::optional<double> criticalW(int n, double alpha) const;
    // CRIT_W1: the coefficient a(i) for a sample of n, 2 <= n <= 20 (row I = i, field N<n>).
    std::optional<double> shapiroWilkCoefficient(int n, int i) const;
    // RANKIT: the rankit of rank i in a sample of n, 1 <= i <= 20 (row N = n, field RANK<i>).
    std::optional<double> rankit(int n, int i) const;
    // POWERT: the power in percent at z, read at z rounded to two decimals.
    std::optional<double> powerPercent(double z) const;

    // The levels the critical-value tables have columns for (compared exactly).
    static bool hasTLevel(double level);
    static bool hasULevel(double level);
    static bool hasWLevel(double level);

  private:
    // A row by a whole-number key, through the key text "##" writes for it.
    int rowOfWholeKey(StatTableId id, int key) const;
    std::optional<double> valueAt(StatTableId id, int row, int column) const;
    void indexWholeKeys();

    std::array<StatTable, kStatTableCount> tables_;
    std::string installationProblem_;
    // Row of each whole-number key 0..kIndexedKeys-1 (-1 for none), for the tables keyed by
    // whole numbers, so that a lookup does not format a key.
    static constexpr int kIndexedKeys = 128;
    std::array<std::array<int, kIndexedKeys>, kStatTableCount> rowByWholeKey_{};
    // Row of each U key "a,b", a and b 0..20.
    std::array<std::array<int, 21>, 21> rowOfUKey_{};
};

}  // namespace bx
