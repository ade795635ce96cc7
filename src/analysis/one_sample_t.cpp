#include "analysis/one_sample_t.h"

#include <cmath>
#include <limits>

#include "analysis/student_t.h"

namespace bx {

OneSampleT oneSampleT(double x1, double s1, int n1, double x2) {
    OneSampleT r;
    r.df = n1 - 1;
    if (n1 <= 1) {
        return r;
    }
    const double se = std::sqrt(s1 * s1 / n1);
    if (se > 0.0) {
        r.t = (x1 - x2) / se;
    } else if (x1 != x2) {
        r.t = x1 > x2 ? std::numeric_limits<double>::infinity()
                      : -std::numeric_limits<double>::infinity();
        r.infinite = true;
    }
    return r;
}

OneSampleTResult oneSampleTTest(double x1, double s1, int n1, double x2, NullHypothesis null,
                                double alpha, Lookup& lookup) {
    const OneSampleT stat = oneSampleT(x1, s1, n1, x2);
    OneSampleTResult r;
    r.df = stat.df;
    r.t = stat.t;
    r.infinite = stat.infinite;
    r.critical = oneSidedCriticalT(alpha, r.df, lookup);
    if (null == NullHypothesis::X1AtLeastX2) {
        r.critical = -std::fabs(r.critical);
    }
    r.acceptNull = r.critical < 0.0 ? !(r.t <= r.critical) : !(r.t >= r.critical);
    return r;
}

}  // namespace bx
