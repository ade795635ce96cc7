#pragma once
// The experimental hypothesis and the small conversions every test shares: the direction read
// from the null-hypothesis list, the alpha level read from its list, and counts held as doubles
// turned into whole numbers without ever converting a NaN or an infinity.

#include <string_view>

namespace bx {

// The null-hypothesis list's text, compared exactly. Validation admits only the first two;
// the tests still distinguish a third, because the two-sample t-tests and Mann-Whitney treat an
// unknown text differently (each falls back to a different branch).
enum class NullHypothesis {
    X1AtLeastX2,  // "x1 >= x2": the alternative is x1 < x2
    X1AtMostX2,   // "x1 <= x2": the alternative is x1 > x2
    Other,
};

inline constexpr const char* kNullAtLeast = "x1 >= x2";
inline constexpr const char* kNullAtMost = "x1 <= x2";

NullHypothesis nullHypothesisOf(std::string_view nullText);

// The alpha level of the list's text as a number (leading-number parse: 0.05, 0.1).
double alphaLevelOf(std::string_view alphaText);

// A count held as a double (SampN) as a whole number; a value that is not finite, negative or
// above `limit` gives -1, which callers treat as "not a valid count".
int wholeCount(double n, int limit);

// Rounds to the nearest whole number, a fraction of exactly one half going to the even
// neighbour (4.5 -> 4, 5.5 -> 6). A value that is not finite or lies beyond +/-1e9 gives 0.
int roundHalfEven(double x);

}  // namespace bx
