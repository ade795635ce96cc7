// SPDX-License-Identifier: MIT
#pragma once
// Power of the one-sided t-tests for a minimum difference D, by the normal approximation of
// the noncentral t: z_beta = D*df / (S*F*(df + 1.21*(z_alpha - 1.06))) - z_alpha, and the
// power in percent is the normal distribution at z_beta (read from the power table within
// +/-3.25).

namespace bx {

class TableLookup;

struct PowerResult {
    double spread = 0.0;      // S
    double df = 0.0;          // degrees of freedom (Satterthwaite's unrounded for Welch's t)
    double sizeFactor = 0.0;  // F
    double zAlpha = 0.0;
    double zBeta = 0.0;
    double percent = 0.0;    // 0 to 100
    bool tableRead = false;  // the power came from the table (z_beta within +/-3.25)
};

// The one-sided normal quantile for alpha: 1.645 at 0.05, 1.282 at 0.1, 9999 for any other
// level (which drives the power to 0).
double zAlphaOf(double alpha);

// z_beta to percent: above 3.25 gives 100, below -3.25 gives 0, anything else is read from
// the power table (with its warning and 0 when the row is missing).
double powerFromZ(double zBeta, TableLookup& tables, bool& tableRead);

// Student's t: S pooled SD, df n1 + n2 - 2, F sqrt(1/n1 + 1/n2).
PowerResult pooledTPower(double alpha, double s1, double s2, int n1, int n2, double d,
                         TableLookup& tables);

// Welch's t: S sqrt((s1^2 + s2^2)/2) (1 when a count is 0 or n1 + n2 <= 2), df
// Satterthwaite's unrounded value (n1 + n2 - 2 when both spreads are 0), F as for Student's t.
PowerResult welchTPower(double alpha, double s1, double s2, int n1, int n2, double d,
                        TableLookup& tables);

// One-sample t: S = s1, df n1 - 1, F sqrt(1/n1).
PowerResult oneSampleTPower(double alpha, double s1, int n1, double d, TableLookup& tables);

}  // namespace bx
