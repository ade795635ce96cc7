// SPDX-License-Identifier: MIT
#include "statistics/one_sample_t.h"

#include <cmath>
#include <limits>

#include "statistics/student_t.h"

namespace bx {

OneSampleTResult oneSampleTStatistic(double x1, double s1, int n1, double x2) {
    OneSampleTResult r;
    r.df = n1 - 1;
    if (n1 <= 1) {
        return r;
    }
    const double se = std::sqrt(s1 * s1 / n1);
    if (se > 0.0) {
        r.standardError = se;
        r.t = (x1 - x2) / se;
    } else if (x1 != x2) {
        r.t = x1 > x2 ? std::numeric_limits<double>::infinity()
                      : -std::numeric_limits<double>::infinity();
        r.infinite = true;
    }
    return r;
}

OneSampleTResult oneSampleT(double x1, double s1, int n1, double x2, Alternative alternative,
                            double alpha, TableLookup& tables) {
    OneSampleTResult r = oneSampleTStatistic(x1, s1, n1, x2);
    r.critical = oneSidedCriticalT(alpha, r.df, tables);
    if (alternative == Alternative::Less) {
        r.critical = -std::fabs(r.critical);
    }
    r.acceptNull = r.critical < 0.0 ? !(r.t <= r.critical) : !(r.t >= r.critical);
    return r;
}

}  // namespace bx
