// SPDX-License-Identifier: MIT
#pragma once
// The Mann-Whitney rank-sum test, one-sided in the direction of the experimental hypothesis,
// against the tabulated critical U.

#include <array>
#include <span>
#include <string>

#include "statistics/descriptive.h"

namespace bx {

class TableLookup;

// The key of the critical-U table: the larger count, a comma, the smaller ("5,4", "5,5").
std::string mannWhitneyKey(int n1, int n2);

struct MannWhitneyResult {
    int pooledCount = 0;
    PooledArray pooled{};                         // the pooled values ascending
    PooledArray pooledRanks{};                    // rank of each sorted position, ties averaged
    std::array<double, kMaxReplicates> ranks1{};  // rank of each test value, in entry order
    std::array<double, kMaxReplicates> ranks2{};  // rank of each reference value
    double u = 0.0;
    std::string key;
    double critical = 0.0;
    bool acceptNull = false;  // U below the critical value
    // The table row was found but its critical value exceeds n1 * n2, the largest U there is:
    // at this level these sample sizes can never reject.
    bool cannotReject = false;
};

// U counts the (test, reference) pairs that speak for the alternative, ties one half: for
// "x1 < x2" the pairs with the test value below, for "x1 > x2" those with it above. The
// critical value is read at alpha itself (the table holds one-sided levels). At most
// kMaxReplicates values per sample.
MannWhitneyResult mannWhitneyU(std::span<const double> x1, std::span<const double> x2,
                               Alternative alternative, double alpha, TableLookup& tables);

}  // namespace bx
