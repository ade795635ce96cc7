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

// The two samples of an array-based test as numbers: the first n1 and n2 slots of the value
// arrays. The counts are checked to fit a value array, so nothing is read or written beyond
// the 10 slots and the pooled working arrays of 20 positions never overflow.
struct TwoSamples {
    bool valid = false;
    int c1 = 0;
    int c2 = 0;
    SampleBuffer b1{};
    SampleBuffer b2{};

    std::span<const double> first() const { return {b1.data(), static_cast<std::size_t>(c1)}; }
    std::span<const double> second() const { return {b2.data(), static_cast<std::size_t>(c2)}; }
};

// The samples, or valid == false (with the error posted) when either count does not fit.
TwoSamples readSamples(MainWindow& w, const ValueArray& sv1, const ValueArray& sv2, double n1,
                       int n2) {
    TwoSamples s;
    s.c1 = wholeCount(n1, kMaxReplicates);
    s.c2 = wholeCount(n2, kMaxReplicates);
    if (s.c1 < 0 || s.c2 < 0) {
        w.postStatus(kTooManyValues);
        return s;
    }
    for (int i = 1; i <= s.c1; ++i) {
        s.b1[static_cast<std::size_t>(i - 1)] = slotValue(sv1[i]);
    }
    for (int i = 1; i <= s.c2; ++i) {
        s.b2[static_cast<std::size_t>(i - 1)] = slotValue(sv2[i]);
    }
    s.valid = true;
    return s;
}

// Slots 1..n of a value array from the first n values of a result; later slots stay as they are.
void setSlots(ValueArray& target, const SampleBuffer& source, int n) {
    for (int i = 1; i <= n; ++i) {
        target[i] = source[static_cast<std::size_t>(i - 1)];
    }
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

using TwoSampleTTest = TwoSampleTResult (*)(double, double, int, double, double, int,
                                            NullHypothesis, double, Lookup&);
using TwoSamplePower = PowerResult (*)(double, double, double, int, int, double, Lookup&);

// The two-sample t-tests (Student's pooled and the approximate one): the statistic, its
// display and the optional power step differ only in the functions used.
double twoSampleT(MainWindow& w, TwoSampleTTest test,
                  void (*show)(WindowState&, const TwoSampleTResult&), TwoSamplePower power,
                  double x1, double s1, double n1, double x2, double s2, int n2) {
    const int c1 = tCount(n1);
    const int c2 = tCount(n2);
    const double alpha = currentAlpha(w);
    const TwoSampleTResult r = test(x1, s1, c1, x2, s2, c2, currentNull(w), alpha, w.lookup());
    keepTTest(w.analysis, r.df, r.t, r.critical);
    show(w.ui, r);
    powerStep(w, [&](double d) { return power(alpha, s1, s2, c1, c2, d, w.lookup()); });
    return r.t;
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
    const TwoSamples samples = readSamples(w, sv1, sv2, n1, n2);
    if (!samples.valid) {
        return false;
    }
    const ShapiroWilkResult r = shapiroWilkTest(samples.first(), samples.second(), mean1, mean2,
                                                w.analysis.Balanced, w.lookup());
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
    const TwoSamples samples = readSamples(w, sv1, sv2, n1, n2);
    if (!samples.valid) {
        return false;
    }
    const LeveneResult r = leveneTest(samples.first(), samples.second(), sv1Mean, sv2Mean,
                                      w.analysis.Balanced, currentNull(w), w.lookup());
    if (!r.testable) {
        w.postStatus("     **** Warning: Unable to test for Homoscedasticity (Alpha 0.25).");
    }

    LeveneValues& kept = w.analysis.levene;
    kept.absResiduals1 = ValueArray{};
    kept.absResiduals2 = ValueArray{};
    setSlots(kept.absResiduals1, r.absResiduals1, samples.c1);
    setSlots(kept.absResiduals2, r.absResiduals2, samples.c2);
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
    const TwoSamples samples = readSamples(w, sv1, sv2, n1, n2);
    if (!samples.valid) {
        return;
    }
    const RankitResult r = rankitTransform(samples.first(), samples.second(), w.lookup());

    setSlots(sv1, r.rankits1, samples.c1);
    setSlots(sv2, r.rankits2, samples.c2);
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
    return twoSampleT(w, studentTTest, showStudentT, PowerT, x1, s1, n1, x2, s2, n2);
}

double Approx_Ttest(MainWindow& w, double x1, double s1, double n1, double x2, double s2, int n2) {
    w.postStatus("     Conducting Approximate t-Test");
    return twoSampleT(w, approximateTTest, showApproximateT, PowerT_A, x1, s1, n1, x2, s2, n2);
}

double MannWhit(MainWindow& w, ValueArray& sv1, ValueArray& sv2, double n1, int n2) {
    w.postStatus("     Conducting Mann-Whitney");
    const TwoSamples samples = readSamples(w, sv1, sv2, n1, n2);
    if (!samples.valid) {
        return 0.0;
    }
    const MannWhitneyResult r = mannWhitneyTest(samples.first(), samples.second(), currentNull(w),
                                                currentAlpha(w), w.lookup());
    if (r.cannotReject) {
        w.postStatus(kCannotReject);
    }

    setSlots(sv1, r.ranks1, samples.c1);
    setSlots(sv2, r.ranks2, samples.c2);
    MannWhitneyValues& kept = w.analysis.mannWhitney;
    kept.pooled = r.pooled;
    kept.pooledRanks = r.pooledRanks;
    copyInto(kept.testRanks, r.ranks1, static_cast<std::size_t>(samples.c1));
    copyInto(kept.refRanks, r.ranks2, static_cast<std::size_t>(samples.c2));
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
