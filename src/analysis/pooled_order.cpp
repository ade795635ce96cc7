#include "analysis/pooled_order.h"

#include "analysis/exchange_sort.h"

namespace bx {

int poolSorted(std::span<const double> x1, std::span<const double> x2, PooledArray& pooled) {
    const std::size_t total = x1.size() + x2.size();
    std::size_t p = 0;
    for (double v : x1) {
        pooled.at(p++) = v;
    }
    for (double v : x2) {
        pooled.at(p++) = v;
    }
    exchangeSort(std::span<double>(pooled.data(), total));
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

}  // namespace bx
