// SPDX-License-Identifier: MIT
#include "statistics/student_t.h"

#include <cmath>

#include "statistics/table_lookup.h"

namespace bx {
namespace {

double pooledStandardError(double s1, int n1, double s2, int n2) {
    if (n1 <= 0 || n2 <= 0 || n1 + n2 <= 2) {
        return 0.0;
    }
    const double a = n1;
    const double b = n2;
    const double pooledVariance = ((a - 1.0) * s1 * s1 + (b - 1.0) * s2 * s2) / (a + b - 2.0);
    const double se = std::sqrt(pooledVariance / a + pooledVariance / b);
    return se > 0.0 ? se : 0.0;
}

}  // namespace

double pooledTStatistic(double x1, double s1, int n1, double x2, double s2, int n2,
                        Alternative alternative) {
    const double se = pooledStandardError(s1, n1, s2, n2);
    if (!(se > 0.0)) {
        return 0.0;
    }
    return alternative == Alternative::Greater ? (x1 - x2) / se : (x2 - x1) / se;
}

double oneSidedCriticalT(double alpha, int df, TableLookup& tables) {
    return tables.criticalT(2.0 * alpha, df);
}

TTestResult pooledT(double x1, double s1, int n1, double x2, double s2, int n2,
                    Alternative alternative, double alpha, TableLookup& tables) {
    TTestResult r;
    r.df = n1 + n2 - 2;
    r.standardError = pooledStandardError(s1, n1, s2, n2);
    r.t = pooledTStatistic(x1, s1, n1, x2, s2, n2, alternative);
    r.critical = oneSidedCriticalT(alpha, r.df, tables);
    r.acceptNull = !(r.t >= r.critical);
    return r;
}

}  // namespace bx
