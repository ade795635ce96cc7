#include "analysis/rankit.h"

#include "analysis/pooled_order.h"
#include "tables/lookup.h"

namespace bx {

RankitResult rankitTransform(std::span<const double> x1, std::span<const double> x2,
                             Lookup& lookup) {
    RankitResult r;
    if (x1.size() > r.rankits1.size() || x2.size() > r.rankits2.size()) {
        r.tooManyValues = true;
        return r;
    }
    const int n = poolSorted(x1, x2, r.pooled);
    r.pooledCount = n;
    // Tied values share the mean of the rankits of the positions they occupy. The row of the
    // table is read once; only when it cannot be read are the values looked up pair by pair,
    // so that each failed lookup posts its warning.
    PooledArray row{};
    if (lookup.rankitRow(n, row)) {
        averageOverTies(r.pooled, n, r.rankits, [&row](int position) {
            return row[static_cast<std::size_t>(position - 1)];
        });
    } else {
        averageOverTies(r.pooled, n, r.rankits, [&lookup, n](int position) {
            return lookup.lookupValue(n, static_cast<double>(position), "R1");
        });
    }

    for (std::size_t i = 0; i < x1.size(); ++i) {
        r.rankits1[i] = scoreOfValue(x1[i], r.pooled, n, r.rankits);
    }
    for (std::size_t i = 0; i < x2.size(); ++i) {
        r.rankits2[i] = scoreOfValue(x2[i], r.pooled, n, r.rankits);
    }
    return r;
}

}  // namespace bx
