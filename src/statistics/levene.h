// SPDX-License-Identifier: MIT
#pragma once
// Levene's test for equal variances: Student's pooled t on the two samples' absolute
// deviations from their own means, against the t table at a level set by the larger count
// and the design.

#include <array>
#include <optional>
#include <span>

#include "base/analysis_types.h"

namespace bx {

class TableLookup;

// The level of the test by the larger count: 0.25 means the test is not made; 0 (a count
// outside 2..20) selects no column of the t table.
double leveneAlpha(int largerCount, bool balanced);

struct LeveneResult {
    int n1 = 0;
    int n2 = 0;
    std::array<double, kMaxReplicates> absResiduals1{};  // positions 1..n1, zeros after
    std::array<double, kMaxReplicates> absResiduals2{};
    double mean1 = 0.0;
    double sd1 = 0.0;
    double mean2 = 0.0;
    double sd2 = 0.0;
    double absT = 0.0;
    int df = 0;  // n1 + n2 - 2
    double alpha = 0.0;
    bool testable = false;  // alpha is not 0.25
    // From the table (its own level, not doubled); empty when the test cannot be made (the
    // panels show kCannotTest).
    std::optional<double> critical;
    bool homoscedastic = false;  // |t| below the critical value
};

// At most kMaxReplicates values per sample, in the safe range of statistics/descriptive.h
// (analyze() scales the worked values into it).
LeveneResult levene(std::span<const double> x1, std::span<const double> x2, double mean1,
                    double mean2, bool balanced, Alternative alternative, TableLookup& tables);

}  // namespace bx
