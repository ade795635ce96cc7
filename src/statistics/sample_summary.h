#pragma once
// The summary of one sample of a comparison that scripts and reports read beside the test:
// count, mean, SD, standard error, coefficient of variation and the transformed mean and SD.

#include <optional>

#include "statistics/comparison.h"

namespace bx {

struct SampleSummary {
    int n = 0;
    double mean = 0.0;
    double sd = 0.0;
    double se = 0.0;           // sd / sqrt(n)
    std::optional<double> cv;  // 100 sd / mean, in %; empty when the mean is 0
    double transformedMean = 0.0;
    double transformedSd = 0.0;
};

SampleSummary summarize(const SampleStatistics& sample);

}  // namespace bx
