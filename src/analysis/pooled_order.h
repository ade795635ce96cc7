#pragma once
// The pooled ordering the rank-based procedures share: both samples in one ascending array,
// a score per sorted position averaged over tied values, and each value's score read back.

#include <cstddef>
#include <span>

#include "analysis/analysis_state.h"

namespace bx {

// x1 then x2 copied into `pooled` and sorted ascending; returns the pooled count. Both samples
// must fit together (at most kMaxPooled values); positions beyond the count are left alone.
int poolSorted(std::span<const double> x1, std::span<const double> x2, PooledArray& pooled);

// Each of the first n sorted positions gets the mean of score(j) over the positions j (counted
// from 1) that hold the same value: with score(j) = j these are the mid-ranks of tied values.
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

}  // namespace bx
