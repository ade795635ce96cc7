#pragma once
// The analysis state of the current comparison: the value arrays, counts, means and standard
// deviations, and the working values each test leaves for the logs and the report. One
// instance per window; every run overwrites it.

#include <array>
#include <string>

#include "entry/value_array.h"

namespace bx {

using PooledArray = std::array<double, kMaxPooled>;  // position i is element [i - 1]

struct ShapiroWilkValues {
    PooledArray residuals{};  // the N residuals ascending, then zeros
    bool computed = false;    // false: W, residual mean and SD read "N/A"
    double residualMean = 0.0;
    double residualSd = 0.0;
    double ss = 0.0;
    int k = 0;
    double b = 0.0;
    double w = 0.0;
    double criticalW = 0.0;
};

struct LeveneValues {
    ValueArray absResiduals1;  // slots 1..n1: |x1(i) - mean1|, the rest empty
    ValueArray absResiduals2;
    double mean1 = 0.0;
    double sd1 = 0.0;
    double mean2 = 0.0;
    double sd2 = 0.0;
    double absT = 0.0;
    double critical = 0.0;
    int df = 0;
};

struct RankitValues {
    PooledArray pooled{};   // the pooled values ascending
    PooledArray rankits{};  // rankit of the i-th smallest pooled value
};

struct MannWhitneyValues {
    PooledArray pooled{};
    PooledArray pooledRanks{};
    PooledArray testRanks{};
    PooledArray refRanks{};
    double u = 0.0;
    double critical = 0.0;
    std::string key;  // the CRIT_U key, e.g. "5,4"; empty when no Mann-Whitney test ran
};

struct TTestValues {
    int df = 0;
    double t = 0.0;
    double critical = 0.0;
};

struct AnalysisState {
    ValueArray SampRaw = ValueArray::zeros();
    ValueArray RefRaw = ValueArray::zeros();
    ValueArray SampTrans = ValueArray::zeros();
    ValueArray RefTrans = ValueArray::zeros();

    double SampN = 0.0;  // a whole number held as a double
    int RefN = 0;
    double SampMean = 0.0;
    double SampStdDev = 0.0;
    double SampTransMean = 0.0;
    double SampTransStdDev = 0.0;
    double RefMean = 0.0;
    double RefStdDev = 0.0;
    double RefTransMean = 0.0;
    double RefTransStdDev = 0.0;
    bool Balanced = false;
    bool RankitUsed = false;

    ShapiroWilkValues shapiroWilk;
    LeveneValues levene;
    RankitValues rankit;
    MannWhitneyValues mannWhitney;
    TTestValues tTest;

    // Back to zero: every test's working values and arrays (start of each run).
    void resetTestValues() {
        shapiroWilk = {};
        levene = {};
        rankit = {};
        mannWhitney = {};
        tTest = {};
    }
};

}  // namespace bx
