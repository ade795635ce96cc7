// SPDX-License-Identifier: MIT
#pragma once
// One-sided p-values of the program's test statistics: the tails of Student's t (for the
// pooled, approximate and one-sample t-tests and the t-test on rankits) and the tails of the
// exact null distribution of the Mann-Whitney U.
//
// Every function here is pure and may be called from several analyses at once.

#include <vector>

namespace bx {

// P(T >= t) for Student's t with `df` degrees of freedom. `df` need not be a whole number (the
// approximate t has fractional degrees of freedom); df = +infinity is the standard normal.
// t = +infinity gives 0 and t = -infinity gives 1. A NaN t, a NaN df or df <= 0 gives NaN.
// Never throws.
double studentTUpperTail(double t, double df) noexcept;

// P(T <= t) for Student's t with `df` degrees of freedom; the same domain as
// studentTUpperTail. t = +infinity gives 1 and t = -infinity gives 0.
double studentTLowerTail(double t, double df) noexcept;

// The exact null distribution of U is computed up to this many pairs n1 * n2 (the work grows
// as (n1 * n2)^2 / 4). The program's samples hold at most 10 values each; 100 against 100 is
// the largest square that still qualifies.
inline constexpr long long kMannWhitneyExactMaxPairs = 10000;

// The null distribution of the Mann-Whitney U for samples of n1 and n2 values with no ties:
// element k is P(U = k), k = 0 .. n1 * n2, all C(n1 + n2, n1) arrangements of the pooled ranks
// being equally likely. U counts the pairs (first-sample value, second-sample value) in which
// the first is the larger; the distribution is symmetric about n1 * n2 / 2 and the same for
// (n1, n2) and (n2, n1). Empty when n1 or n2 is below 1 or n1 * n2 exceeds
// kMannWhitneyExactMaxPairs.
std::vector<double> mannWhitneyNullDistribution(int n1, int n2);

// P(U >= u) under the null distribution above. A U from averaged tied ranks may be a
// half-integer; U itself only takes whole values, so this is P(U >= ceil(u)). u <= 0 gives 1
// and u > n1 * n2 gives 0. NaN when u is NaN, when n1 or n2 is below 1 or when n1 * n2
// exceeds kMannWhitneyExactMaxPairs.
double mannWhitneyUpperTail(double u, int n1, int n2);

// P(U <= u) = P(U <= floor(u)) under the same null distribution. u < 0 gives 0 and
// u >= n1 * n2 gives 1; NaN in the same cases as mannWhitneyUpperTail.
double mannWhitneyLowerTail(double u, int n1, int n2);

}  // namespace bx
