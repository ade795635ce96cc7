#include "statistics/comparison.h"

namespace bx {

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

}  // namespace bx
