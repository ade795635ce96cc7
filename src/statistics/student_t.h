// SPDX-License-Identifier: MIT
#pragma once
// Student's two-sample t-test with pooled variance, one-sided in the direction of the
// experimental hypothesis, and what the t-based tests share.

#include "base/analysis_types.h"

namespace bx {

class TableLookup;

// The t statistic with pooled variance, signed so that a large positive t speaks for the
// alternative: (x1 - x2) / se for "x1 > x2", (x2 - x1) / se for "x1 < x2". 0 when a count is
// 0, when n1 + n2 <= 2, or when the standard error is 0.
double pooledTStatistic(double x1, double s1, int n1, double x2, double s2, int n2,
                        Alternative alternative);

// The one-sided critical t for alpha and df: the t table holds two-sided levels, so the
// column of 2 * alpha is read (0.05 reads A0_10, 0.1 reads A0_20).
double oneSidedCriticalT(double alpha, int df, TableLookup& tables);

struct TTestResult {
    int df = 0;
    double t = 0.0;
    double critical = 0.0;
    double standardError = 0.0;  // of the difference of the means; 0 when there is none
    bool acceptNull = false;     // t below the critical value; t >= critical rejects
};

// df = n1 + n2 - 2, the pooled t, the critical value and the decision.
TTestResult pooledT(double x1, double s1, int n1, double x2, double s2, int n2,
                    Alternative alternative, double alpha, TableLookup& tables);

}  // namespace bx
