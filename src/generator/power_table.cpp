// SPDX-License-Identifier: MIT
// POWERT: 100 * Phi(z) for z = -3.25 to 3.25 in steps of 0.01, keyed by the text that the
// power calculation looks up ("######0.00"), rounded to 2 decimals.

#include <boost/math/distributions/normal.hpp>

#include "base/text_format.h"
#include "generator/generated_table.h"

namespace bx::gen {

GeneratedTable powerTable() {
    GeneratedTable table;
    table.fileName = "POWERT.dbf";
    table.fields = {{"Z", 'C', 6, 0}, {"PCT", 'N', 6, 2}};
    const boost::math::normal standard;
    for (int k = -325; k <= 325; ++k) {
        const double z = k / 100.0;
        table.rows.push_back({formatNumber(z, "######0.00"),
                              formatNumber(100.0 * boost::math::cdf(standard, z), "##0.00")});
    }
    return table;
}

}  // namespace bx::gen
