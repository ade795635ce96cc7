#pragma once
// The approximate (Welch) two-sample t-test for unequal variances, with Satterthwaite's
// degrees of freedom.

#include "analysis/hypothesis.h"
#include "analysis/student_t.h"

namespace bx {

class Lookup;

// Satterthwaite's degrees of freedom a^2 / (b1^2/(n1-1) + b2^2/(n2-1)), b = s^2/n, a = b1 + b2,
// unrounded. Where the formula has no finite value (both spreads 0 gives 0/0) the pooled
// degrees of freedom n1 + n2 - 2 stand in: the two variances are then equal (both 0).
double satterthwaiteDf(double s1, int n1, double s2, int n2);

// The test's degrees of freedom: Satterthwaite's value rounded half to even when both samples
// have more than one value, 2 otherwise.
int StudentT_DF(double s1, int n1, double s2, int n2);

// The t statistic with separate variances, signed as StudentT; 0 when a count is 0, when
// n1 + n2 <= 2 or when the standard error is 0.
double approximateT(double x1, double s1, int n1, double x2, double s2, int n2,
                    NullHypothesis null);

TwoSampleTResult approximateTTest(double x1, double s1, int n1, double x2, double s2, int n2,
                                  NullHypothesis null, double alpha, Lookup& lookup);

}  // namespace bx
