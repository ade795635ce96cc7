// SPDX-License-Identifier: MIT
#include "statistics/analyze.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "statistics/approximate_t.h"
#include "statistics/descriptive.h"
#include "statistics/table_lookup.h"
#include "statistics/transformations.h"
#include "tables/stat_tables.h"

namespace bx {
namespace {

void describe(SampleStatistics& s, std::span<const double> values, Transformation transformation) {
    s.count = static_cast<int>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        s.values.at(i) = values[i];
        s.transformed.at(i) = transformed(transformation, values[i]);
    }
    s.mean = meanOf(values);
    s.sd = stdDevOf(values);
    if (transformation == Transformation::None) {
        // The same values: the same sums.
        s.transformedMean = s.mean;
        s.transformedSd = s.sd;
        return;
    }
    s.transformedMean = meanOf(s.transformedValues());
    s.transformedSd = stdDevOf(s.transformedValues());
}

// The values the tests work on: the transformed values of both samples times 2^-exponent,
// one power of two for both (0 for data in the safe range, see safeScaleExponent), with their
// means and SDs. Every sum of the tests then stays within the doubles whatever the data's
// scale, and since the factor is exact the statistics equal those of unscaled data wherever
// these do not overflow or vanish.
struct WorkedValues {
    int exponent = 0;
    std::array<double, kMaxReplicates> test{};
    std::array<double, kMaxReplicates> reference{};
    std::size_t n1 = 0;
    std::size_t n2 = 0;
    double mean1 = 0.0;
    double sd1 = 0.0;
    double mean2 = 0.0;
    double sd2 = 0.0;

    WorkedValues(const SampleStatistics& x1, const SampleStatistics& x2)
        : n1(static_cast<std::size_t>(x1.count)), n2(static_cast<std::size_t>(x2.count)) {
        std::array<double, kMaxPooled> both{};
        std::copy_n(x1.transformed.begin(), n1, both.begin());
        std::copy_n(x2.transformed.begin(), n2, both.begin() + static_cast<std::ptrdiff_t>(n1));
        exponent = safeScaleExponent(std::span<const double>(both.data(), n1 + n2));
        for (std::size_t i = 0; i < n1; ++i) {
            test.at(i) = timesPowerOfTwo(x1.transformed.at(i), -exponent);
        }
        for (std::size_t i = 0; i < n2; ++i) {
            reference.at(i) = timesPowerOfTwo(x2.transformed.at(i), -exponent);
        }
        mean1 = meanOfSafeRange(testValues());
        sd1 = stdDevOfSafeRange(testValues());
        mean2 = meanOfSafeRange(referenceValues());
        sd2 = stdDevOfSafeRange(referenceValues());
    }

    std::span<const double> testValues() const { return {test.data(), n1}; }
    std::span<const double> referenceValues() const { return {reference.data(), n2}; }
};

// One run of the decision tree; the comparison collects the results and notes. The tests run
// on the worked values; what the results hold in the data's units (residuals, standard errors,
// spreads) is scaled back exactly before it is kept.
class Run {
  public:
    static constexpr std::size_t kTypicalNotes = 6;

    Run(Comparison& c, const AnalysisOptions& options, const StatTables& tables)
        : c_(c),
          options_(options),
          tables_(tables, c.notes),
          worked_(c.testSample, c.referenceSample) {
        // A run takes three to five steps: their notes in one allocation.
        c_.notes.reserve(kTypicalNotes);
    }

    void oneSampleT() {
        note(NoteCode::OneSampleTStep);
        const WorkedValues& v = worked_;
        const int n1 = c_.testSample.count;
        if (oneSampleTStatistic(v.mean1, v.sd1, n1, v.mean2).infinite) {
            note(NoteCode::NoSpread);
        }
        c_.oneSampleT = bx::oneSampleT(v.mean1, v.sd1, n1, v.mean2, options_.alternative,
                                       options_.alpha, tables_);
        c_.oneSampleT->standardError = unscaled(c_.oneSampleT->standardError);
        c_.test = TestKind::OneSampleT;
        powerStep([&](double d) { return oneSampleTPower(options_.alpha, v.sd1, n1, d, tables_); });
    }

    bool normal() {
        note(NoteCode::ShapiroWilkStep);
        const WorkedValues& v = worked_;
        c_.normality = shapiroWilk(v.testValues(), v.referenceValues(), v.mean1, v.mean2,
                                   c_.balanced, tables_);
        ShapiroWilkResult& w = *c_.normality;
        for (double& r : w.residuals) {
            r = unscaled(r);
        }
        w.residualMean = unscaled(w.residualMean);
        w.residualSd = unscaled(w.residualSd);
        w.b = unscaled(w.b);
        w.ss = timesPowerOfTwo(w.ss, 2 * exponent());  // a sum of squares: the square of the factor
        if (!w.testable) {
            note(NoteCode::NormalityUntestable);
        }
        return w.normal;
    }

    // Levene's test on the values the run works on (the rankits after the transformation).
    bool equalVariances() {
        note(NoteCode::LeveneStep);
        std::span<const double> x1 = worked_.testValues();
        std::span<const double> x2 = worked_.referenceValues();
        if (c_.rankits) {
            x1 = {c_.rankits->rankits1.data(), x1.size()};
            x2 = {c_.rankits->rankits2.data(), x2.size()};
        }
        c_.levene = levene(x1, x2, workedMean(true), workedMean(false), c_.balanced,
                           options_.alternative, tables_);
        LeveneResult& l = *c_.levene;
        for (double& r : l.absResiduals1) {
            r = unscaled(r);
        }
        for (double& r : l.absResiduals2) {
            r = unscaled(r);
        }
        for (double* value : {&l.mean1, &l.sd1, &l.mean2, &l.sd2}) {
            *value = unscaled(*value);
        }
        if (!l.testable) {
            note(NoteCode::HomoscedasticityUntestable);
        }
        return l.homoscedastic;
    }

    // Student's t for equal variances, the approximate t otherwise, on the worked means.
    void tTest(bool equalVariances) {
        const double x1 = workedMean(true);
        const double s1 = workedSd(true);
        const double x2 = workedMean(false);
        const double s2 = workedSd(false);
        const int n1 = c_.testSample.count;
        const int n2 = c_.referenceSample.count;
        const double alpha = options_.alpha;
        if (equalVariances) {
            note(NoteCode::StudentTStep);
            c_.tTest = pooledT(x1, s1, n1, x2, s2, n2, options_.alternative, alpha, tables_);
            c_.test = TestKind::StudentT;
            powerStep([&](double d) { return pooledTPower(alpha, s1, s2, n1, n2, d, tables_); });
        } else {
            note(NoteCode::ApproximateTStep);
            c_.tTest = welchT(x1, s1, n1, x2, s2, n2, options_.alternative, alpha, tables_);
            c_.test = TestKind::ApproximateT;
            powerStep([&](double d) { return welchTPower(alpha, s1, s2, n1, n2, d, tables_); });
        }
        c_.tTest->standardError = unscaled(c_.tTest->standardError);
    }

    // Ranks need only the order of the values, which is the same at every scale.
    void mannWhitney() {
        note(NoteCode::MannWhitneyStep);
        c_.mannWhitney =
            mannWhitneyU(c_.testSample.transformedValues(), c_.referenceSample.transformedValues(),
                         options_.alternative, options_.alpha, tables_);
        c_.test = TestKind::MannWhitney;
        if (c_.mannWhitney->cannotReject) {
            note(NoteCode::MannWhitneyCannotReject);
        }
    }

    void rankitTransformation() {
        note(NoteCode::RankitNotice);
        note(NoteCode::RankitStep);
        c_.rankits = rankits(c_.testSample.transformedValues(),
                             c_.referenceSample.transformedValues(), tables_);
    }

  private:
    void note(NoteCode code) { c_.notes.push_back({code, noteText(code)}); }

    // The power of two the current values are scaled by: none for the rankits, which do not
    // depend on the data's scale.
    int exponent() const { return c_.rankits ? 0 : worked_.exponent; }
    double unscaled(double v) const { return timesPowerOfTwo(v, exponent()); }

    double workedMean(bool ofTestSample) const {
        if (c_.rankits) {
            return c_.workedMean(ofTestSample);
        }
        return ofTestSample ? worked_.mean1 : worked_.mean2;
    }
    double workedSd(bool ofTestSample) const {
        if (c_.rankits) {
            return c_.workedSd(ofTestSample);
        }
        return ofTestSample ? worked_.sd1 : worked_.sd2;
    }

    // Only with the option on (and not switched off by this run): without a difference the
    // warning, otherwise the power, for the difference on the scale of the worked values.
    template <typename Compute>
    void powerStep(Compute compute) {
        if (!options_.power || c_.powerSwitchedOff) {
            return;
        }
        if (options_.minimumDifference == 0.0) {
            c_.powerMissingDifference = true;
            note(NoteCode::NoMinimumDifference);
            return;
        }
        note(NoteCode::PowerStep);
        c_.power = compute(timesPowerOfTwo(options_.minimumDifference, -exponent()));
        c_.power->spread = unscaled(c_.power->spread);
    }

    Comparison& c_;
    const AnalysisOptions& options_;
    TableLookup tables_;
    WorkedValues worked_;
};

bool finite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// Every statistic the run decides on or shows is a number; only the documented infinite t of a
// one-sample test without spread is not finite.
bool resultsFinite(const Comparison& c) {
    for (const SampleStatistics* s : {&c.testSample, &c.referenceSample}) {
        if (!finite({s->mean, s->sd, s->transformedMean, s->transformedSd})) {
            return false;
        }
    }
    if (c.normality && !finite({c.normality->w, c.normality->residualMean, c.normality->residualSd,
                                c.normality->b})) {
        return false;
    }
    for (const std::optional<LeveneResult>& l : {c.levene, c.leveneBeforeRankits}) {
        if (l && !finite({l->absT, l->mean1, l->sd1, l->mean2, l->sd2})) {
            return false;
        }
    }
    if (c.rankits &&
        !finite({c.rankits->mean1, c.rankits->sd1, c.rankits->mean2, c.rankits->sd2})) {
        return false;
    }
    if (c.tTest && !finite({c.tTest->t, c.tTest->standardError})) {
        return false;
    }
    if (c.oneSampleT && (!finite({c.oneSampleT->standardError}) ||
                         !(c.oneSampleT->infinite || std::isfinite(c.oneSampleT->t)))) {
        return false;
    }
    if (c.mannWhitney && !finite({c.mannWhitney->u})) {
        return false;
    }
    if (c.power && !finite({c.power->percent})) {
        return false;
    }
    // With a finite statistic and whole degrees of freedom the p-value is a number too; it is
    // not worked out here, where it would cost as much again as the rest of a batch's analysis.
    return true;
}

// The decision tree on described samples.
void decide(Comparison& c, const Samples& samples, const AnalysisOptions& options,
            const StatTables& tables, OverrideAnswer overrideAnswer) {
    Run run(c, options, tables);
    if (referenceWithoutSpread(samples.reference, options.oneSampleForFewReferences)) {
        run.oneSampleT();
        return;
    }
    if (run.normal()) {
        run.tTest(run.equalVariances());
        return;
    }
    if (overrideAnswer == OverrideAnswer::Ask) {
        c.overrideQuestionDue = true;
        return;
    }
    if (overrideAnswer == OverrideAnswer::Yes) {
        c.normalityOverride = NormalityOverride::Invoked;
        run.tTest(run.equalVariances());
        return;
    }
    c.normalityOverride = NormalityOverride::NotInvoked;
    c.powerSwitchedOff = true;
    if (run.equalVariances()) {
        run.mannWhitney();
        return;
    }
    run.rankitTransformation();
    c.leveneBeforeRankits = c.levene;
    run.tTest(run.equalVariances());
}

}  // namespace

bool isBalanced(int n1, int n2) {
    if (n1 > n2) {
        return 2 * n2 > n1;
    }
    return 2 * n1 > n2;
}

bool referenceWithoutSpread(std::span<const double> reference, bool oneSampleForFewReferences) {
    if (reference.size() < 3 && !oneSampleForFewReferences) {
        return false;
    }
    for (std::size_t i = 1; i < reference.size(); ++i) {
        if (reference[i] != reference[0]) {
            return false;
        }
    }
    return true;
}

Comparison analyze(const Samples& samples, const AnalysisOptions& options, const StatTables& tables,
                   OverrideAnswer overrideAnswer) {
    Comparison c;
    // Stand-ins for a missing or altered table would give a verdict that looks valid.
    if (!tables.installationProblem().empty()) {
        c.refusal = Note{NoteCode::TablesDamaged,
                         "     ERROR - " + tables.installationProblem() + "; test not made."};
        return c;
    }
    const auto limit = static_cast<std::size_t>(kMaxReplicates);
    if (samples.test.size() > limit || samples.reference.size() > limit) {
        c.refusal = Note{NoteCode::TooManyValues, noteText(NoteCode::TooManyValues)};
        return c;
    }
    describe(c.testSample, samples.test, options.transformation);
    describe(c.referenceSample, samples.reference, options.transformation);
    // The arcsine transformation reads percentages: values that all lie between 0 and 1 were
    // most likely entered as proportions.
    const auto fraction = [](double v) { return v >= 0.0 && v <= 1.0; };
    if (options.transformation == Transformation::ArcSine &&
        std::all_of(samples.test.begin(), samples.test.end(), fraction) &&
        std::all_of(samples.reference.begin(), samples.reference.end(), fraction)) {
        c.notes.push_back({NoteCode::ArcSinFractions, noteText(NoteCode::ArcSinFractions)});
    }
    c.balanced = isBalanced(c.testSample.count, c.referenceSample.count);

    decide(c, samples, options, tables, overrideAnswer);
    // A value that is still not a number must not reach a verdict or a text.
    if (!resultsFinite(c)) {
        Comparison refused;
        refused.refusal = Note{NoteCode::NotFinite, noteText(NoteCode::NotFinite)};
        return refused;
    }
    return c;
}

}  // namespace bx
