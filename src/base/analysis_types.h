#pragma once
// The plain types of one comparison's choices, with the captions the window's option lists
// show for them. The lists' texts are turned into these types once, where the entries are
// checked; nothing below compares a caption to decide anything.

#include <optional>
#include <string_view>

namespace bx {

// At most ten replicates per sample, so at most twenty pooled values.
inline constexpr int kMaxReplicates = 10;
inline constexpr int kMaxPooled = 2 * kMaxReplicates;

// The experimental (alternative) hypothesis; the null hypothesis is its complement.
enum class Alternative {
    Less,     // "x1 < x2" against the null "x1 >= x2"
    Greater,  // "x1 > x2" against the null "x1 <= x2"
};

enum class Transformation { None, ArcSine, SquareRoot, Log10 };

// The test of the experimental hypothesis that a run ended with.
enum class TestKind { StudentT, ApproximateT, MannWhitney, OneSampleT };

// "x1 < x2", "x1 > x2".
std::string_view alternativeCaption(Alternative alternative);
// "x1 >= x2", "x1 <= x2".
std::string_view nullCaption(Alternative alternative);
// The alternative of a pair of list texts, when the pair is one of the two valid ones
// ("x1 < x2" with "x1 >= x2", "x1 > x2" with "x1 <= x2"), compared exactly.
std::optional<Alternative> alternativeOf(std::string_view alternativeText,
                                         std::string_view nullText);

// "No Transformation", "ArcSin", "Sqr Root (x + .375)", "Log10 (x + 1.0)".
std::string_view transformationCaption(Transformation transformation);
std::optional<Transformation> transformationOf(std::string_view caption);

// The alpha level of the list's text: "0.05" or "0.1", compared exactly.
std::optional<double> alphaOf(std::string_view caption);

// The test panel's name of a test: "Student's t", "Approximate t", "Mann-Whitney",
// "1-Sample t-Test".
std::string_view testName(TestKind test);

}  // namespace bx
