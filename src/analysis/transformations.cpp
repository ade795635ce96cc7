#include "analysis/transformations.h"

#include <cmath>
#include <cstring>

namespace bx {

namespace {
// The degrees conversion keeps the ten-decimal pi of the published procedure, so that
// transformed values match those of earlier runs to the digit.
constexpr double kTenDecimalPi = 3.1415926535;
}  // namespace

double Log10Plus1(double x) {
    if (x == 0.0) {
        return 0.0;
    }
    return std::log(x + 1.0) / std::log(10.0);
}

double SqrtPlus375(double x) {
    return std::sqrt(x + 0.375);
}

double ArcSinSqrt(double p) {
    if (p <= 0.0) {
        return 0.0;
    }
    if (p >= 1.0) {
        return 2.0 * std::atan(1.0);  // pi / 2: arcsin(1)
    }
    return std::atan(std::sqrt(p) / std::sqrt(1.0 - p));
}

double ArcSinPercent(double x) {
    double clamped = x;
    if (clamped < 0.0) {
        clamped = 0.0;
    } else if (clamped > 100.0) {
        clamped = 100.0;
    }
    return ArcSinSqrt(clamped / 100.0) * 180.0 / kTenDecimalPi;
}

bool inTransformDomain(const char* methodText, double x) {
    if (!std::isfinite(x)) {
        return false;
    }
    if (std::strcmp(methodText, "Log10 (x + 1.0)") == 0) {
        return x > -1.0;
    }
    if (std::strcmp(methodText, "Sqr Root (x + .375)") == 0) {
        return x >= -0.375;
    }
    return true;
}

}  // namespace bx
