// SPDX-License-Identifier: MIT
#include "statistics/approximate_t.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "statistics/descriptive.h"

namespace bx {
namespace {

// Beyond 2^200 (or below 2^-200) the fourth power of an SD leaves the range of normal doubles.
constexpr int kSafeSpreadExponent = 200;

double welchStandardError(double s1, int n1, double s2, int n2) {
    if (n1 <= 0 || n2 <= 0 || n1 + n2 <= 2) {
        return 0.0;
    }
    const double se = std::sqrt(s1 * s1 / n1 + s2 * s2 / n2);
    return se > 0.0 ? se : 0.0;
}

}  // namespace

double welchDf(double s1, int n1, double s2, int n2) {
    // The formula holds the fourth powers of the SDs, beyond the doubles for SDs above about
    // 1e77 and lost below about 1e-77; its value does not change when both SDs are multiplied
    // by the same number, so such SDs are first brought near 1 by an exact power of two.
    const double larger = std::max(std::fabs(s1), std::fabs(s2));
    int exponent = 0;
    if (std::isfinite(larger) && larger > 0.0) {
        std::frexp(larger, &exponent);
    }
    if (std::abs(exponent) > kSafeSpreadExponent) {
        s1 = timesPowerOfTwo(s1, -exponent);
        s2 = timesPowerOfTwo(s2, -exponent);
    }
    const double a1 = n1;
    const double a2 = n2;
    const double b1 = s1 * s1 / a1;
    const double b2 = s2 * s2 / a2;
    const double a = b1 + b2;
    const double df = a * a / (b1 * b1 / (a1 - 1.0) + b2 * b2 / (a2 - 1.0));
    if (!std::isfinite(df)) {
        return a1 + a2 - 2.0;
    }
    return df;
}

int welchWholeDf(double s1, int n1, double s2, int n2) {
    if (n1 > 1 && n2 > 1) {
        // With both counts above 1 the value lies between min(n1, n2) - 1 and n1 + n2 - 2, so
        // the rounding always has a finite, small argument.
        return roundHalfEven(welchDf(s1, n1, s2, n2));
    }
    return 2;
}

double welchTStatistic(double x1, double s1, int n1, double x2, double s2, int n2,
                       Alternative alternative) {
    const double se = welchStandardError(s1, n1, s2, n2);
    if (!(se > 0.0)) {
        return 0.0;
    }
    return alternative == Alternative::Greater ? (x1 - x2) / se : (x2 - x1) / se;
}

TTestResult welchT(double x1, double s1, int n1, double x2, double s2, int n2,
                   Alternative alternative, double alpha, TableLookup& tables) {
    TTestResult r;
    r.df = welchWholeDf(s1, n1, s2, n2);
    r.standardError = welchStandardError(s1, n1, s2, n2);
    r.t = welchTStatistic(x1, s1, n1, x2, s2, n2, alternative);
    r.critical = oneSidedCriticalT(alpha, r.df, tables);
    r.acceptNull = !(r.t >= r.critical);
    return r;
}

}  // namespace bx
