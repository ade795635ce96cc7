// SPDX-License-Identifier: MIT
#include "statistics/levene.h"

#include <cmath>

#include "statistics/descriptive.h"
#include "statistics/student_t.h"
#include "statistics/table_lookup.h"

namespace bx {

double leveneAlpha(int largerCount, bool balanced) {
    if (largerCount >= 2 && largerCount <= 9) {
        return balanced ? 0.10 : 0.25;
    }
    if (largerCount >= 10 && largerCount <= 20) {
        return balanced ? 0.05 : 0.10;
    }
    return 0.0;
}

LeveneResult levene(std::span<const double> x1, std::span<const double> x2, double mean1,
                    double mean2, bool balanced, Alternative alternative, TableLookup& tables) {
    LeveneResult r;
    r.n1 = static_cast<int>(x1.size());
    r.n2 = static_cast<int>(x2.size());
    r.df = r.n1 + r.n2 - 2;
    for (std::size_t i = 0; i < x1.size(); ++i) {
        r.absResiduals1.at(i) = std::fabs(x1[i] - mean1);
    }
    for (std::size_t i = 0; i < x2.size(); ++i) {
        r.absResiduals2.at(i) = std::fabs(x2[i] - mean2);
    }
    const std::span<const double> d1(r.absResiduals1.data(), x1.size());
    const std::span<const double> d2(r.absResiduals2.data(), x2.size());
    r.mean1 = meanOfSafeRange(d1);
    r.mean2 = meanOfSafeRange(d2);
    r.sd1 = stdDevOfSafeRange(d1);
    r.sd2 = stdDevOfSafeRange(d2);
    r.absT = std::fabs(pooledTStatistic(r.mean1, r.sd1, r.n1, r.mean2, r.sd2, r.n2, alternative));

    r.alpha = leveneAlpha(r.n1 >= r.n2 ? r.n1 : r.n2, balanced);
    r.testable = r.alpha != 0.25;
    if (!r.testable) {
        return r;
    }
    // The level is the table's own column: Levene's test is two-sided.
    r.critical = tables.criticalT(r.alpha, r.df);
    r.homoscedastic = !(r.absT >= *r.critical);
    return r;
}

}  // namespace bx
