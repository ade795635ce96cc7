#include "statistics/analyze.h"

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
    s.transformedMean = meanOf(s.transformedValues());
    s.transformedSd = stdDevOf(s.transformedValues());
}

// One run of the decision tree; the comparison collects the results and notes.
class Run {
  public:
    Run(Comparison& c, const AnalysisOptions& options, const StatTables& tables)
        : c_(c), options_(options), tables_(tables, c.notes) {}

    void oneSampleT() {
        note(NoteCode::OneSampleTStep);
        const SampleStatistics& x1 = c_.testSample;
        const double x2 = c_.referenceSample.transformedMean;
        if (oneSampleTStatistic(x1.transformedMean, x1.transformedSd, x1.count, x2).infinite) {
            note(NoteCode::NoSpread);
        }
        c_.oneSampleT = bx::oneSampleT(x1.transformedMean, x1.transformedSd, x1.count, x2,
                                       options_.alternative, options_.alpha, tables_);
        c_.test = TestKind::OneSampleT;
        powerStep([&](double d) {
            return oneSampleTPower(options_.alpha, x1.transformedSd, x1.count, d, tables_);
        });
    }

    bool normal() {
        note(NoteCode::ShapiroWilkStep);
        const SampleStatistics& x1 = c_.testSample;
        const SampleStatistics& x2 = c_.referenceSample;
        c_.normality = shapiroWilk(x1.transformedValues(), x2.transformedValues(),
                                   x1.transformedMean, x2.transformedMean, c_.balanced, tables_);
        if (!c_.normality->testable) {
            note(NoteCode::NormalityUntestable);
        }
        return c_.normality->normal;
    }

    // Levene's test on the values the run works on (the rankits after the transformation).
    bool equalVariances() {
        note(NoteCode::LeveneStep);
        std::span<const double> x1 = c_.testSample.transformedValues();
        std::span<const double> x2 = c_.referenceSample.transformedValues();
        if (c_.rankits) {
            x1 = {c_.rankits->rankits1.data(), x1.size()};
            x2 = {c_.rankits->rankits2.data(), x2.size()};
        }
        c_.levene = levene(x1, x2, c_.workedMean(true), c_.workedMean(false), c_.balanced,
                           options_.alternative, tables_);
        if (!c_.levene->testable) {
            note(NoteCode::HomoscedasticityUntestable);
        }
        return c_.levene->homoscedastic;
    }

    // Student's t for equal variances, the approximate t otherwise, on the worked means.
    void tTest(bool equalVariances) {
        const double x1 = c_.workedMean(true);
        const double s1 = c_.workedSd(true);
        const double x2 = c_.workedMean(false);
        const double s2 = c_.workedSd(false);
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
    }

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

    // Only with the option on (and not switched off by this run): without a difference the
    // warning, otherwise the power.
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
        c_.power = compute(options_.minimumDifference);
    }

    Comparison& c_;
    const AnalysisOptions& options_;
    TableLookup tables_;
};

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
    c.balanced = isBalanced(c.testSample.count, c.referenceSample.count);

    Run run(c, options, tables);
    if (referenceWithoutSpread(samples.reference, options.oneSampleForFewReferences)) {
        run.oneSampleT();
        return c;
    }
    if (run.normal()) {
        run.tTest(run.equalVariances());
        return c;
    }
    if (overrideAnswer == OverrideAnswer::Ask) {
        c.overrideQuestionDue = true;
        return c;
    }
    if (overrideAnswer == OverrideAnswer::Yes) {
        c.normalityOverride = NormalityOverride::Invoked;
        run.tTest(run.equalVariances());
        return c;
    }
    c.normalityOverride = NormalityOverride::NotInvoked;
    c.powerSwitchedOff = true;
    if (run.equalVariances()) {
        run.mannWhitney();
        return c;
    }
    run.rankitTransformation();
    c.leveneBeforeRankits = c.levene;
    run.tTest(run.equalVariances());
    return c;
}

}  // namespace bx
