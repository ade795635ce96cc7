// SPDX-License-Identifier: MIT
#include "statistics/shapiro_wilk.h"

#include "statistics/table_lookup.h"

namespace bx {

double shapiroWilkAlpha(int pooledCount, bool balanced) {
    if (pooledCount < 3) {
        return 0.10;
    }
    if (pooledCount <= 9) {
        return balanced ? 0.10 : kUntestableAlpha;
    }
    if (pooledCount <= 19) {
        return balanced ? 0.05 : 0.10;
    }
    return balanced ? 0.01 : 0.05;
}

ShapiroWilkResult shapiroWilk(std::span<const double> x1, std::span<const double> x2, double mean1,
                              double mean2, bool balanced, TableLookup& tables) {
    ShapiroWilkResult r;
    const std::size_t total = x1.size() + x2.size();
    const int n = static_cast<int>(total);
    r.pooledCount = n;

    std::size_t p = 0;
    for (double v : x1) {
        r.residuals.at(p++) = v - mean1;
    }
    for (double v : x2) {
        r.residuals.at(p++) = v - mean2;
    }
    const std::span<double> residuals(r.residuals.data(), total);
    sortAscending(residuals);

    r.residualMean = meanOfSafeRange(residuals);
    r.residualSd = stdDevOfSafeRange(residuals);
    for (double v : residuals) {
        const double d = v - r.residualMean;
        r.ss += d * d;
    }

    // b = sum of a(i) * (r(N - i + 1) - r(i)) over the k outer pairs of the ordered residuals.
    r.k = n / 2;
    for (int i = 1; i <= r.k; ++i) {
        const double a = tables.shapiroWilkCoefficient(n, i);
        r.b += a * (r.residuals[static_cast<std::size_t>(n - i)] -
                    r.residuals[static_cast<std::size_t>(i - 1)]);
    }
    r.w = r.ss != 0.0 ? r.b * r.b / r.ss : r.b * r.b;

    r.alpha = shapiroWilkAlpha(n, balanced);
    r.testable = r.alpha != kUntestableAlpha;
    if (!r.testable) {
        return r;
    }
    r.critical = tables.criticalW(r.alpha, n);
    r.normal = r.w > *r.critical;
    return r;
}

}  // namespace bx
