// SPDX-License-Identifier: MIT
#include "statistics/descriptive.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace bx {

// Both formulas work on differences from the first value, which keeps the sums small for
// data with a large common offset (the classic shifted-data algorithm). Values whose largest
// magnitude lies outside the safe range are first brought into it by a power of two, which is
// exact both ways: the squares then neither overflow (values near the largest doubles) nor
// vanish below the smallest normal double (values near 1e-170), and the result is scaled back.
namespace {

// Sums of the differences from the first value and of their squares, each value multiplied by
// 2^-exponent first.
void shiftedSums(std::span<const double> values, int exponent, double& s, double& q) {
    s = 0.0;
    q = 0.0;
    if (exponent == 0) {
        const double first = values.front();
        for (double v : values) {
            const double d = v - first;
            s += d;
            q += d * d;
        }
        return;
    }
    const double first = std::ldexp(values.front(), -exponent);
    for (double v : values) {
        const double d = std::ldexp(v, -exponent) - first;
        s += d;
        q += d * d;
    }
}

}  // namespace

int safeScaleExponent(std::span<const double> values) {
    double largest = 0.0;
    for (double v : values) {
        // Not-a-number compares false and infinity is passed over: only finite values count.
        const double a = std::fabs(v);
        if (a > largest && a != HUGE_VAL) {
            largest = a;
        }
    }
    if (largest == 0.0 || (largest <= kSafeMagnitude && largest >= 1.0 / kSafeMagnitude)) {
        return 0;
    }
    int exponent = 0;
    std::frexp(largest, &exponent);
    return exponent;
}

double meanOfSafeRange(std::span<const double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const double first = values.front();
    double sum = 0.0;
    for (double v : values) {
        sum += v - first;
    }
    return first + sum / static_cast<double>(values.size());
}

double stdDevOfSafeRange(std::span<const double> values) {
    if (values.size() < 2) {
        return 0.0;
    }
    const auto n = static_cast<double>(values.size());
    double s = 0.0;
    double q = 0.0;
    shiftedSums(values, 0, s, q);
    const double variance = (q - s * s / n) / (n - 1.0);
    // Rounding can leave a tiny negative variance for equal values.
    return variance > 0.0 ? std::sqrt(variance) : 0.0;
}

double meanOf(std::span<const double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const int exponent = safeScaleExponent(values);
    if (exponent == 0) {
        return meanOfSafeRange(values);
    }
    double s = 0.0;
    double q = 0.0;
    shiftedSums(values, exponent, s, q);
    const auto n = static_cast<double>(values.size());
    return timesPowerOfTwo(timesPowerOfTwo(values.front(), -exponent) + s / n, exponent);
}

double stdDevOf(std::span<const double> values) {
    const auto n = static_cast<double>(values.size());
    if (values.size() < 2) {
        return 0.0;
    }
    const int exponent = safeScaleExponent(values);
    if (exponent == 0) {
        return stdDevOfSafeRange(values);
    }
    double s = 0.0;
    double q = 0.0;
    shiftedSums(values, exponent, s, q);
    const double variance = (q - s * s / n) / (n - 1.0);
    // Rounding can leave a tiny negative variance for equal values.
    return variance > 0.0 ? timesPowerOfTwo(std::sqrt(variance), exponent) : 0.0;
}

void sortAscending(std::span<double> values) {
    // Insertion sort: at most 20 values, most of them nearly in order already (residuals of a
    // sample listed as measured), where it does a fraction of the comparisons of a full sort.
    const std::size_t n = values.size();
    for (std::size_t i = 1; i < n; ++i) {
        const double v = values[i];
        std::size_t j = i;
        for (; j > 0 && v < values[j - 1]; --j) {
            values[j] = values[j - 1];
        }
        values[j] = v;
    }
}

int poolSorted(std::span<const double> x1, std::span<const double> x2, PooledArray& pooled) {
    const std::size_t total = x1.size() + x2.size();
    std::size_t p = 0;
    for (double v : x1) {
        pooled.at(p++) = v;
    }
    for (double v : x2) {
        pooled.at(p++) = v;
    }
    sortAscending(std::span<double>(pooled.data(), total));
    return static_cast<int>(total);
}

double scoreOfValue(double v, const PooledArray& pooled, int n, const PooledArray& scores) {
    double found = 0.0;
    for (int j = 0; j < n; ++j) {
        if (pooled[static_cast<std::size_t>(j)] == v) {
            found = scores[static_cast<std::size_t>(j)];
        }
    }
    return found;
}

int roundHalfEven(double x) {
    // Never converts a NaN, an infinity or a value beyond the int range.
    if (!std::isfinite(x) || std::fabs(x) > 1e9) {
        return 0;
    }
    const double below = std::floor(x);
    const double fraction = x - below;
    double rounded = below;
    if (fraction > 0.5) {
        rounded = below + 1.0;
    } else if (fraction == 0.5) {
        rounded = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
    }
    return static_cast<int>(rounded);
}

}  // namespace bx
