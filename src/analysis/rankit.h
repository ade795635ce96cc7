#pragma once
// The rankit transformation: both samples pooled and ranked, each value replaced by the
// expected normal order statistic of its rank in a sample of the pooled size, tied values
// sharing the mean rankit of the ranks they occupy.

#include <array>
#include <span>

#include "analysis/analysis_state.h"

namespace bx {

class Lookup;

struct RankitResult {
    bool tooManyValues = false;  // a sample of more than 10 values: nothing computed
    int pooledCount = 0;
    PooledArray pooled{};                           // the pooled values ascending
    PooledArray rankits{};                          // rankit of the i-th smallest pooled value
    std::array<double, kMaxReplicates> rankits1{};  // the test values' rankits, in entry order
    std::array<double, kMaxReplicates> rankits2{};  // the reference values' rankits
};

// The table is read once for every pair of equal pooled values (positions i and j), i.e. N
// times for N distinct values and k*k times for a value repeated k times.
RankitResult rankitTransform(std::span<const double> x1, std::span<const double> x2,
                             Lookup& lookup);

}  // namespace bx
