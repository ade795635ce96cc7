// SPDX-License-Identifier: MIT
#include "reports/result_texts.h"

#include "base/text_format.h"
#include "statistics/table_lookup.h"

namespace bx {
namespace {

const char* yesNo(bool yes) {
    return yes ? "Yes" : "No";
}

// A pre-test's verdict: "???" when the test could not be made at its level.
const char* preTestVerdict(bool testable, bool passed) {
    return testable ? yesNo(passed) : "???";
}

TreatmentTexts treatmentTexts(const Comparison& c, bool testSample) {
    const SampleStatistics& s = testSample ? c.testSample : c.referenceSample;
    return {formatNumber(s.count, kCountPattern), formatNumber(s.mean, kMeanPattern),
            formatNumber(s.sd, kMeanPattern), formatNumber(c.workedMean(testSample), kMeanPattern),
            formatNumber(c.workedSd(testSample), kMeanPattern)};
}

const char* overrideText(NormalityOverride o) {
    switch (o) {
        case NormalityOverride::Invoked:
            return "Invoked";
        case NormalityOverride::NotInvoked:
            return "Not Invoked";
        case NormalityOverride::NotApplicable:
            break;
    }
    return kNotApplicable;
}

// The normality panel: "N/A" throughout without a normality test, or after the rankits.
bool normalityShown(const Comparison& c) {
    return c.normality && !c.rankitsUsed();
}

void normalityTexts(ResultTexts& t, const Comparison& c) {
    if (!normalityShown(c)) {
        t.wCritical = t.w = t.wAlpha = kNotApplicable;
        return;
    }
    const ShapiroWilkResult& r = *c.normality;
    t.wCritical = "<= " + formatNumber(r.critical.value_or(kCannotTest), kCriticalPattern);
    t.w = formatNumber(r.w, kStatisticPattern);
    t.wAlpha = numberToText(r.alpha);
}

void leveneTexts(ResultTexts& t, const Comparison& c) {
    if (!c.levene) {
        t.leveneCritical = t.leveneT = t.leveneAlpha = t.leveneDf = kNotApplicable;
        return;
    }
    const LeveneResult& r = *c.levene;
    t.leveneCritical = ">= " + formatNumber(r.critical.value_or(kCannotTest), kCriticalPattern);
    t.leveneT = formatNumber(r.absT, kStatisticPattern);
    t.leveneAlpha = numberToText(r.alpha);
    t.leveneDf = numberToText(r.df);
}

void testTexts(ResultTexts& t, const Comparison& c, const AnalysisOptions& o) {
    const TestKind test = *c.test;
    t.alpha = numberToText(o.alpha);
    const double critical = c.criticalValue();
    t.critical = (critical < 0.0 ? "<= " : ">= ") + formatNumber(critical, kCriticalPattern);
    t.statistic = formatNumber(c.statistic(), kStatisticPattern);
    switch (test) {
        case TestKind::StudentT:
            t.df = numberToText(c.tTest->df);
            break;
        case TestKind::ApproximateT:
            t.df = formatNumber(c.tTest->df, "###");
            break;
        case TestKind::MannWhitney:
            break;
        case TestKind::OneSampleT:
            // A t of exactly 0 shows as "0.0"; an infinite one as "Infinity" or "-Infinity".
            if (c.oneSampleT->t == 0.0) {
                t.statistic = "0.0";
            }
            t.df = numberToText(c.oneSampleT->df);
            break;
    }
}

}  // namespace

VerdictWords verdictWords(const Comparison& c, const AnalysisOptions& o) {
    VerdictWords w;
    w.normal = normalityShown(c) ? preTestVerdict(c.normality->testable, c.normality->normal)
                                 : kNotApplicable;
    w.override = overrideText(c.normalityOverride);
    w.homoscedastic =
        c.levene ? preTestVerdict(c.levene->testable, c.levene->homoscedastic) : kNotApplicable;
    if (!c.test) {
        return w;
    }
    w.testName = testName(*c.test);
    w.acceptNull = yesNo(c.acceptNull());
    w.transformation = transformationCaption(o.transformation);
    if (c.test == TestKind::MannWhitney) {
        w.transformation = "rank-order";
    }
    if (c.rankitsUsed()) {
        w.transformation = "Rankits";
    }
    if (c.test == TestKind::MannWhitney || c.test == TestKind::OneSampleT) {
        w.balanced = balancedText(c.balanced);
    }
    if (c.power) {
        w.powerPercent = c.power->percent;
    }
    return w;
}

std::string powerText(double percent) {
    return formatNumber(percent, kPowerPattern) + "%";
}

const char* balancedText(bool balanced) {
    return balanced ? "Yes" : "No ";
}

ResultTexts resultTexts(const Comparison& result, const AnalysisOptions& options) {
    const VerdictWords w = verdictWords(result, options);
    ResultTexts t;
    t.normal = w.normal;
    t.override = w.override;
    t.homoscedastic = w.homoscedastic;
    t.testName = w.testName;
    t.acceptNull = w.acceptNull;
    t.transformation = w.transformation;
    t.balanced = w.balanced;
    if (w.powerPercent) {
        t.power = powerText(*w.powerPercent);
    }
    t.test = treatmentTexts(result, true);
    t.reference = treatmentTexts(result, false);
    normalityTexts(t, result);
    leveneTexts(t, result);
    if (result.test) {
        testTexts(t, result, options);
    }
    return t;
}

}  // namespace bx
