// SPDX-License-Identifier: MIT
#pragma once
// The plain types of one comparison's choices, with the captions the window's option lists
// show for them. The lists' texts are turned into these types once, where the entries are
// checked; nothing below compares a caption to decide anything.

#include <array>
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

// Each choice once, with every name it goes by: the window's caption(s), and the word of the
// command line, the plan file, the JSON results and the CSV results. Every list of choices is
// made from these tables.
struct AlternativeInfo {
    Alternative kind;
    std::string_view caption;      // "x1 < x2"
    std::string_view nullCaption;  // "x1 >= x2"
    std::string_view code;         // "less"
};
inline constexpr std::array<AlternativeInfo, 2> kAlternatives{{
    {Alternative::Less, "x1 < x2", "x1 >= x2", "less"},
    {Alternative::Greater, "x1 > x2", "x1 <= x2", "greater"},
}};

struct TransformationInfo {
    Transformation kind;
    std::string_view caption;  // "Sqr Root (x + .375)"
    std::string_view code;     // "sqrt"
    std::string_view scale;    // what the values must be for it to make sense
};
inline constexpr std::array<TransformationInfo, 4> kTransformations{{
    {Transformation::None, "No Transformation", "none", "any numbers"},
    {Transformation::ArcSine, "ArcSin", "arcsine", "percentages (0 to 100)"},
    {Transformation::SquareRoot, "Sqr Root (x + .375)", "sqrt", "counts (x >= -0.375)"},
    {Transformation::Log10, "Log10 (x + 1.0)", "log10", "values above -1"},
}};

// "less", "greater"; "none", "arcsine", "sqrt", "log10".
std::string_view alternativeCode(Alternative alternative);
std::string_view transformationCode(Transformation transformation);
// The choice a code or a caption names (exactly), if any.
std::optional<Alternative> alternativeNamed(std::string_view codeOrCaption);
std::optional<Transformation> transformationNamed(std::string_view codeOrCaption);

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
