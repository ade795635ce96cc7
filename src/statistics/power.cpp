// SPDX-License-Identifier: MIT
#include "statistics/power.h"

#include <cmath>
#include <limits>

#include "statistics/approximate_t.h"
#include "statistics/table_lookup.h"

namespace bx {
namespace {

constexpr double kZ95 = 1.645;
constexpr double kZ90 = 1.282;
constexpr double kZOther = 9999.0;
constexpr double kDfCoefficient = 1.21;
constexpr double kDfOffset = 1.06;
constexpr double kUpperCut = 3.25;
constexpr double kLowerCut = -3.25;

// z_beta from the three ingredients. Without spread (S = 0, e.g. a test sample whose values
// are all equal) any non-zero difference is detected with certainty or not at all: z_beta is
// +infinity or -infinity by the sign of D, so the power is 100 or 0 without a table read.
// D = 0 without spread keeps the limit of the formula for S > 0, -z_alpha.
double zBetaOf(double d, double spread, double df, double sizeFactor, double zAlpha) {
    const double correction = df + kDfCoefficient * (zAlpha - kDfOffset);
    const double denominator = spread * sizeFactor * correction;
    if (spread == 0.0 || denominator == 0.0) {
        if (d > 0.0) {
            return std::numeric_limits<double>::infinity();
        }
        if (d < 0.0) {
            return -std::numeric_limits<double>::infinity();
        }
        return -zAlpha;
    }
    return d * df / denominator - zAlpha;
}

PowerResult finish(PowerResult r, double alpha, double d, TableLookup& tables) {
    r.zAlpha = zAlphaOf(alpha);
    r.zBeta = zBetaOf(d, r.spread, r.df, r.sizeFactor, r.zAlpha);
    r.percent = powerFromZ(r.zBeta, tables, r.tableRead);
    return r;
}

}  // namespace

double zAlphaOf(double alpha) {
    const double level = 1.0 - alpha;
    if (level == 0.95) {
        return kZ95;
    }
    if (level == 0.9) {
        return kZ90;
    }
    return kZOther;
}

double powerFromZ(double zBeta, TableLookup& tables, bool& tableRead) {
    tableRead = false;
    if (zBeta > kUpperCut) {
        return 100.0;
    }
    if (zBeta < kLowerCut) {
        return 0.0;
    }
    tableRead = true;
    return tables.powerPercent(zBeta);
}

PowerResult pooledTPower(double alpha, double s1, double s2, int n1, int n2, double d,
                         TableLookup& tables) {
    PowerResult r;
    const double a1 = n1;
    const double a2 = n2;
    if (n1 > 0 && n2 > 0 && n1 + n2 > 2) {
        r.spread = std::sqrt(((a1 - 1.0) * s1 * s1 + (a2 - 1.0) * s2 * s2) / (a1 + a2 - 2.0));
    }
    r.df = a1 + a2 - 2.0;
    r.sizeFactor = std::sqrt(1.0 / a1 + 1.0 / a2);
    return finish(r, alpha, d, tables);
}

PowerResult welchTPower(double alpha, double s1, double s2, int n1, int n2, double d,
                        TableLookup& tables) {
    PowerResult r;
    const double a1 = n1;
    const double a2 = n2;
    r.spread = 1.0;
    if (n1 > 0 && n2 > 0 && n1 + n2 > 2) {
        r.spread = std::sqrt((s1 * s1 + s2 * s2) / 2.0);
    }
    r.df = welchDf(s1, n1, s2, n2);
    r.sizeFactor = std::sqrt(1.0 / a1 + 1.0 / a2);
    return finish(r, alpha, d, tables);
}

PowerResult oneSampleTPower(double alpha, double s1, int n1, double d, TableLookup& tables) {
    PowerResult r;
    const double a1 = n1;
    r.spread = s1;
    r.df = a1 - 1.0;
    r.sizeFactor = std::sqrt(1.0 / a1);
    return finish(r, alpha, d, tables);
}

}  // namespace bx
