// SPDX-License-Identifier: MIT
#pragma once
// Mean and sample standard deviation, and the ordering the rank-based procedures share.

#include <array>
#include <cmath>
#include <span>

#include "base/analysis_types.h"

namespace bx {

// The largest magnitude the statistics work on unscaled (2^400, about 2.6e120), and its
// reciprocal the smallest: well inside the range of doubles for sums of squares of up to
// kMaxPooled values.
inline constexpr double kSafeMagnitude = 0x1p400;

// x times 2^exponent, exactly; x itself for the exponent 0 of data in the safe range, which
// then costs nothing.
inline double timesPowerOfTwo(double x, int exponent) {
    return exponent == 0 ? x : std::ldexp(x, exponent);
}

// The power of two that brings the values into the safe range: 0 when their largest finite
// magnitude lies between 1 / kSafeMagnitude and kSafeMagnitude (or is 0), otherwise the
// exponent e with 2^(e-1) <= largest < 2^e, so that every value times 2^-e is below 1 in
// magnitude. Scaling by a power of two is exact.
int safeScaleExponent(std::span<const double> values);

// Mean, computed as the first value plus the mean difference from it; 0 for no values.
double meanOf(std::span<const double> values);

// Sample standard deviation (divisor n - 1) on the values shifted by the first value; 0 for
// fewer than two values. Never NaN for finite values: a variance that rounding makes slightly
// negative counts as 0. Both work at any magnitude (see safeScaleExponent).
double stdDevOf(std::span<const double> values);

// The same for values already in the safe range, such as the worked values analyze() scales
// into it and what the tests derive from them (residuals, rankits): the look for the scale,
// which would cost a batch more than the sums, is left out.
double meanOfSafeRange(std::span<const double> values);
double stdDevOfSafeRange(std::span<const double> values);

// Both samples together, ascending.
using PooledArray = std::array<double, kMaxPooled>;

// Sorts ascending; equal values keep their order.
void sortAscending(std::span<double> values);

// x1 then x2 copied into `pooled` and sorted ascending; returns the pooled count. Both
// samples must fit together (at most kMaxPooled values).
int poolSorted(std::span<const double> x1, std::span<const double> x2, PooledArray& pooled);

// Each of the first n sorted positions gets the mean of score(j) over the positions j
// (counted from 1) that hold the same value: with score(j) = j these are the mid-ranks of
// tied values.
template <typename Score>
void averageOverTies(const PooledArray& pooled, int n, PooledArray& scores, Score score) {
    const auto total = static_cast<std::size_t>(n);
    for (std::size_t i = 0; i < total; ++i) {
        double sum = 0.0;
        int count = 0;
        for (std::size_t j = 0; j < total; ++j) {
            if (pooled[j] == pooled[i]) {
                sum += score(static_cast<int>(j + 1));
                ++count;
            }
        }
        scores[i] = sum / count;
    }
}

// The score of the sorted position holding `v` (tied positions share it), 0 when none does.
double scoreOfValue(double v, const PooledArray& pooled, int n, const PooledArray& scores);

// Rounds to the nearest whole number, a fraction of exactly one half going to the even
// neighbour (4.5 -> 4, 5.5 -> 6). A value that is not finite or lies beyond +/-1e9 gives 0.
int roundHalfEven(double x);

}  // namespace bx
