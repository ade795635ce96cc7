#include "analysis/descriptive.h"

#include <cmath>
#include <string>

#include "app/text_format.h"

namespace bx {
namespace {

bool isValue(const Slot& s) {
    if (std::holds_alternative<std::monostate>(s)) {
        return false;
    }
    if (const auto* text = std::get_if<std::string>(&s)) {
        return !trimBlanks(*text).empty() && *text != kEndMarker;
    }
    return true;
}

}  // namespace

double CountValues(const ValueArray& values) {
    int n = 0;
    for (int i = 1; i <= kMaxReplicates && isValue(values[i]); ++i) {
        ++n;
    }
    return n;
}

int valuesOf(const ValueArray& values, std::span<double, kMaxReplicates> out) {
    const int n = static_cast<int>(CountValues(values));
    for (int i = 1; i <= n; ++i) {
        out[static_cast<std::size_t>(i - 1)] = slotValue(values[i]);
    }
    return n;
}

// Both formulas work on differences from the first value, which keeps the sums small for
// data with a large common offset (the classic shifted-data algorithm).
double meanOf(std::span<const double> values) {
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

double stdDevOf(std::span<const double> values) {
    const auto n = static_cast<double>(values.size());
    if (values.size() < 2) {
        return 0.0;
    }
    const double first = values.front();
    double s = 0.0;
    double q = 0.0;
    for (double v : values) {
        const double d = v - first;
        s += d;
        q += d * d;
    }
    const double variance = (q - s * s / n) / (n - 1.0);
    // Rounding can leave a tiny negative variance for equal values.
    return variance > 0.0 ? std::sqrt(variance) : 0.0;
}

double MeanOfValues(const ValueArray& values) {
    std::array<double, kMaxReplicates> buffer{};
    const int n = valuesOf(values, buffer);
    return meanOf(std::span<const double>(buffer.data(), static_cast<std::size_t>(n)));
}

double StdDevOfValues(const ValueArray& values) {
    std::array<double, kMaxReplicates> buffer{};
    const int n = valuesOf(values, buffer);
    return stdDevOf(std::span<const double>(buffer.data(), static_cast<std::size_t>(n)));
}

}  // namespace bx
