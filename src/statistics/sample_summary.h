// SPDX-License-Identifier: MIT
#pragma once
// The figures a reader wants of one sample of a comparison, derived once here so that every
// output gives the same: count, mean, SD, standard error of the mean, coefficient of variation,
// and the mean and SD of the transformed values.

#include <optional>

#include "statistics/comparison.h"

namespace bx {

struct SampleSummary {
    int n = 0;
    double mean = 0.0;
    double sd = 0.0;
    std::optional<double> se;  // sd / sqrt(n); empty without values
    std::optional<double> cv;  // 100 * sd / mean, in percent; empty when the mean is 0
    double transformedMean = 0.0;
    double transformedSd = 0.0;
};

SampleSummary sampleSummary(const SampleStatistics& sample);

// The test sample's summary, or the reference's.
SampleSummary sampleSummary(const Comparison& c, bool testSample);

}  // namespace bx
