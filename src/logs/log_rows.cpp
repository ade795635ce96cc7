#include "logs/log_rows.h"

#include "analysis/analysis_state.h"
#include "app/text_format.h"
#include "app/window_state.h"

namespace bx {
namespace {

constexpr const char* kMannWhitneyName = "Mann-Whitney";
constexpr const char* kSummaryPattern = "##0.0##";
constexpr const char* kValuePattern = "##0.000";

// A displayed number re-formatted with `pattern`; a text that is not wholly a number is
// written as it stands.
std::string reformatted(const std::string& text, const char* pattern) {
    const LeadingNumber n = parseLeadingNumber(text);
    return n.found && n.wholeText ? formatNumber(n.value, pattern) : text;
}

// The leading number of a displayed text, written back without a pattern (12.50 gives 12.5,
// "N/A" and the empty text give 0).
std::string displayedNumber(const Field& f) {
    return numberToText(leadingNumber(f.text));
}

}  // namespace

std::vector<LogRow> detailLogRows(const WindowState& ui, const AnalysisState& a) {
    const bool mannWhitney = ui.txtTstStat.text == kMannWhitneyName;
    const auto transformed = [&](double value) {
        return mannWhitney ? std::string("N/A") : formatNumber(value, kSummaryPattern);
    };
    const ShapiroWilkValues& sw = a.shapiroWilk;
    const LeveneValues& lv = a.levene;
    // The residual mean is logged at single precision, as the normality working values hold it.
    const auto swValue = [&](double value) {
        return sw.computed
                   ? formatNumber(static_cast<double>(static_cast<float>(value)), kSummaryPattern)
                   : std::string("N/A");
    };

    LogRow first = {
        {"PROJECT", ui.txtProjectName.text},
        {"SAMPID", ui.txtSampId.text},
        {"SAMP_ALIAS", ui.txtSampAlias.text},
        {"REFID", ui.txtRefId.text},
        {"REF_ALIAS", ui.txtRefAlias.text},
        {"SAMP_REPS", numberToText(a.SampN)},
        {"SAMP_STD", formatNumber(a.SampStdDev, kSummaryPattern)},
        {"SAMP_MN", formatNumber(a.SampMean, kSummaryPattern)},
        {"SAMP_T_STD", transformed(a.SampTransStdDev)},
        {"SAMP_T_MN", transformed(a.SampTransMean)},
        {"REF_REPS", numberToText(a.RefN)},
        {"REF_STD", formatNumber(a.RefStdDev, kSummaryPattern)},
        {"REF_MN", formatNumber(a.RefMean, kSummaryPattern)},
        {"REF_T_STD", transformed(a.RefTransStdDev)},
        {"REF_T_MN", transformed(a.RefTransMean)},
        {"T_TYPE", ui.txtTstStat.text},
        {"T_CALC", reformatted(ui.txtTstCalcStat.text, "##0.0000")},
        {"T_PASSFAIL", ui.txtTstPassFail.text},
        {"T_ALPHA", ui.txtTstAlpha.text},
        {"T_CRIT", ui.txtTstCritVal.text},
        {"T_TRANS", ui.txtTstTransMeth.text},
        {"T_HYPO_NUL", ui.cbHypoNull.text},
        {"T_HYPO_ALT", ui.cbHypoAlt.text},
        {"POWER", ui.txtTstPower.text},
        {"POWER_DIFF", ui.txtDiff_levl.text},
        {"T_DF", displayedNumber(ui.txtTstDegFreedom)},
        {"T_BALANCED", a.Balanced ? "Yes" : "No "},
        {"L_RES1_MN", formatNumber(lv.mean1, kSummaryPattern)},
        {"L_RES1_SD", formatNumber(lv.sd1, kSummaryPattern)},
        {"L_RES2_MN", formatNumber(lv.mean2, kSummaryPattern)},
        {"L_RES2_SD", formatNumber(lv.sd2, kSummaryPattern)},
        {"L_CALC", formatNumber(lv.absT, "#0.0000")},
        {"L_PASSFAIL", ui.txtScedPassfail.text},
        // Levene's test is two-sided: twice the experimental level.
        {"L_ALPHA", numberToText(2.0 * leadingNumber(ui.cbAlphaLevel.text))},
        {"L_CRIT", formatNumber(lv.critical, "#0.000")},
        {"L_DF", formatNumber(lv.df, "#0")},
        {"W_RESID_MN", swValue(sw.residualMean)},
        {"W_RESID_SD", sw.computed ? formatNumber(sw.residualSd, kSummaryPattern) : "N/A"},
        {"W_SS", formatNumber(sw.ss, kSummaryPattern)},
        {"W_K", formatNumber(sw.k, kSummaryPattern)},
        {"W_B", formatNumber(sw.b, kSummaryPattern)},
        {"W_CALC",
         a.RankitUsed ? "N/A" : formatNumber(leadingNumber(ui.txtWtestW.text), "#0.0000")},
        {"W_PASSFAIL", ui.txtWTestPassFail.text},
        {"W_ALPHA", ui.txtWTestAlpha.text},
        {"W_CRIT", formatNumber(sw.criticalW, "#0.000")},
        {"W_OVERRIDE", ui.txtOverride.text},
        {"M_N1N2", a.mannWhitney.key},
    };

    const int n1 = static_cast<int>(a.SampN);
    const int n2 = a.RefN;
    const int pooled = std::min(n1 + n2, kMaxPooled);
    std::vector<LogRow> rows;
    rows.push_back(std::move(first));
    for (int k = 1; k <= pooled; ++k) {
        if (k > 1) {
            rows.emplace_back();
        }
        LogRow& row = rows.back();
        const auto p = static_cast<std::size_t>(k - 1);
        row.emplace_back("W_RESIDUAL", formatNumber(sw.residuals.at(p), kValuePattern));
        row.emplace_back("M_RANK_ALL", formatNumber(a.mannWhitney.pooledRanks.at(p), "##0.0##"));
        row.emplace_back("R_RANK_ALL", formatNumber(a.rankit.rankits.at(p), kValuePattern));
        if (k <= n1 && k <= kMaxReplicates) {
            row.emplace_back("SAMPDATA", slotText(a.SampRaw[k]));
            row.emplace_back("SAMPTRANS", formatNumber(slotValue(a.SampTrans[k]), kValuePattern));
            row.emplace_back("L_RES1", formatNumber(slotValue(lv.absResiduals1[k]), kValuePattern));
        }
        if (k <= n2 && k <= kMaxReplicates) {
            row.emplace_back("REFDATA", slotText(a.RefRaw[k]));
            row.emplace_back("REFTRANS", formatNumber(slotValue(a.RefTrans[k]), kValuePattern));
            row.emplace_back("L_RES2", formatNumber(slotValue(lv.absResiduals2[k]), kValuePattern));
        }
    }
    rows.emplace_back();  // the blank row that separates runs
    return rows;
}

LogRow summaryLogRow(const WindowState& ui) {
    const bool mannWhitney = ui.txtTstStat.text == kMannWhitneyName;
    const auto transformed = [&](const Field& f) {
        return mannWhitney ? std::string("N/A") : displayedNumber(f);
    };
    return {
        {"SAMPID", ui.txtSampId.text},
        {"SAMP_ALIAS", ui.txtSampAlias.text},
        {"SAMP_REPS", displayedNumber(ui.txtSampNum)},
        {"SAMP_STD", displayedNumber(ui.txtSampStdDev)},
        {"SAMP_MN", displayedNumber(ui.txtSampMean)},
        {"SAMP_T_STD", transformed(ui.txtSampTransStdDev)},
        {"SAMP_T_MN", transformed(ui.txtSampTransMean)},
        {"REFID", ui.txtRefId.text},
        {"REF_ALIAS", ui.txtRefAlias.text},
        {"REF_REPS", displayedNumber(ui.txtRefNum)},
        {"REF_STD", displayedNumber(ui.txtRefStdDev)},
        {"REF_MN", displayedNumber(ui.txtRefMean)},
        {"REF_T_STD", transformed(ui.txtRefTransStdDev)},
        {"REF_T_MN", transformed(ui.txtRefTransMean)},
        {"PASS_FAIL", ui.txtTstPassFail.text},
        {"W_PASSFAIL", ui.txtWTestPassFail.text},
        {"L_PASSFAIL", ui.txtScedPassfail.text},
        {"T_TYPE", ui.txtTstStat.text},
        {"POWER", ui.txtTstPower.text},
        {"POWER_DIFF", ui.txtDiff_levl.text},
    };
}

}  // namespace bx
