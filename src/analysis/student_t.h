#pragma once
// Student's two-sample t-test with pooled variance, one-sided in the direction of the
// experimental hypothesis.

#include "analysis/hypothesis.h"

namespace bx {

class Lookup;

// The t statistic with pooled variance, signed so that a large positive t speaks against the
// null hypothesis: (x1 - x2) / se for "x1 <= x2", (x2 - x1) / se otherwise. 0 when a count is
// 0, when n1 + n2 <= 2, or when the standard error is 0.
double StudentT(double x1, double s1, int n1, double x2, double s2, int n2, NullHypothesis null);

// The one-sided critical t for `alpha` and `df`: the t table holds two-sided levels, so the
// column of 2 * alpha is read (0.05 reads A0_10, 0.1 reads A0_20).
double oneSidedCriticalT(double alpha, int df, Lookup& lookup);

struct TwoSampleTResult {
    int df = 0;
    double t = 0.0;
    double critical = 0.0;
    bool acceptNull = false;  // t below the critical value; t >= critical rejects
};

// df = n1 + n2 - 2, t = StudentT, the critical value and the decision.
TwoSampleTResult studentTTest(double x1, double s1, int n1, double x2, double s2, int n2,
                              NullHypothesis null, double alpha, Lookup& lookup);

}  // namespace bx
