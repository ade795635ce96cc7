#pragma once
// The ascending exchange sort the tests use on residuals and pooled values.

#include <span>

namespace bx {

// Each position in turn takes the smallest of the values from there on, compared strictly, so
// equal values keep their order. Quadratic, which is nothing at 20 values.
void exchangeSort(std::span<double> values);

}  // namespace bx
