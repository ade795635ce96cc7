// SPDX-License-Identifier: MIT
#include "statistics/notes.h"

#include <ostream>

namespace bx {

std::ostream& operator<<(std::ostream& out, const NoteText& t) {
    return out << t.view();
}

bool isWarning(NoteCode code) {
    if (isLookupFailure(code)) {
        return true;
    }
    switch (code) {
        case NoteCode::NormalityUntestable:
        case NoteCode::HomoscedasticityUntestable:
        case NoteCode::NoSpread:
        case NoteCode::NoMinimumDifference:
        case NoteCode::MannWhitneyCannotReject:
        case NoteCode::ArcSinFractions:
            return true;
        default:
            return false;
    }
}

bool isLookupFailure(NoteCode code) {
    switch (code) {
        case NoteCode::TableUnreadable:
        case NoteCode::CoefficientNotFound:
        case NoteCode::CriticalWNotFound:
        case NoteCode::CriticalTNotFound:
        case NoteCode::CriticalUNotFound:
        case NoteCode::RankitNotFound:
        case NoteCode::PowerNotFound:
            return true;
        default:
            return false;
    }
}

const char* noteText(NoteCode code) {
    switch (code) {
        case NoteCode::OneSampleTStep:
            return "     Conducting One Sample t-Test";
        case NoteCode::ShapiroWilkStep:
            return "     Conducting Shapiro-Wilk Normality Test...";
        case NoteCode::LeveneStep:
            return "     Conducting Levene's Homoscedasticity Test";
        case NoteCode::MannWhitneyStep:
            return "     Conducting Mann-Whitney";
        case NoteCode::RankitStep:
            return "     Conducting Rankits Transformation";
        case NoteCode::StudentTStep:
            return "     Conducting Student's t-Test";
        case NoteCode::ApproximateTStep:
            return "     Conducting Approximate t-Test";
        case NoteCode::PowerStep:
            return "     Conducting Power Calculation";
        case NoteCode::RankitNotice:
            return kRankitNoticeText;
        case NoteCode::CriticalWNotFound:
            return "     WARNING - Nofind W2";
        case NoteCode::CriticalTNotFound:
            return "     WARNING - Nofind T1";
        case NoteCode::CriticalUNotFound:
            return "     WARNING - Nofind Mann-Whitney";
        case NoteCode::RankitNotFound:
            return "     WARNING - Nofind Rankits lookup";
        case NoteCode::NormalityUntestable:
            return "     **** Warning: Unable to test for Normality (Alpha 0.25).";
        case NoteCode::HomoscedasticityUntestable:
            return "     **** Warning: Unable to test for Homoscedasticity (Alpha 0.25).";
        case NoteCode::NoSpread:
            return "          Warning: Test data have no spread; the t statistic is infinite.";
        case NoteCode::NoMinimumDifference:
            return "          Warning: Minimum Detectable Difference NOT entered.";
        case NoteCode::MannWhitneyCannotReject:
            return "          Warning: Mann-Whitney cannot reject at this alpha level for these "
                   "sample sizes.";
        case NoteCode::ArcSinFractions:
            return "     Warning: ArcSin expects percentages; all values are at most 1";
        case NoteCode::TooManyValues:
            return "     ERROR - More than 10 values in a sample (20 in all); test not made.";
        case NoteCode::NotFinite:
            return "     ERROR - A statistic of these values is not a finite number; test not "
                   "made.";
        case NoteCode::TableUnreadable:
        case NoteCode::CoefficientNotFound:
        case NoteCode::PowerNotFound:
        case NoteCode::TablesDamaged:
            return "";  // these carry their table, key or value
    }
    return "";
}

const char* noteCodeName(NoteCode code) {
    switch (code) {
        case NoteCode::OneSampleTStep:
            return "one_sample_t_step";
        case NoteCode::ShapiroWilkStep:
            return "shapiro_wilk_step";
        case NoteCode::LeveneStep:
            return "levene_step";
        case NoteCode::MannWhitneyStep:
            return "mann_whitney_step";
        case NoteCode::RankitStep:
            return "rankit_step";
        case NoteCode::StudentTStep:
            return "student_t_step";
        case NoteCode::ApproximateTStep:
            return "approximate_t_step";
        case NoteCode::PowerStep:
            return "power_step";
        case NoteCode::RankitNotice:
            return "rankit_notice";
        case NoteCode::TableUnreadable:
            return "table_unreadable";
        case NoteCode::CoefficientNotFound:
            return "coefficient_not_found";
        case NoteCode::CriticalWNotFound:
            return "critical_w_not_found";
        case NoteCode::CriticalTNotFound:
            return "critical_t_not_found";
        case NoteCode::CriticalUNotFound:
            return "critical_u_not_found";
        case NoteCode::RankitNotFound:
            return "rankit_not_found";
        case NoteCode::PowerNotFound:
            return "power_not_found";
        case NoteCode::NormalityUntestable:
            return "normality_untestable";
        case NoteCode::HomoscedasticityUntestable:
            return "homoscedasticity_untestable";
        case NoteCode::NoSpread:
            return "no_spread";
        case NoteCode::NoMinimumDifference:
            return "no_minimum_difference";
        case NoteCode::MannWhitneyCannotReject:
            return "mann_whitney_cannot_reject";
        case NoteCode::ArcSinFractions:
            return "arcsin_fractions";
        case NoteCode::TooManyValues:
            return "too_many_values";
        case NoteCode::TablesDamaged:
            return "tables_damaged";
        case NoteCode::NotFinite:
            return "not_finite";
    }
    return "";
}

}  // namespace bx
