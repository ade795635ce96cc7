// SPDX-License-Identifier: MIT
#pragma once
// The rankit transformation: both samples pooled and ranked, each value replaced by the
// expected normal order statistic of its rank in a sample of the pooled size, tied values
// sharing the mean rankit of the ranks they occupy.

#include <array>
#include <span>

#include "statistics/descriptive.h"

namespace bx {

class TableLookup;

struct RankitResult {
    int pooledCount = 0;
    PooledArray pooled{};                           // the pooled values ascending
    PooledArray rankits{};                          // rankit of the i-th smallest pooled value
    std::array<double, kMaxReplicates> rankits1{};  // the test values' rankits, in entry order
    std::array<double, kMaxReplicates> rankits2{};  // the reference values' rankits
    double mean1 = 0.0;                             // mean and SD of each sample's rankits
    double sd1 = 0.0;
    double mean2 = 0.0;
    double sd2 = 0.0;
};

// The row of the pooled size is read once; only when it cannot be read are the values read
// one by one for every pair of equal pooled values (positions i and j), i.e. N times for N
// distinct values and k*k times for a value repeated k times, each miss with its warning.
RankitResult rankits(std::span<const double> x1, std::span<const double> x2, TableLookup& tables);

}  // namespace bx
