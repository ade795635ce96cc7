// SPDX-License-Identifier: MIT
#pragma once
// The approximate (Welch) two-sample t-test for unequal variances, with Satterthwaite's
// degrees of freedom.

#include "statistics/student_t.h"

namespace bx {

// Satterthwaite's degrees of freedom a^2 / (b1^2/(n1-1) + b2^2/(n2-1)), b = s^2/n,
// a = b1 + b2, unrounded. Where the formula has no finite value (both spreads 0 gives 0/0)
// the pooled degrees of freedom n1 + n2 - 2 stand in: the two variances are then equal. Any
// finite spreads, however large or small, give the formula's value.
double welchDf(double s1, int n1, double s2, int n2);

// The test's whole degrees of freedom: Satterthwaite's value rounded half to even when both
// samples have more than one value, 2 otherwise.
int welchWholeDf(double s1, int n1, double s2, int n2);

// The t statistic with separate variances, signed as pooledTStatistic; 0 when a count is 0,
// when n1 + n2 <= 2 or when the standard error is 0.
double welchTStatistic(double x1, double s1, int n1, double x2, double s2, int n2,
                       Alternative alternative);

TTestResult welchT(double x1, double s1, int n1, double x2, double s2, int n2,
                   Alternative alternative, double alpha, TableLookup& tables);

}  // namespace bx
