#include "analysis/hypothesis.h"

#include <cmath>

#include "app/text_format.h"

namespace bx {

NullHypothesis nullHypothesisOf(std::string_view nullText) {
    if (nullText == kNullAtLeast) {
        return NullHypothesis::X1AtLeastX2;
    }
    if (nullText == kNullAtMost) {
        return NullHypothesis::X1AtMostX2;
    }
    return NullHypothesis::Other;
}

double alphaLevelOf(std::string_view alphaText) {
    return leadingNumber(alphaText);
}

int wholeCount(double n, int limit) {
    if (!std::isfinite(n) || n < 0.0 || n > static_cast<double>(limit)) {
        return -1;
    }
    return static_cast<int>(n);
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
