// SPDX-License-Identifier: MIT
#include "statistics/comparison.h"

#include <cmath>
#include <limits>

#include "statistics/descriptive.h"
#include "statistics/p_value.h"

namespace bx {

bool Comparison::lookupFailed() const {
    for (const Note& note : notes) {
        if (isLookupFailure(note.code)) {
            return true;
        }
    }
    return false;
}

double Comparison::statistic() const {
    if (tTest) {
        return tTest->t;
    }
    if (mannWhitney) {
        return mannWhitney->u;
    }
    if (oneSampleT) {
        return oneSampleT->t;
    }
    return 0.0;
}

double Comparison::criticalValue() const {
    if (tTest) {
        return tTest->critical;
    }
    if (mannWhitney) {
        return mannWhitney->critical;
    }
    if (oneSampleT) {
        return oneSampleT->critical;
    }
    return 0.0;
}

bool Comparison::acceptNull() const {
    if (tTest) {
        return tTest->acceptNull;
    }
    if (mannWhitney) {
        return mannWhitney->acceptNull;
    }
    if (oneSampleT) {
        return oneSampleT->acceptNull;
    }
    return false;
}

double Comparison::workedMean(bool ofTestSample) const {
    if (rankits) {
        return ofTestSample ? rankits->mean1 : rankits->mean2;
    }
    return ofTestSample ? testSample.transformedMean : referenceSample.transformedMean;
}

double Comparison::workedSd(bool ofTestSample) const {
    if (rankits) {
        return ofTestSample ? rankits->sd1 : rankits->sd2;
    }
    return ofTestSample ? testSample.transformedSd : referenceSample.transformedSd;
}

double Comparison::finalValue(bool ofTestSample, int i) const {
    const auto k = static_cast<std::size_t>(i);
    if (mannWhitney) {
        return ofTestSample ? mannWhitney->ranks1.at(k) : mannWhitney->ranks2.at(k);
    }
    if (rankits) {
        return ofTestSample ? rankits->rankits1.at(k) : rankits->rankits2.at(k);
    }
    return ofTestSample ? testSample.transformed.at(k) : referenceSample.transformed.at(k);
}

double Comparison::pValue() const {
    if (tTest) {
        return studentTUpperTail(tTest->t, tTest->df);
    }
    if (oneSampleT) {
        return oneSampleT->critical < 0.0 ? studentTLowerTail(oneSampleT->t, oneSampleT->df)
                                          : studentTUpperTail(oneSampleT->t, oneSampleT->df);
    }
    if (mannWhitney) {
        return mannWhitneyUpperTail(mannWhitney->u, testSample.count, referenceSample.count);
    }
    return std::numeric_limits<double>::quiet_NaN();
}

std::optional<int> Comparison::degreesOfFreedom() const {
    if (tTest) {
        return tTest->df;
    }
    if (oneSampleT) {
        return oneSampleT->df;
    }
    return std::nullopt;
}

double Comparison::difference() const {
    return testSample.mean - referenceSample.mean;
}

std::optional<double> Comparison::percentOfReference() const {
    if (referenceSample.mean == 0.0) {
        return std::nullopt;
    }
    // Means beyond the safe range are first scaled by one power of two, so that 100 times the
    // test mean cannot overflow and a tiny reference mean keeps its digits.
    const double means[] = {testSample.mean, referenceSample.mean};
    const int exponent = safeScaleExponent(means);
    return 100.0 * timesPowerOfTwo(testSample.mean, -exponent) /
           timesPowerOfTwo(referenceSample.mean, -exponent);
}

std::optional<double> Comparison::minimumSignificantDifference() const {
    if (tTest) {
        return std::fabs(tTest->critical) * tTest->standardError;
    }
    if (oneSampleT) {
        return std::fabs(oneSampleT->critical) * oneSampleT->standardError;
    }
    return std::nullopt;
}

}  // namespace bx
