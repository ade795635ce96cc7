#pragma once
// Counting, mean and standard deviation of a sample's values (the shared numeric functions).

#include <span>

#include "entry/value_array.h"

namespace bx {

// The number of leading slots that are neither blank nor the end marker "~".
double CountValues(const ValueArray& values);

// Mean, computed as first value plus the mean difference from it; 0 for no values.
double MeanOfValues(const ValueArray& values);

// Sample standard deviation (divisor n - 1) on values shifted by the first value; 0 for fewer
// than two values. Never NaN: a variance that rounding makes slightly negative counts as 0.
double StdDevOfValues(const ValueArray& values);

// The same two formulas on plain numbers (residual lists and pooled values).
double meanOf(std::span<const double> values);
double stdDevOf(std::span<const double> values);

// The first CountValues(values) slots as numbers.
int valuesOf(const ValueArray& values, std::span<double, kMaxReplicates> out);

}  // namespace bx
