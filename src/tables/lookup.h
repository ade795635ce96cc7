#pragma once
// lookupValue: the one way the tests read critical values, Shapiro-Wilk coefficients,
// rankits and power percentages.

#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "app/status_sink.h"

namespace bx {

class StatTables;  // tables/stat_tables.h: the six tables, read once, read-only afterwards

using SearchValue = std::variant<double, std::string>;

inline constexpr double kNotFound = 9999.0;
inline constexpr double kCannotTest = -9999.0;

// One per window: answers from the shared read-only tables and posts its warnings to that
// window's status list.
class Lookup {
  public:
    Lookup(std::shared_ptr<const StatTables> tables, StatusSink& status);

    // alphaVal, searchVal and testType as the codes "W1", "W2", "T1", "M1", "R1", "P1" define
    // them. A missing row posts the code's warning and gives 9999 (0 for "P1"); an unknown
    // level or code gives 9999 without a warning.
    double lookupValue(double alphaVal, const SearchValue& searchVal, std::string_view testType);

    // RANK1..RANKn of the RANKIT row for a pooled size n, as lookupValue(n, j, "R1") gives them
    // one by one; false (and nothing posted) when that row cannot be read, in which case the
    // caller looks the values up one by one and the warnings are posted as usual.
    bool rankitRow(int n, std::span<double> out) const;

    const std::shared_ptr<const StatTables>& tables() const { return tables_; }

  private:
    std::shared_ptr<const StatTables> tables_;
    StatusSink& status_;
    std::set<std::string> reportedUnreadable_;  // table files already reported as unreadable
};

}  // namespace bx
