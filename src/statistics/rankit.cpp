// SPDX-License-Identifier: MIT
#include "statistics/rankit.h"

#include "statistics/table_lookup.h"

namespace bx {

RankitResult rankits(std::span<const double> x1, std::span<const double> x2, TableLookup& tables) {
    RankitResult r;
    const int n = poolSorted(x1, x2, r.pooled);
    r.pooledCount = n;
    // Tied values share the mean of the rankits of the positions they occupy.
    PooledArray row{};
    if (tables.rankitRow(n, row)) {
        averageOverTies(r.pooled, n, r.rankits, [&row](int position) {
            return row[static_cast<std::size_t>(position - 1)];
        });
    } else {
        averageOverTies(r.pooled, n, r.rankits,
                        [&tables, n](int position) { return tables.rankit(n, position); });
    }

    for (std::size_t i = 0; i < x1.size(); ++i) {
        r.rankits1.at(i) = scoreOfValue(x1[i], r.pooled, n, r.rankits);
    }
    for (std::size_t i = 0; i < x2.size(); ++i) {
        r.rankits2.at(i) = scoreOfValue(x2[i], r.pooled, n, r.rankits);
    }
    const std::span<const double> s1(r.rankits1.data(), x1.size());
    const std::span<const double> s2(r.rankits2.data(), x2.size());
    r.mean1 = meanOfSafeRange(s1);
    r.sd1 = stdDevOfSafeRange(s1);
    r.mean2 = meanOfSafeRange(s2);
    r.sd2 = stdDevOfSafeRange(s2);
    return r;
}

}  // namespace bx
