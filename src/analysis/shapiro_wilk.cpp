#include "analysis/shapiro_wilk.h"

#include "analysis/descriptive.h"
#include "analysis/exchange_sort.h"
#include "tables/lookup.h"

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

ShapiroWilkResult shapiroWilkTest(std::span<const double> x1, std::span<const double> x2,
                                  double mean1, double mean2, bool balanced, Lookup& lookup) {
    ShapiroWilkResult r;
    const std::size_t total = x1.size() + x2.size();
    if (total > static_cast<std::size_t>(kMaxPooled)) {
        r.tooManyValues = true;
        return r;
    }
    const int n = static_cast<int>(total);
    r.pooledCount = n;

    std::size_t p = 0;
    for (double v : x1) {
        r.residuals[p++] = v - mean1;
    }
    for (double v : x2) {
        r.residuals[p++] = v - mean2;
    }
    const std::span<double> residuals(r.residuals.data(), total);
    exchangeSort(residuals);

    r.residualMean = meanOf(residuals);
    r.residualSd = stdDevOf(residuals);
    for (double v : residuals) {
        const double d = v - r.residualMean;
        r.ss += d * d;
    }

    r.k = n / 2;
    for (int i = 1; i <= r.k; ++i) {
        const double a = lookup.lookupValue(n, static_cast<double>(i), "W1");
        r.b += a * (r.residuals[static_cast<std::size_t>(n - i)] -
                    r.residuals[static_cast<std::size_t>(i - 1)]);
    }
    r.w = r.ss != 0.0 ? r.b * r.b / r.ss : r.b * r.b;

    r.alpha = shapiroWilkAlpha(n, balanced);
    r.testable = r.alpha != kUntestableAlpha;
    if (!r.testable) {
        r.critical = kCannotTest;
        r.normal = false;
        return r;
    }
    r.critical = lookup.lookupValue(r.alpha, static_cast<double>(n), "W2");
    r.normal = r.w > r.critical;
    return r;
}

}  // namespace bx
