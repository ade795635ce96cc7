// SPDX-License-Identifier: MIT
#include "reports/report_lines.h"

#include <algorithm>

#include "base/text_format.h"
#include "reports/run_record.h"

namespace bx {
namespace {

constexpr const char* kReplicatePattern = "####0.000";
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

// Columns H to J of replicate line i (1-based position in the pooled sequences): ranks after
// Mann-Whitney, rankits after the rankit transformation, and the Shapiro-Wilk residuals
// unless the one-sample t or the rankits ran.
void pooledCells(ReportLine& line, const Comparison& c, int i) {
    const auto p = static_cast<std::size_t>(i - 1);
    line[H] = c.mannWhitney ? formatNumber(c.mannWhitney->pooledRanks.at(p), kReplicatePattern)
                            : kBlankCell;
    line[I] = c.rankits ? formatNumber(c.rankits->rankits.at(p), kReplicatePattern) : kBlankCell;
    const bool residualsBlank = c.test == TestKind::OneSampleT || c.rankitsUsed();
    const double residual = c.normality ? c.normality->residuals.at(p) : 0.0;
    line[J] = residualsBlank ? kBlankCell : formatNumber(residual, kReplicatePattern);
}

}  // namespace

std::vector<ReportLine> buildReportLines(const RunRecord& run) {
    const Comparison& c = run.result;
    const ResultTexts t = resultTexts(c, run.options);
    const RunIdentity& id = run.identity;
    const bool mannWhitney = c.test == TestKind::MannWhitney;
    const ShapiroWilkResult sw = c.normality.value_or(ShapiroWilkResult{});
    const LeveneResult lv = c.levene.value_or(LeveneResult{});
    const auto transformed = [&](const std::string& text) {
        return mannWhitney ? std::string(kNotApplicable) : text;
    };
    // The Shapiro-Wilk column is empty on a rankit run: the test was made before the values
    // were replaced. Its working values read "N/A" when it did not run.
    const auto swCell = [&](const std::string& text) {
        return c.rankitsUsed() ? std::string() : text;
    };
    const auto swValue = [&](double value) {
        return c.normality ? formatNumber(value, kMeanPattern) : std::string(kNotApplicable);
    };

    std::vector<ReportLine> lines;
    lines.push_back(cells({{B, "Project Name: "}, {C, id.project}}));
    lines.emplace_back();
    lines.push_back(cells({{B, "Sample: "}, {C, "x1"}, {G, "Ref Samp: "}, {H, "x2"}}));
    lines.push_back(
        cells({{B, "Samp ID: "}, {C, id.sampleId}, {G, "Ref ID: "}, {H, id.referenceId}}));
    lines.push_back(
        cells({{B, "Alias: "}, {C, id.sampleAlias}, {G, "Alias: "}, {H, id.referenceAlias}}));
    lines.push_back(cells(
        {{B, "Replicates: "}, {C, t.test.count}, {G, "Replicates: "}, {H, t.reference.count}}));
    lines.push_back(cells({{B, "Mean: "}, {C, t.test.mean}, {G, "Mean: "}, {H, t.reference.mean}}));
    lines.push_back(cells({{B, "SD: "}, {C, t.test.sd}, {G, "SD: "}, {H, t.reference.sd}}));
    lines.push_back(cells({{B, "Tr Mean: "},
                           {C, transformed(t.test.transformedMean)},
                           {G, "Tr Mean: "},
                           {H, transformed(t.reference.transformedMean)}}));
    lines.push_back(cells({{B, "Trans SD: "},
                           {C, transformed(t.test.transformedSd)},
                           {G, "Trans SD: "},
                           {H, transformed(t.reference.transformedSd)}}));
    lines.emplace_back();
    lines.emplace_back();
    lines.push_back(
        cells({{A, "Shapiro-Wilk Results: "}, {D, "Levene's Results: "}, {G, "Test Results: "}}));
    lines.emplace_back();
    lines.push_back(cells({{B, "Residual Mean: "},
                           {C, swCell(swValue(sw.residualMean))},
                           {E, "Test Residual Mean: "},
                           {F, formatNumber(lv.mean1, kMeanPattern)},
                           {H, "Statistic: "},
                           {I, t.testName}}));
    lines.push_back(cells({{B, "Residual SD: "},
                           {C, swCell(swValue(sw.residualSd))},
                           {E, "Test Residual SD: "},
                           {F, formatNumber(lv.sd1, kMeanPattern)},
                           {H, "Balanced Design: "},
                           {I, balancedText(c.balanced)}}));
    lines.push_back(cells({{B, "SS: "},
                           {C, swCell(formatNumber(sw.ss, kMeanPattern))},
                           {E, "Ref. Residual Mean: "},
                           {F, formatNumber(lv.mean2, kMeanPattern)},
                           {H, "Transformation: "},
                           {I, t.transformation}}));
    lines.push_back(cells({{B, "K: "},
                           {C, swCell(std::to_string(sw.k))},
                           {E, "Ref. Residual SD: "},
                           {F, formatNumber(lv.sd2, kMeanPattern)}}));
    lines.push_back(cells({{B, "b: "},
                           {C, swCell(formatNumber(sw.b, kMeanPattern))},
                           {E, "Deg. of Freedom: "},
                           {F, std::to_string(lv.df)}}));
    lines.push_back(cells({{I, "Experimental Hypothesis"}}));
    lines.push_back(cells({{B, "Alpha Level: "},
                           {C, t.wAlpha},
                           {E, "Alpha Level: "},
                           {F, t.leveneAlpha},
                           {H, "Null: "},
                           {I, std::string(nullCaption(run.options.alternative))}}));
    lines.push_back(cells({{B, "Calculated Value: "},
                           {C, t.w},
                           {E, "Calculated Value: "},
                           {F, t.leveneT},
                           {H, "Alternate: "},
                           {I, std::string(alternativeCaption(run.options.alternative))}}));
    lines.push_back(cells({{B, "Critical Value: "},
                           {C, t.wCritical},
                           {E, "Critical Value: "},
                           {F, t.leveneCritical}}));
    if (mannWhitney) {
        lines.push_back(cells({{I, "Mann-Whitney N1: "}, {J, numberToText(c.testSample.count)}}));
        lines.push_back(
            cells({{I, "Mann-Whitney N2: "}, {J, std::to_string(c.referenceSample.count)}}));
    } else {
        lines.emplace_back();
        lines.emplace_back();
    }
    lines.push_back(cells(
        {{B, "Normally     "}, {E, "Variances        "}, {I, "Degrees of Freedom: "}, {J, t.df}}));
    lines.push_back(cells({{B, "Distributed: "},
                           {C, t.normal},
                           {E, "Homogeneous: "},
                           {F, t.homoscedastic},
                           {I, "Experimental Alpha Level: "},
                           {J, t.alpha}}));
    lines.push_back(cells({{I, "Calculated Value: "}, {J, t.statistic}}));
    lines.push_back(cells(
        {{B, "Override Option: "}, {C, t.override}, {I, "Critical Value: "}, {J, t.critical}}));
    lines.push_back(cells({{I, "Accept Null Hypothesis: "}, {J, t.acceptNull}}));
    lines.emplace_back();
    lines.push_back(cells({{I, "Power: "}, {J, t.power}}));
    lines.push_back(cells({{I, "Min. Difference for Power: "}, {J, run.minimumDifference}}));
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

    const int n1 = c.testSample.count;
    const int n2 = c.referenceSample.count;
    // A replicate of the run as the table shows it: its final value, or a blank past the count;
    // the absolute residuals only where Levene's test computed them.
    const auto value = [&](bool testSample, int i, int n) {
        return i <= n ? formatNumber(c.finalValue(testSample, i - 1), kReplicatePattern)
                      : std::string(kBlankCell);
    };
    const auto residual = [&](const std::array<double, kMaxReplicates>& r, int i, int n) {
        return c.levene && i <= n
                   ? formatNumber(r.at(static_cast<std::size_t>(i - 1)), kReplicatePattern)
                   : std::string();
    };
    for (int i = 1; i <= kMaxReplicates; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        ReportLine line(J + 1);
        line[A] = std::to_string(i);
        line[B] = i <= n1 ? run.testEntries.at(k) : std::string();
        line[C] = value(true, i, n1);
        line[D] = i <= n2 ? run.referenceEntries.at(k) : std::string();
        line[E] = value(false, i, n2);
        line[F] = residual(lv.absResiduals1, i, n1);
        line[G] = residual(lv.absResiduals2, i, n2);
        pooledCells(line, c, i);
        lines.push_back(std::move(line));
    }
    const int pooled = std::min(n1 + n2, kMaxPooled);
    for (int i = kMaxReplicates + 1; i <= pooled; ++i) {
        ReportLine line(J + 1);
        line[A] = std::to_string(i);
        pooledCells(line, c, i);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string csvField(std::string_view text) {
    const std::string field = spreadsheetText(text);
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
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
