// SPDX-License-Identifier: MIT
#pragma once
// The whole analysis of one comparison: descriptive statistics, then either the one-sample
// t-test (a reference without spread) or the normality and equal-variance checks choosing
// Student's t, the approximate t, Mann-Whitney or the rankit transformation followed by a
// t-test; the power when asked for. Pure: no window, no files, no text parsing; several
// analyses may run at once on one set of tables.

#include "statistics/comparison.h"

namespace bx {

class StatTables;

// Refuses (TablesDamaged) when the tables are missing or not as installed
// (StatTables::installationProblem), TooManyValues for more than ten values in a sample.
Comparison analyze(const Samples& samples, const AnalysisOptions& options, const StatTables& tables,
                   OverrideAnswer overrideAnswer);

// The larger count is less than twice the smaller one.
bool isBalanced(int n1, int n2);

// The one-sample case: the reference values are all equal, and there are three or more of
// them (one or more with oneSampleForFewReferences).
bool referenceWithoutSpread(std::span<const double> reference, bool oneSampleForFewReferences);

}  // namespace bx
