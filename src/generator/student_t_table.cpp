// SPDX-License-Identifier: MIT
// Crit_t: for each DF the upper alpha/2 quantile of Student's t, one column per two-sided
// level, rounded to three decimals as printed tables give them.

#include <boost/math/distributions/students_t.hpp>

#include "base/text_format.h"
#include "generator/generated_table.h"

namespace bx::gen {

GeneratedTable studentTTable() {
    GeneratedTable table;
    table.fileName = "Crit_t.dbf";
    table.fields = {{"DF", 'C', 3, 0},
                    {"A0_25", 'N', 8, 3},
                    {"A0_20", 'N', 8, 3},
                    {"A0_10", 'N', 8, 3},
                    {"A0_05", 'N', 8, 3}};
    const double levels[] = {0.25, 0.20, 0.10, 0.05};
    for (int df = 1; df <= 100; ++df) {
        const boost::math::students_t dist(df);
        std::vector<std::string> row{formatNumber(df, "##")};
        for (double alpha : levels) {
            const double t = boost::math::quantile(boost::math::complement(dist, alpha / 2.0));
            row.push_back(formatNumber(t, "#0.000"));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace bx::gen
