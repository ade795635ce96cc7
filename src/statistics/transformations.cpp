// SPDX-License-Identifier: MIT
#include "statistics/transformations.h"

#include <cmath>

namespace bx {

namespace {
// The degrees conversion keeps the ten-decimal pi of the published procedure, so that
// transformed values match those of earlier runs to the digit.
constexpr double kTenDecimalPi = 3.1415926535;
}  // namespace

double log10Plus1(double x) {
    if (x == 0.0) {
        return 0.0;
    }
    return std::log(x + 1.0) / std::log(10.0);
}

double sqrtPlus375(double x) {
    return std::sqrt(x + 0.375);
}

double arcsineSqrt(double p) {
    if (p <= 0.0) {
        return 0.0;
    }
    if (p >= 1.0) {
        return 2.0 * std::atan(1.0);  // pi / 2: arcsin(1)
    }
    return std::atan(std::sqrt(p) / std::sqrt(1.0 - p));
}

double arcsinePercent(double x) {
    double clamped = x;
    if (clamped < 0.0) {
        clamped = 0.0;
    } else if (clamped > 100.0) {
        clamped = 100.0;
    }
    return arcsineSqrt(clamped / 100.0) * 180.0 / kTenDecimalPi;
}

double transformed(Transformation method, double x) {
    switch (method) {
        case Transformation::ArcSine:
            return arcsinePercent(x);
        case Transformation::Log10:
            return log10Plus1(x);
        case Transformation::SquareRoot:
            return sqrtPlus375(x);
        case Transformation::None:
            break;
    }
    return x;
}

bool inTransformDomain(Transformation method, double x) {
    if (!std::isfinite(x)) {
        return false;
    }
    if (method == Transformation::Log10) {
        return x > -1.0;
    }
    if (method == Transformation::SquareRoot) {
        return x >= -0.375;
    }
    return true;
}

}  // namespace bx
