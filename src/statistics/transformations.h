// SPDX-License-Identifier: MIT
#pragma once
// The data transformations a comparison may run on.

#include "base/analysis_types.h"

namespace bx {

// log10(x + 1); 0 for x = 0.
double log10Plus1(double x);
// sqrt(x + 0.375) for every x >= -0.375 (0 gives 0.61237...).
double sqrtPlus375(double x);
// A percentage as an angle in degrees: clamped to 0..100, then arcsin(sqrt(p / 100)) with the
// ten-decimal pi 3.1415926535 of the published procedure.
double arcsinePercent(double x);
// arcsin(sqrt(p)) in radians for 0 <= p <= 1.
double arcsineSqrt(double p);

// The value transformed by `method`.
double transformed(Transformation method, double x);

// True when x may be transformed by `method` (Log10: x > -1; square root: x >= -0.375;
// arcsine and none: any finite x).
bool inTransformDomain(Transformation method, double x);

}  // namespace bx
