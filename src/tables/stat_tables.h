#pragma once
// The six statistical tables (Crit_t, CRIT_U, crit_w, CRIT_W1, RANKIT, POWERT), read once from
// the program folder and held in memory, read-only afterwards so that several windows or
// threads may share one instance.

#include <array>
#include <memory>
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
    // letter case). A file that cannot be read, or lacks one of its fields, leaves its table
    // empty and is listed by unreadableFiles().
    static std::shared_ptr<const StatTables> load(const std::string& programFolder);

    const StatTable& table(StatTableId id) const { return tables_[static_cast<std::size_t>(id)]; }

    // "Crit_t.dbf: File not found: /..." for each table that could not be read.
    std::vector<std::string> unreadableFiles() const;

    // Position of a value field in a row of table `id` (1 for the first value field), -1
    // when the table has no such field. Letter case is ignored.
    static int columnOf(StatTableId id, std::string_view field);

  private:
    std::array<StatTable, kStatTableCount> tables_;
};

}  // namespace bx
