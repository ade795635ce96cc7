#include "analysis/student_t.h"

#include <cmath>

#include "tables/lookup.h"

namespace bx {

double StudentT(double x1, double s1, int n1, double x2, double s2, int n2, NullHypothesis null) {
    if (n1 <= 0 || n2 <= 0 || n1 + n2 <= 2) {
        return 0.0;
    }
    const double a = n1;
    const double b = n2;
    const double pooledVariance = ((a - 1.0) * s1 * s1 + (b - 1.0) * s2 * s2) / (a + b - 2.0);
    const double se = std::sqrt(pooledVariance / a + pooledVariance / b);
    if (!(se > 0.0)) {
        return 0.0;
    }
    return null == NullHypothesis::X1AtMostX2 ? (x1 - x2) / se : (x2 - x1) / se;
}

double oneSidedCriticalT(double alpha, int df, Lookup& lookup) {
    return lookup.lookupValue(2.0 * alpha, static_cast<double>(df), "T1");
}

TwoSampleTResult studentTTest(double x1, double s1, int n1, double x2, double s2, int n2,
                              NullHypothesis null, double alpha, Lookup& lookup) {
    TwoSampleTResult r;
    r.df = n1 + n2 - 2;
    r.t = StudentT(x1, s1, n1, x2, s2, n2, null);
    r.critical = oneSidedCriticalT(alpha, r.df, lookup);
    r.acceptNull = !(r.t >= r.critical);
    return r;
}

}  // namespace bx
