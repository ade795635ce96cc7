// SPDX-License-Identifier: MIT
#pragma once
// The Shapiro-Wilk test on the pooled residuals of both samples (each value minus its own
// sample's mean), with the tabulated coefficients and critical values.

#include <optional>
#include <span>

#include "statistics/descriptive.h"

namespace bx {

class TableLookup;

// The level of the test by the pooled count N and the design: 0.25 means the test is not
// made.
double shapiroWilkAlpha(int pooledCount, bool balanced);

inline constexpr double kUntestableAlpha = 0.25;

struct ShapiroWilkResult {
    int pooledCount = 0;      // N
    PooledArray residuals{};  // ascending in positions 1..N, zeros after
    double residualMean = 0.0;
    double residualSd = 0.0;
    double ss = 0.0;  // sum of squared deviations of the residuals from their mean
    int k = 0;        // N / 2 rounded down
    double b = 0.0;
    double w = 0.0;
    double alpha = 0.0;
    bool testable = false;  // alpha is not 0.25
    // From the table; empty when the test cannot be made (the panels show kCannotTest).
    std::optional<double> critical;
    bool normal = false;  // W above the critical W
};

// Residuals, W = b^2 / SS (b^2 when SS is 0), the level and the critical W. The coefficients
// a(1..k) are read in order i = 1..k for N. At most kMaxPooled values in all, in the safe range
// of statistics/descriptive.h (analyze() scales the worked values into it).
ShapiroWilkResult shapiroWilk(std::span<const double> x1, std::span<const double> x2, double mean1,
                              double mean2, bool balanced, TableLookup& tables);

}  // namespace bx
