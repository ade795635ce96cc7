#include "analysis/test_procedures.h"

#include <array>
#include <span>

#include "analysis/approximate_t.h"
#include "analysis/descriptive.h"
#include "analysis/hypothesis.h"
#include "analysis/levene.h"
#include "analysis/mann_whitney.h"
#include "analysis/one_sample_t.h"
#include "analysis/power.h"
#include "analysis/rankit.h"
#include "analysis/shapiro_wilk.h"
#include "analysis/student_t.h"
#include "analysis/test_display.h"
#include "app/main_window.h"
#include "app/text_format.h"

namespace bx {
namespace {

constexpr const char* kTooManyValues =
    "     ERROR - More than 10 values in a sample (20 in all); test not made.";
constexpr const char* kNoDifference =
    "          Warning: Minimum Detectable Difference NOT entered.";
constexpr const char* kNoSpread =
    "          Warning: Test data have no spread; the t statistic is infinite.";
constexpr const char* kCannotReject =
    "          Warning: Mann-Whitney cannot reject at this alpha level for these sample sizes.";

// A large but finite bound for the counts of the t-tests, which keep no arrays: the driver's
// counts are 0..10, and nothing beyond a few thousand makes sense in these bioassays.
constexpr int kMaxTCount = 1000000;

using SampleBuffer = std::array<double, kMaxReplicates>;

// The first n slots of a value array as numbers; n must already be checked to lie in 0..10.
std::span<const double> firstValues(const ValueArray& values, int n, SampleBuffer& buffer) {
    for (int i = 1; i <= n; ++i) {
        buffer[static_cast<std::size_t>(i - 1)] = slotValue(values[i]);
    }
    return {buffer.data(), static_cast<std::size_t>(n)};
}

// The sample counts of an array-based test, or false (with the error posted) when either does
// not fit a value array. The arrays hold 10 values each, so nothing is read or written beyond
// them and the pooled working arrays of 20 positions never overflow.
bool checkedCounts(MainWindow& w, double n1, int n2, int& c1, int& c2) {
    c1 = wholeCount(n1, kMaxReplicates);
    c2 = wholeCount(n2, kMaxReplicates);
    if (c1 < 0 || c2 < 0) {
        w.postStatus(kTooManyValues);
        return false;
    }
    return true;
}

int tCount(double n) {
    const int c = wholeCount(n, kMaxTCount);
    return c < 0 ? 0 : c;
}

NullHypothesis currentNull(const MainWindow& w) {
    return nullHypothesisOf(w.ui.cbHypoNull.text);
}

double currentAlpha(const MainWindow& w) {
    return alphaLevelOf(w.ui.cbAlphaLevel.text);
}

// The power step of the t-tests: only with the option on; without a difference the field is
// emptied and the warning posted, otherwise the power is computed and shown.
template <typename Compute>
void powerStep(MainWindow& w, Compute compute) {
    if (!w.ui.mnuPowerCalculation.checked) {
        return;
    }
    const double d = leadingNumber(w.ui.txtDiff_levl.text);
    if (d == 0.0) {
        showNoPower(w.ui);
        w.postStatus(kNoDifference);
        return;
    }
    w.postStatus("     Conducting Power Calculation");
    const PowerResult power = compute(d);
    showPower(w.ui, power.power);
}

void keepTTest(AnalysisState& a, int df, double t, double critical) {
    a.tTest.df = df;
    a.tTest.t = t;
    a.tTest.critical = critical;
}

template <std::size_t N>
void copyInto(PooledArray& target, const std::array<double, N>& source, std::size_t count) {
    target.fill(0.0);
    for (std::size_t i = 0; i < count; ++i) {
        target[i] = source[i];
    }
}

}  // namespace

bool WTest(MainWindow& w, const ValueArray& sv1, const ValueArray& sv2, double mean1, double mean2,
           double n1, int n2) {
    w.postStatus("     Conducting Shapiro-Wilk Normality Test...");
    int c1 = 0;
    int c2 = 0;
    if (!checkedCounts(w, n1, n2, c1, c2)) {
        return false;
    }
    SampleBuffer b1{};
    SampleBuffer b2{};
    const ShapiroWilkResult r = shapiroWilkTest(firstValues(sv1, c1, b1), firstValues(sv2, c2, b2),
                                                mean1, mean2, w.analysis.Balanced, w.lookup());
    if (!r.testable) {
        w.postStatus("     **** Warning: Unable to test for Normality (Alpha 0.25).");
    }

    ShapiroWilkValues& kept = w.analysis.shapiroWilk;
    kept.residuals = r.residuals;
    kept.computed = true;
    kept.residualMean = r.residualMean;
    kept.residualSd = r.residualSd;
    kept.ss = r.ss;
    kept.k = r.k;
    kept.b = r.b;
    kept.w = r.w;
    kept.criticalW = r.critical;

    showNormality(w.ui, r);
    return r.normal;
}

bool Levene(MainWindow& w, const ValueArray& sv1, const ValueArray& sv2, double sv1Mean,
            double sv2Mean, double n1, int n2) {
    w.postStatus("     Conducting Levene's Homoscedasticity Test");
    int c1 = 0;
    int c2 = 0;
    if (!checkedCounts(w, n1, n2, c1, c2)) {
        return false;
    }
    SampleBuffer b1{};
    SampleBuffer b2{};
    const LeveneResult r = leveneTest(firstValues(sv1, c1, b1), firstValues(sv2, c2, b2), sv1Mean,
                                      sv2Mean, w.analysis.Balanced, currentNull(w), w.lookup());
    if (!r.testable) {
        w.postStatus("     **** Warning: Unable to test for Homoscedasticity (Alpha 0.25).");
    }

    LeveneValues& kept = w.analysis.levene;
    kept.absResiduals1 = ValueArray{};
    kept.absResiduals2 = ValueArray{};
    for (int i = 1; i <= c1; ++i) {
        kept.absResiduals1[i] = r.absResiduals1[static_cast<std::size_t>(i - 1)];
    }
    for (int i = 1; i <= c2; ++i) {
        kept.absResiduals2[i] = r.absResiduals2[static_cast<std::size_t>(i - 1)];
    }
    kept.mean1 = r.mean1;
    kept.sd1 = r.sd1;
    kept.mean2 = r.mean2;
    kept.sd2 = r.sd2;
    kept.absT = r.absT;
    kept.critical = r.critical;
    kept.df = r.df;

    showHomoscedasticity(w.ui, r);
    return r.homoscedastic;
}

void Rankit(MainWindow& w, ValueArray& sv1, ValueArray& sv2, double n1, int n2) {
    w.postStatus("     Conducting Rankits Transformation");
    int c1 = 0;
    int c2 = 0;
    if (!checkedCounts(w, n1, n2, c1, c2)) {
        return;
    }
    SampleBuffer b1{};
    SampleBuffer b2{};
    const RankitResult r =
        rankitTransform(firstValues(sv1, c1, b1), firstValues(sv2, c2, b2), w.lookup());

    for (int i = 1; i <= c1; ++i) {
        sv1[i] = r.rankits1[static_cast<std::size_t>(i - 1)];
    }
    for (int i = 1; i <= c2; ++i) {
        sv2[i] = r.rankits2[static_cast<std::size_t>(i - 1)];
    }
    AnalysisState& a = w.analysis;
    a.rankit.pooled = r.pooled;
    a.rankit.rankits = r.rankits;
    a.SampTransMean = MeanOfValues(sv1);
    a.RefTransMean = MeanOfValues(sv2);
    a.SampTransStdDev = StdDevOfValues(sv1);
    a.RefTransStdDev = StdDevOfValues(sv2);

    showRankits(w, sv1, sv2);
    a.RankitUsed = true;
}

double StudentT_Test(MainWindow& w, double x1, double s1, double n1, double x2, double s2, int n2) {
    w.postStatus("     Conducting Student's t-Test");
    const int c1 = tCount(n1);
    const int c2 = tCount(n2);
    const double alpha = currentAlpha(w);
    const TwoSampleTResult r =
        studentTTest(x1, s1, c1, x2, s2, c2, currentNull(w), alpha, w.lookup());
    keepTTest(w.analysis, r.df, r.t, r.critical);
    showStudentT(w.ui, r);
    powerStep(w, [&](double d) { return PowerT(alpha, s1, s2, c1, c2, d, w.lookup()); });
    return r.t;
}

double Approx_Ttest(MainWindow& w, double x1, double s1, double n1, double x2, double s2, int n2) {
    w.postStatus("     Conducting Approximate t-Test");
    const int c1 = tCount(n1);
    const int c2 = tCount(n2);
    const double alpha = currentAlpha(w);
    const TwoSampleTResult r =
        approximateTTest(x1, s1, c1, x2, s2, c2, currentNull(w), alpha, w.lookup());
    keepTTest(w.analysis, r.df, r.t, r.critical);
    showApproximateT(w.ui, r);
    powerStep(w, [&](double d) { return PowerT_A(alpha, s1, s2, c1, c2, d, w.lookup()); });
    return r.t;
}

double MannWhit(MainWindow& w, ValueArray& sv1, ValueArray& sv2, double n1, int n2) {
    w.postStatus("     Conducting Mann-Whitney");
    int c1 = 0;
    int c2 = 0;
    if (!checkedCounts(w, n1, n2, c1, c2)) {
        return 0.0;
    }
    SampleBuffer b1{};
    SampleBuffer b2{};
    const MannWhitneyResult r = mannWhitneyTest(firstValues(sv1, c1, b1), firstValues(sv2, c2, b2),
                                                currentNull(w), currentAlpha(w), w.lookup());
    if (r.cannotReject) {
        w.postStatus(kCannotReject);
    }

    for (int i = 1; i <= c1; ++i) {
        sv1[i] = r.ranks1[static_cast<std::size_t>(i - 1)];
    }
    for (int i = 1; i <= c2; ++i) {
        sv2[i] = r.ranks2[static_cast<std::size_t>(i - 1)];
    }
    MannWhitneyValues& kept = w.analysis.mannWhitney;
    kept.pooled = r.pooled;
    kept.pooledRanks = r.pooledRanks;
    copyInto(kept.testRanks, r.ranks1, static_cast<std::size_t>(c1));
    copyInto(kept.refRanks, r.ranks2, static_cast<std::size_t>(c2));
    kept.u = r.u;
    kept.critical = r.critical;
    kept.key = r.key;

    showMannWhitney(w.ui, r, w.analysis.Balanced);
    return r.u;
}

void Ttest_OneSample(MainWindow& w, double x1, double s1, double n1, double x2) {
    w.postStatus("     Conducting One Sample t-Test");
    const int c1 = tCount(n1);
    if (oneSampleT(x1, s1, c1, x2).infinite) {
        w.postStatus(kNoSpread);
    }
    const double alpha = currentAlpha(w);
    const OneSampleTResult r = oneSampleTTest(x1, s1, c1, x2, currentNull(w), alpha, w.lookup());
    keepTTest(w.analysis, r.df, r.t, r.critical);
    showOneSampleT(w.ui, r, w.analysis.Balanced);
    powerStep(w, [&](double d) { return PowerT_1(alpha, s1, c1, d, w.lookup()); });
}

}  // namespace bx
