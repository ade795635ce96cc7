// SPDX-License-Identifier: MIT
#include "statistics/sample_summary.h"

#include <cmath>

namespace bx {

SampleSummary sampleSummary(const SampleStatistics& sample) {
    SampleSummary s;
    s.n = sample.count;
    s.mean = sample.mean;
    s.sd = sample.sd;
    if (s.n > 0) {
        s.se = s.sd / std::sqrt(static_cast<double>(s.n));
    }
    if (s.mean != 0.0) {
        // The ratio first: 100 times an SD near the largest doubles would overflow.
        s.cv = 100.0 * (s.sd / s.mean);
    }
    s.transformedMean = sample.transformedMean;
    s.transformedSd = sample.transformedSd;
    return s;
}

SampleSummary sampleSummary(const Comparison& c, bool testSample) {
    return sampleSummary(testSample ? c.testSample : c.referenceSample);
}

}  // namespace bx
