#pragma once
// The data transformations of the "Transformation Method" list.

namespace bx {

// log10(x + 1); 0 for x = 0.
double Log10Plus1(double x);
// sqrt(x + 0.375) for every x >= -0.375 (0 gives 0.61237...).
double SqrtPlus375(double x);
// Percentage to degrees: clamped to 0..100, then arcsin(sqrt(p)) with the ten-decimal pi
// 3.1415926535 of the published procedure.
double ArcSinPercent(double x);
// arcsin(sqrt(p)) in radians for 0 <= p <= 1.
double ArcSinSqrt(double p);

// True when x may be transformed by the method named by `methodText` (Log10: x > -1;
// Sqr Root: x >= -0.375; ArcSin and No Transformation: any finite x).
bool inTransformDomain(const char* methodText, double x);

}  // namespace bx
