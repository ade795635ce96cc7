#include "reports/report_lines.h"

#include "analysis/analysis_state.h"
#include "app/text_format.h"
#include "app/window_state.h"

namespace bx {
namespace {

constexpr const char* kMannWhitneyName = "Mann-Whitney";
constexpr const char* kOneSampleName = "1-Sample t-Test";
constexpr const char* kRankitMethod = "Rankits";
constexpr const char* kReplicatePattern = "####0.000";
constexpr const char* kSummaryPattern = "##0.0##";
// Written where a replicate column has nothing to show for the run.
constexpr const char* kBlankCell = " ";

// Builds a line from (column, text) pairs; columns are 0 for A to 9 for J, the line runs up to
// the last column given.
ReportLine cells(std::initializer_list<std::pair<int, std::string>> filled) {
    ReportLine line;
    for (const auto& [column, text] : filled) {
        if (line.size() <= static_cast<std::size_t>(column)) {
            line.resize(static_cast<std::size_t>(column) + 1);
        }
        line[static_cast<std::size_t>(column)] = text;
    }
    return line;
}

enum Column { A, B, C, D, E, F, G, H, I, J };

// A transformed replicate: the end marker (and an unused slot) shows a single blank.
std::string transformedCell(const Slot& s) {
    if (isEndMarker(s) || std::holds_alternative<std::monostate>(s)) {
        return kBlankCell;
    }
    return formatNumber(slotValue(s), kReplicatePattern);
}

// An absolute residual: empty beyond the sample's count, where the array holds nothing.
std::string residualCell(const Slot& s) {
    if (std::holds_alternative<std::monostate>(s)) {
        return {};
    }
    return formatNumber(slotValue(s), kReplicatePattern);
}

// The normality working values read "N/A" until the normality test has computed them.
std::string normalityValue(const ShapiroWilkValues& sw, double value) {
    return sw.computed ? formatNumber(value, kSummaryPattern) : "N/A";
}

struct RunKind {
    bool mannWhitney = false;
    bool rankitRun = false;       // the rankit transformation replaced the values
    bool rankitsShown = false;    // the test panel names "Rankits" as the transformation
    bool residualsBlank = false;  // no Shapiro-Wilk residuals to show
};

RunKind runKind(const WindowState& ui, const AnalysisState& a) {
    RunKind kind;
    kind.mannWhitney = ui.txtTstStat.text == kMannWhitneyName;
    kind.rankitRun = a.RankitUsed;
    kind.rankitsShown = ui.txtTstTransMeth.text == kRankitMethod;
    kind.residualsBlank = ui.txtTstStat.text == kOneSampleName || kind.rankitsShown;
    return kind;
}

// Columns H to J of replicate line i (1-based position in the pooled sequences).
void pooledCells(ReportLine& line, const AnalysisState& a, const RunKind& kind, int i) {
    const auto p = static_cast<std::size_t>(i - 1);
    line[H] = kind.mannWhitney ? formatNumber(a.mannWhitney.pooledRanks.at(p), kReplicatePattern)
                               : kBlankCell;
    line[I] =
        kind.rankitsShown ? formatNumber(a.rankit.rankits.at(p), kReplicatePattern) : kBlankCell;
    line[J] = kind.residualsBlank ? kBlankCell
                                  : formatNumber(a.shapiroWilk.residuals.at(p), kReplicatePattern);
}

}  // namespace

std::vector<ReportLine> buildReportLines(const WindowState& ui, const AnalysisState& a) {
    const RunKind kind = runKind(ui, a);
    const ShapiroWilkValues& sw = a.shapiroWilk;
    const LeveneValues& lv = a.levene;
    const auto transformed = [&](const Field& f) {
        return kind.mannWhitney ? std::string("N/A") : f.text;
    };
    // The Shapiro-Wilk column is empty on a rankit run: the test was made before the values
    // were replaced.
    const auto swCell = [&](const std::string& text) {
        return kind.rankitRun ? std::string() : text;
    };

    std::vector<ReportLine> lines;
    lines.push_back(cells({{B, "Project Name: "}, {C, ui.txtProjectName.text}}));
    lines.emplace_back();
    lines.push_back(cells({{B, "Sample: "}, {C, "x1"}, {G, "Ref Samp: "}, {H, "x2"}}));
    lines.push_back(
        cells({{B, "Samp ID: "}, {C, ui.txtSampId.text}, {G, "Ref ID: "}, {H, ui.txtRefId.text}}));
    lines.push_back(cells(
        {{B, "Alias: "}, {C, ui.txtSampAlias.text}, {G, "Alias: "}, {H, ui.txtRefAlias.text}}));
    lines.push_back(cells({{B, "Replicates: "},
                           {C, ui.txtSampNum.text},
                           {G, "Replicates: "},
                           {H, ui.txtRefNum.text}}));
    lines.push_back(
        cells({{B, "Mean: "}, {C, ui.txtSampMean.text}, {G, "Mean: "}, {H, ui.txtRefMean.text}}));
    lines.push_back(
        cells({{B, "SD: "}, {C, ui.txtSampStdDev.text}, {G, "SD: "}, {H, ui.txtRefStdDev.text}}));
    lines.push_back(cells({{B, "Tr Mean: "},
                           {C, transformed(ui.txtSampTransMean)},
                           {G, "Tr Mean: "},
                           {H, transformed(ui.txtRefTransMean)}}));
    lines.push_back(cells({{B, "Trans SD: "},
                           {C, transformed(ui.txtSampTransStdDev)},
                           {G, "Trans SD: "},
                           {H, transformed(ui.txtRefTransStdDev)}}));
    lines.emplace_back();
    lines.emplace_back();
    lines.push_back(
        cells({{A, "Shapiro-Wilk Results: "}, {D, "Levene's Results: "}, {G, "Test Results: "}}));
    lines.emplace_back();
    lines.push_back(cells({{B, "Residual Mean: "},
                           {C, swCell(normalityValue(sw, sw.residualMean))},
                           {E, "Test Residual Mean: "},
                           {F, formatNumber(lv.mean1, kSummaryPattern)},
                           {H, "Statistic: "},
                           {I, ui.txtTstStat.text}}));
    lines.push_back(cells({{B, "Residual SD: "},
                           {C, swCell(normalityValue(sw, sw.residualSd))},
                           {E, "Test Residual SD: "},
                           {F, formatNumber(lv.sd1, kSummaryPattern)},
                           {H, "Balanced Design: "},
                           {I, a.Balanced ? "Yes" : "No "}}));
    lines.push_back(cells({{B, "SS: "},
                           {C, swCell(formatNumber(sw.ss, kSummaryPattern))},
                           {E, "Ref. Residual Mean: "},
                           {F, formatNumber(lv.mean2, kSummaryPattern)},
                           {H, "Transformation: "},
                           {I, ui.txtTstTransMeth.text}}));
    lines.push_back(cells({{B, "K: "},
                           {C, swCell(std::to_string(sw.k))},
                           {E, "Ref. Residual SD: "},
                           {F, formatNumber(lv.sd2, kSummaryPattern)}}));
    lines.push_back(cells({{B, "b: "},
                           {C, swCell(formatNumber(sw.b, kSummaryPattern))},
                           {E, "Deg. of Freedom: "},
                           {F, std::to_string(lv.df)}}));
    lines.push_back(cells({{I, "Experimental Hypothesis"}}));
    lines.push_back(cells({{B, "Alpha Level: "},
                           {C, ui.txtWTestAlpha.text},
                           {E, "Alpha Level: "},
                           {F, ui.txtScedAlpha.text},
                           {H, "Null: "},
                           {I, ui.cbHypoNull.text}}));
    lines.push_back(cells({{B, "Calculated Value: "},
                           {C, ui.txtWtestW.text},
                           {E, "Calculated Value: "},
                           {F, ui.txtScedCalcVal.text},
                           {H, "Alternate: "},
                           {I, ui.cbHypoAlt.text}}));
    lines.push_back(cells({{B, "Critical Value: "},
                           {C, ui.txtWtestCritVal.text},
                           {E, "Critical Value: "},
                           {F, ui.txtScedCritVal.text}}));
    if (kind.mannWhitney) {
        lines.push_back(cells({{I, "Mann-Whitney N1: "}, {J, numberToText(a.SampN)}}));
        lines.push_back(cells({{I, "Mann-Whitney N2: "}, {J, std::to_string(a.RefN)}}));
    } else {
        lines.emplace_back();
        lines.emplace_back();
    }
    lines.push_back(cells({{B, "Normally     "},
                           {E, "Variances        "},
                           {I, "Degrees of Freedom: "},
                           {J, ui.txtTstDegFreedom.text}}));
    lines.push_back(cells({{B, "Distributed: "},
                           {C, ui.txtWTestPassFail.text},
                           {E, "Homogeneous: "},
                           {F, ui.txtScedPassfail.text},
                           {I, "Experimental Alpha Level: "},
                           {J, ui.txtTstAlpha.text}}));
    lines.push_back(cells({{I, "Calculated Value: "}, {J, ui.txtTstCalcStat.text}}));
    lines.push_back(cells({{B, "Override Option: "},
                           {C, ui.txtOverride.text},
                           {I, "Critical Value: "},
                           {J, ui.txtTstCritVal.text}}));
    lines.push_back(cells({{I, "Accept Null Hypothesis: "}, {J, ui.txtTstPassFail.text}}));
    lines.emplace_back();
    lines.push_back(cells({{I, "Power: "}, {J, ui.txtTstPower.text}}));
    lines.push_back(cells({{I, "Min. Difference for Power: "}, {J, ui.txtDiff_levl.text}}));
    lines.emplace_back();
    lines.emplace_back();
    lines.push_back(cells(
        {{E, "Trans."}, {F, "Levene's"}, {G, "Levene's"}, {H, "Mann-"}, {I, ""}, {J, "Shipiro-"}}));
    lines.push_back(cells({{A, "Replicate"},
                           {B, "Test"},
                           {C, "Trans."},
                           {D, "Reference"},
                           {E, "Reference"},
                           {F, "Test"},
                           {G, "Reference"},
                           {H, "Whitney"},
                           {I, ""},
                           {J, "Wilk"}}));
    lines.push_back(cells({{A, "Number"},
                           {B, "Data"},
                           {C, "Test Data"},
                           {D, "Data"},
                           {E, "Data"},
                           {F, "Residuals"},
                           {G, "Residuals"},
                           {H, "Ranks"},
                           {I, "Rankits"},
                           {J, "Residuals"}}));

    const int n1 = static_cast<int>(a.SampN);
    const int n2 = a.RefN;
    for (int i = 1; i <= kMaxReplicates; ++i) {
        ReportLine line(J + 1);
        line[A] = std::to_string(i);
        line[B] = i <= n1 ? slotText(a.SampRaw[i]) : std::string();
        line[C] = transformedCell(a.SampTrans[i]);
        line[D] = i <= n2 ? slotText(a.RefRaw[i]) : std::string();
        line[E] = transformedCell(a.RefTrans[i]);
        line[F] = residualCell(lv.absResiduals1[i]);
        line[G] = residualCell(lv.absResiduals2[i]);
        pooledCells(line, a, kind, i);
        lines.push_back(std::move(line));
    }
    const int pooled = std::min(n1 + n2, kMaxPooled);
    for (int i = kMaxReplicates + 1; i <= pooled; ++i) {
        ReportLine line(J + 1);
        line[A] = std::to_string(i);
        pooledCells(line, a, kind, i);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string csvField(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(field);
    }
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string csvText(const std::vector<ReportLine>& lines) {
    std::string text;
    for (const ReportLine& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (i > 0) {
                text += ',';
            }
            text += csvField(line[i]);
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace bx
