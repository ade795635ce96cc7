#include "analysis/exchange_sort.h"

#include <utility>

namespace bx {

void exchangeSort(std::span<double> values) {
    const std::size_t n = values.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        double held = values[i];
        for (std::size_t j = i + 1; j < n; ++j) {
            if (values[j] < held) {
                std::swap(held, values[j]);
            }
        }
        values[i] = held;
    }
}

}  // namespace bx
