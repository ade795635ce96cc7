#pragma once
// The six statistical tables (Crit_t, CRIT_U, crit_w, CRIT_W1, RANKIT, POWERT), read once from
// the program folder and held in memory, read-only afterwards so that several windows or
// threads may share one instance.

#include <memory>
#include <string>

namespace bx {

class StatTables {
public:
    // Reads the six table files of `programFolder`. A file that cannot be read leaves its table
    // empty (every lookup in it misses) and is listed by unreadableFiles().
    static std::shared_ptr<const StatTables> load(const std::string& programFolder);

    virtual ~StatTables() = default;
};

}  // namespace bx
