// SPDX-License-Identifier: MIT
#include "statistics/mann_whitney.h"

#include "base/text_format.h"
#include "statistics/table_lookup.h"

namespace bx {

std::string mannWhitneyKey(int n1, int n2) {
    const int larger = n1 > n2 ? n1 : n2;
    const int smaller = n1 > n2 ? n2 : n1;
    return std::string(trimBlanks(formatNumber(larger, "##"))) + "," +
           std::string(trimBlanks(formatNumber(smaller, "##")));
}

MannWhitneyResult mannWhitneyU(std::span<const double> x1, std::span<const double> x2,
                               Alternative alternative, double alpha, TableLookup& tables) {
    MannWhitneyResult r;
    r.pooledCount = poolSorted(x1, x2, r.pooled);
    // Average rank of tied values: the mean of the positions they occupy.
    averageOverTies(r.pooled, r.pooledCount, r.pooledRanks,
                    [](int position) { return static_cast<double>(position); });

    double rankSum1 = 0.0;
    double rankSum2 = 0.0;
    for (std::size_t i = 0; i < x1.size(); ++i) {
        r.ranks1.at(i) = scoreOfValue(x1[i], r.pooled, r.pooledCount, r.pooledRanks);
        rankSum1 += r.ranks1[i];
    }
    for (std::size_t i = 0; i < x2.size(); ++i) {
        r.ranks2.at(i) = scoreOfValue(x2[i], r.pooled, r.pooledCount, r.pooledRanks);
        rankSum2 += r.ranks2[i];
    }

    const int n1 = static_cast<int>(x1.size());
    const int n2 = static_cast<int>(x2.size());
    const double a = n1;
    const double b = n2;
    // U from the rank sum of the sample the alternative expects to be the smaller one.
    if (alternative == Alternative::Less) {
        r.u = a * b + a * (a + 1.0) / 2.0 - rankSum1;
    } else {
        r.u = a * b + b * (b + 1.0) / 2.0 - rankSum2;
    }

    r.key = mannWhitneyKey(n1, n2);
    r.critical = tables.criticalU(alpha, n1, n2);
    r.acceptNull = !(r.u >= r.critical);
    r.cannotReject = r.critical != kNotFound && r.critical > a * b;
    return r;
}

}  // namespace bx
