#include "reports/result_texts.h"

#include "base/text_format.h"

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

void normalityTexts(ResultTexts& t, const Comparison& c) {
    if (!c.normality || c.rankitsUsed()) {
        t.wCritical = t.w = t.wAlpha = t.normal = kNotApplicable;
        return;
    }
    const ShapiroWilkResult& r = *c.normality;
    t.wCritical = "<= " + formatNumber(r.critical, kCriticalPattern);
    t.w = formatNumber(r.w, kStatisticPattern);
    t.wAlpha = numberToText(r.alpha);
    t.normal = preTestVerdict(r.testable, r.normal);
}

void leveneTexts(ResultTexts& t, const Comparison& c) {
    if (!c.levene) {
        t.leveneCritical = t.leveneT = t.leveneAlpha = t.homoscedastic = t.leveneDf =
            kNotApplicable;
        return;
    }
    const LeveneResult& r = *c.levene;
    t.leveneCritical = ">= " + formatNumber(r.critical, kCriticalPattern);
    t.leveneT = formatNumber(r.absT, kStatisticPattern);
    t.leveneAlpha = numberToText(r.alpha);
    t.homoscedastic = preTestVerdict(r.testable, r.homoscedastic);
    t.leveneDf = numberToText(r.df);
}

void testTexts(ResultTexts& t, const Comparison& c, const AnalysisOptions& o) {
    const TestKind test = *c.test;
    t.testName = testName(test);
    t.alpha = numberToText(o.alpha);
    t.acceptNull = yesNo(c.acceptNull());
    t.transformation = transformationCaption(o.transformation);
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
            t.balanced = balancedText(c.balanced);
            t.transformation = "rank-order";
            break;
        case TestKind::OneSampleT:
            // A t of exactly 0 shows as "0.0"; an infinite one as "Infinity" or "-Infinity".
            if (c.oneSampleT->t == 0.0) {
                t.statistic = "0.0";
            }
            t.df = numberToText(c.oneSampleT->df);
            t.balanced = balancedText(c.balanced);
            break;
    }
    if (c.rankitsUsed()) {
        t.transformation = "Rankits";
    }
    if (c.power) {
        t.power = formatNumber(c.power->percent, kPowerPattern) + "%";
    }
}

}  // namespace

const char* balancedText(bool balanced) {
    return balanced ? "Yes" : "No ";
}

ResultTexts resultTexts(const Comparison& result, const AnalysisOptions& options) {
    ResultTexts t;
    t.test = treatmentTexts(result, true);
    t.reference = treatmentTexts(result, false);
    normalityTexts(t, result);
    t.override = overrideText(result.normalityOverride);
    leveneTexts(t, result);
    if (result.test) {
        testTexts(t, result, options);
    }
    return t;
}

}  // namespace bx
