// SPDX-License-Identifier: MIT
#pragma once
// The one-sample t-test of the test-sample mean against the reference value, used when the
// reference has no spread.

#include "base/analysis_types.h"

namespace bx {

class TableLookup;

struct OneSampleTResult {
    int df = 0;                  // n1 - 1
    double t = 0.0;              // (x1 - x2) / se, whatever the hypothesis
    double standardError = 0.0;  // s1 / sqrt(n1); 0 when there is none
    bool infinite = false;       // no spread in the test sample and x1 != x2: t is +/- infinity
    double critical = 0.0;       // negative for the alternative "x1 < x2"
    bool acceptNull = false;
};

// t = (x1 - x2) / sqrt(s1^2 / n1). A test sample without spread has a standard error of 0: t
// is then +infinity when x1 > x2, -infinity when x1 < x2 (the difference is certain), and 0
// when x1 equals x2. With n1 <= 1 there is no standard error and t is 0.
OneSampleTResult oneSampleTStatistic(double x1, double s1, int n1, double x2);

// The statistic, the critical value of the column of 2 * alpha (made -|value| for "x1 < x2")
// and the decision: a negative critical value rejects when t <= critical, any other when
// t >= critical.
OneSampleTResult oneSampleT(double x1, double s1, int n1, double x2, Alternative alternative,
                            double alpha, TableLookup& tables);

}  // namespace bx
