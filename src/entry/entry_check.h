// SPDX-License-Identifier: MIT
#pragma once
// Checking the entries of one comparison before anything is computed: the counts, the three
// option lists, and every replicate's text. The option texts become types here, once.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "entry/value_array.h"
#include "statistics/comparison.h"

namespace bx {

struct EntryTexts {
    const ValueArray& test;           // SampRaw: the test sample's Data column as texts
    const ValueArray& reference;      // RefRaw
    std::string_view alternative;     // cbHypoAlt
    std::string_view nullHypothesis;  // cbHypoNull
    std::string_view alpha;           // cbAlphaLevel
    std::string_view transformation;  // cbTransMethod; empty means "No Transformation"
    bool oneSampleOption = false;     // OneSampleOn
    // A text that is not wholly a number refuses the entries instead of being read by its
    // leading number with a warning.
    bool strictNumbers = false;
};

// Why entries were refused.
enum class EntryRefusal {
    TooFewTestValues,
    TooFewReferenceValues,
    NoTransformation,
    InvalidAlpha,
    InvalidHypothesis,
    NotFinite,
    OutsideDomain,
    NotANumber,
};

// "too_few_test_values", "too_few_reference_values", "no_transformation", "invalid_alpha",
// "invalid_hypothesis", "not_finite", "outside_domain", "not_a_number".
const char* entryRefusalName(EntryRefusal refusal);

struct EntryCheck {
    // The status line that refuses the entries; empty when they are fine.
    std::optional<std::string> refusal;
    EntryRefusal refusalCode = EntryRefusal::TooFewTestValues;  // why, when refused
    // When refused: the replicate the refusal is about, sample 1 (test) or 2 (reference) and its
    // row; 0 when the refusal is not about one replicate.
    int refusedSample = 0;
    int refusedRow = 0;
    // The refusal is for too few reference values: a message box explains it too.
    bool referenceIncomplete = false;
    // The transformation list was empty and counts as "No Transformation".
    bool transformationDefaulted = false;
    // One line for each replicate whose text is not wholly a number.
    std::vector<std::string> warnings;

    // The replicates as numbers, and the choices as types (when not refused).
    std::array<double, kMaxReplicates> test{};
    std::array<double, kMaxReplicates> reference{};
    int testCount = 0;
    int referenceCount = 0;
    AnalysisOptions options;

    Samples samples() const {
        return {{test.data(), static_cast<std::size_t>(testCount)},
                {reference.data(), static_cast<std::size_t>(referenceCount)}};
    }
};

inline constexpr const char* kReferenceIncompleteText =
    "At least three reference values must be entered.  For a one-sample t-test, enter the same "
    "value three times.";

// The checks in order: at least three test values; at least three reference values (one with
// the one-sample option); a transformation, an alpha level and a hypothesis pair from the
// lists; every value finite and inside the transformation's domain. The first that fails
// refuses with its line. Power options are left for the caller to fill in.
EntryCheck checkEntries(const EntryTexts& entries);

}  // namespace bx
