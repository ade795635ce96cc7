// SPDX-License-Identifier: MIT
#include "logs/log_rows.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/text_format.h"
#include "reports/run_record.h"
#include "statistics/table_lookup.h"

namespace bx {
namespace {

constexpr const char* kValuePattern = "##0.000";

// A pre-test's critical value as the log holds it: kCannotTest when the test could not be made
// at its level, 0 when it did not run.
template <typename PreTest>
double loggedCritical(const std::optional<PreTest>& result) {
    return result ? result->critical.value_or(kCannotTest) : 0.0;
}

}  // namespace

std::vector<LogRow> detailLogRows(const RunRecord& run) {
    const Comparison& c = run.result;
    const ResultTexts t = resultTexts(c, run.options);
    const bool mannWhitney = c.test == TestKind::MannWhitney;
    const auto worked = [&](double value) {
        return mannWhitney ? std::string(kNotApplicable) : formatNumber(value, kMeanPattern);
    };
    const ShapiroWilkResult sw = c.normality.value_or(ShapiroWilkResult{});
    const LeveneResult lv = c.levene.value_or(LeveneResult{});
    // The residual mean is logged at single precision, as the normality working values hold
    // it; both read "N/A" when no normality test ran.
    const auto swValue = [&](double value, bool singlePrecision) {
        if (!c.normality) {
            return std::string(kNotApplicable);
        }
        return formatNumber(
            singlePrecision ? static_cast<double>(static_cast<float>(value)) : value, kMeanPattern);
    };
    // The W the panel showed, as a number; none after the rankits.
    std::string wCalc = kNotApplicable;
    if (!c.rankitsUsed()) {
        wCalc = formatNumber(c.normality ? shownNumber(c.normality->w, kStatisticPattern) : 0.0,
                             "#0.0000");
    }
    const int df = c.tTest ? c.tTest->df : c.oneSampleT ? c.oneSampleT->df : 0;

    LogRow first = {
        {"PROJECT", run.identity.project},
        {"SAMPID", run.identity.sampleId},
        {"SAMP_ALIAS", run.identity.sampleAlias},
        {"REFID", run.identity.referenceId},
        {"REF_ALIAS", run.identity.referenceAlias},
        {"SAMP_REPS", numberToText(c.testSample.count)},
        {"SAMP_STD", formatNumber(c.testSample.sd, kMeanPattern)},
        {"SAMP_MN", formatNumber(c.testSample.mean, kMeanPattern)},
        {"SAMP_T_STD", worked(c.workedSd(true))},
        {"SAMP_T_MN", worked(c.workedMean(true))},
        {"REF_REPS", numberToText(c.referenceSample.count)},
        {"REF_STD", formatNumber(c.referenceSample.sd, kMeanPattern)},
        {"REF_MN", formatNumber(c.referenceSample.mean, kMeanPattern)},
        {"REF_T_STD", worked(c.workedSd(false))},
        {"REF_T_MN", worked(c.workedMean(false))},
        {"T_TYPE", t.testName},
        {"T_CALC", formatNumber(c.statistic(), kStatisticPattern)},
        {"T_PASSFAIL", t.acceptNull},
        {"T_ALPHA", t.alpha},
        {"T_CRIT", t.critical},
        {"T_TRANS", t.transformation},
        {"T_HYPO_NUL", std::string(nullCaption(run.options.alternative))},
        {"T_HYPO_ALT", std::string(alternativeCaption(run.options.alternative))},
        {"POWER", t.power},
        {"POWER_DIFF", run.minimumDifference},
        // Mann-Whitney shows no degrees of freedom; the field reads as 0.
        {"T_DF", numberToText(mannWhitney ? 0 : df)},
        {"T_BALANCED", balancedText(c.balanced)},
        {"L_RES1_MN", formatNumber(lv.mean1, kMeanPattern)},
        {"L_RES1_SD", formatNumber(lv.sd1, kMeanPattern)},
        {"L_RES2_MN", formatNumber(lv.mean2, kMeanPattern)},
        {"L_RES2_SD", formatNumber(lv.sd2, kMeanPattern)},
        {"L_CALC", formatNumber(lv.absT, "#0.0000")},
        {"L_PASSFAIL", t.homoscedastic},
        // Levene's test is two-sided: twice the experimental level.
        {"L_ALPHA", numberToText(2.0 * run.options.alpha)},
        {"L_CRIT", formatNumber(loggedCritical(c.levene), "#0.000")},
        {"L_DF", formatNumber(lv.df, "#0")},
        {"W_RESID_MN", swValue(sw.residualMean, true)},
        {"W_RESID_SD", swValue(sw.residualSd, false)},
        {"W_SS", formatNumber(sw.ss, kMeanPattern)},
        {"W_K", formatNumber(sw.k, kMeanPattern)},
        {"W_B", formatNumber(sw.b, kMeanPattern)},
        {"W_CALC", wCalc},
        {"W_PASSFAIL", t.normal},
        {"W_ALPHA", t.wAlpha},
        {"W_CRIT", formatNumber(loggedCritical(c.normality), "#0.000")},
        {"W_OVERRIDE", t.override},
        {"M_N1N2", c.mannWhitney ? c.mannWhitney->key : std::string()},
    };

    const int n1 = c.testSample.count;
    const int n2 = c.referenceSample.count;
    const int pooled = std::min(n1 + n2, kMaxPooled);
    const PooledArray ranks = c.mannWhitney ? c.mannWhitney->pooledRanks : PooledArray{};
    const PooledArray rankits = c.rankits ? c.rankits->rankits : PooledArray{};
    std::vector<LogRow> rows;
    rows.push_back(std::move(first));
    for (int k = 1; k <= pooled; ++k) {
        if (k > 1) {
            rows.emplace_back();
        }
        LogRow& row = rows.back();
        const auto p = static_cast<std::size_t>(k - 1);
        row.emplace_back("W_RESIDUAL", formatNumber(sw.residuals.at(p), kValuePattern));
        row.emplace_back("M_RANK_ALL", formatNumber(ranks.at(p), "##0.0##"));
        row.emplace_back("R_RANK_ALL", formatNumber(rankits.at(p), kValuePattern));
        if (k <= n1 && k <= kMaxReplicates) {
            row.emplace_back("SAMPDATA", run.testEntries.at(p));
            row.emplace_back("SAMPTRANS", formatNumber(c.finalValue(true, k - 1), kValuePattern));
            row.emplace_back("L_RES1", formatNumber(lv.absResiduals1.at(p), kValuePattern));
        }
        if (k <= n2 && k <= kMaxReplicates) {
            row.emplace_back("REFDATA", run.referenceEntries.at(p));
            row.emplace_back("REFTRANS", formatNumber(c.finalValue(false, k - 1), kValuePattern));
            row.emplace_back("L_RES2", formatNumber(lv.absResiduals2.at(p), kValuePattern));
        }
    }
    rows.emplace_back();  // the blank row that separates runs
    return rows;
}

const std::string& ShownSummaryNumbers::text(std::size_t field, double value, const char* pattern) {
    Shown& shown = shown_.at(field);
    if (!shown.set ||
        std::bit_cast<std::uint64_t>(shown.value) != std::bit_cast<std::uint64_t>(value)) {
        shown.text = shownNumberText(value, pattern);
        shown.value = value;
        shown.set = true;
    }
    return shown.text;
}

namespace {

// The summary fields that describe one sample.
struct SampleFields {
    std::size_t id, alias, reps, sd, mean, workedSd, workedMean;
};
constexpr SampleFields kTestFields{summaryFieldIndex("SAMPID"),    summaryFieldIndex("SAMP_ALIAS"),
                                   summaryFieldIndex("SAMP_REPS"), summaryFieldIndex("SAMP_STD"),
                                   summaryFieldIndex("SAMP_MN"),   summaryFieldIndex("SAMP_T_STD"),
                                   summaryFieldIndex("SAMP_T_MN")};
constexpr SampleFields kReferenceFields{
    summaryFieldIndex("REFID"),   summaryFieldIndex("REF_ALIAS"), summaryFieldIndex("REF_REPS"),
    summaryFieldIndex("REF_STD"), summaryFieldIndex("REF_MN"),    summaryFieldIndex("REF_T_STD"),
    summaryFieldIndex("REF_T_MN")};

}  // namespace

SummaryTextViews summaryTextViews(const RunRecord& run, ShownSummaryNumbers& kept,
                                  std::string& power) {
    const Comparison& c = run.result;
    const VerdictWords w = verdictWords(c, run.options);
    const bool mannWhitney = c.test == TestKind::MannWhitney;
    SummaryTextViews texts;
    // The summary records the numbers the panels show, as the fields read back.
    const auto shown = [&](std::size_t field, double value, const char* pattern) {
        texts[field] = kept.text(field, value, pattern);
    };
    // A worked value is often the entered one itself (no transformation): the same text.
    const auto worked = [&](std::size_t field, double value, std::size_t entered,
                            double enteredValue) {
        if (mannWhitney) {
            texts[field] = kNotApplicable;
        } else if (std::bit_cast<std::uint64_t>(value) ==
                   std::bit_cast<std::uint64_t>(enteredValue)) {
            texts[field] = texts[entered];
        } else {
            shown(field, value, kMeanPattern);
        }
    };
    const auto sample = [&](const SampleFields& f, const SampleStatistics& s, bool test,
                            const std::string& id, const std::string& alias) {
        texts[f.id] = id;
        texts[f.alias] = alias;
        shown(f.reps, s.count, kCountPattern);
        shown(f.sd, s.sd, kMeanPattern);
        shown(f.mean, s.mean, kMeanPattern);
        worked(f.workedSd, c.workedSd(test), f.sd, s.sd);
        worked(f.workedMean, c.workedMean(test), f.mean, s.mean);
    };
    sample(kTestFields, c.testSample, true, run.identity.sampleId, run.identity.sampleAlias);
    sample(kReferenceFields, c.referenceSample, false, run.identity.referenceId,
           run.identity.referenceAlias);
    texts[summaryFieldIndex("PASS_FAIL")] = w.acceptNull;
    texts[summaryFieldIndex("W_PASSFAIL")] = w.normal;
    texts[summaryFieldIndex("L_PASSFAIL")] = w.homoscedastic;
    texts[summaryFieldIndex("T_TYPE")] = w.testName;
    power.clear();
    if (w.powerPercent) {
        power = powerText(*w.powerPercent);
    }
    texts[summaryFieldIndex("POWER")] = power;
    texts[summaryFieldIndex("POWER_DIFF")] = run.minimumDifference;
    return texts;
}

SummaryTexts summaryTexts(const RunRecord& run) {
    ShownSummaryNumbers shown;
    std::string power;
    const SummaryTextViews views = summaryTextViews(run, shown, power);
    SummaryTexts texts;
    for (std::size_t i = 0; i < views.size(); ++i) {
        texts[i] = views[i];
    }
    return texts;
}

LogRow summaryLogRow(const RunRecord& run) {
    SummaryTexts texts = summaryTexts(run);
    LogRow row;
    row.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        row.emplace_back(kSummaryRecordFields[i].name, std::move(texts[i]));
    }
    return row;
}

}  // namespace bx
