// SPDX-License-Identifier: MIT
#pragma once
// What an analysis says while it runs, in order: the steps it takes, its warnings, the one
// notice it gives before the rankit transformation, and why it refused. Each note has a code
// to decide on and the exact line the status list shows for it.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace bx {

enum class NoteCode {
    // Steps
    OneSampleTStep,
    ShapiroWilkStep,
    LeveneStep,
    MannWhitneyStep,
    RankitStep,
    StudentTStep,
    ApproximateTStep,
    PowerStep,
    // The notice, in a message box, that the rankit transformation follows
    RankitNotice,
    // Warnings
    TableUnreadable,      // a statistical table file could not be read
    CoefficientNotFound,  // no Shapiro-Wilk coefficient for the sample size
    CriticalWNotFound,    // no critical W
    CriticalTNotFound,    // no critical t
    CriticalUNotFound,    // no critical U
    RankitNotFound,       // no rankit for the pooled size
    PowerNotFound,        // no power percentage for z
    NormalityUntestable,  // the design leaves Shapiro-Wilk at the level 0.25
    HomoscedasticityUntestable,
    NoSpread,                 // one-sample t with a test sample without spread
    NoMinimumDifference,      // power requested without a difference
    MannWhitneyCannotReject,  // the critical U exceeds n1 * n2
    ArcSinFractions,  // ArcSin of values that all lie between 0 and 1: proportions, not percent
    // Refusals
    TooManyValues,
    TablesDamaged,  // a statistical table is missing or not as installed: no analysis at all
    NotFinite,      // a statistic of these values came out not finite: no verdict
};

// The status line of a note, leading blanks included: one of the program's fixed lines, held
// by a pointer to it (an analysis gives several a run, and a batch makes millions of runs), or
// a line made for the run (a table key in it), held as a string of its own.
class NoteText {
  public:
    NoteText() = default;
    NoteText(const char* fixed) : fixed_(fixed) {}          // NOLINT(google-explicit-constructor)
    NoteText(std::string made) : made_(std::move(made)) {}  // NOLINT(google-explicit-constructor)

    std::string_view view() const {
        return fixed_ != nullptr ? std::string_view(fixed_) : std::string_view(made_);
    }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)

    friend bool operator==(const NoteText& a, std::string_view b) { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& out, const NoteText& t);

  private:
    const char* fixed_ = nullptr;
    std::string made_;
};

struct Note {
    NoteCode code{};
    NoteText text;
};

// True for the warning codes.
bool isWarning(NoteCode code);

// True for the warnings that a table had no value for what was looked up, so that a stand-in
// took its place (the run's verdict or power cannot be relied on).
bool isLookupFailure(NoteCode code);

// The status line of a step, of the rankit notice and of the fixed warnings.
const char* noteText(NoteCode code);

// The code as a lower-case name for those who read results by program: "table_unreadable",
// "critical_t_not_found", "normality_untestable", "too_many_values", ...
const char* noteCodeName(NoteCode code);

// Title and text of the rankit notice's message box.
inline constexpr const char* kRankitNoticeTitle = "Statistics Status";
inline constexpr const char* kRankitNoticeText =
    "Data is neither normal nor homoscedastic. Rankit transformation will be performed.";

using Notes = std::vector<Note>;

}  // namespace bx
