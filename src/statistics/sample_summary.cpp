#include "statistics/sample_summary.h"

#include <cmath>

namespace bx {

SampleSummary summarize(const SampleStatistics& sample) {
    SampleSummary s;
    s.n = sample.count;
    s.mean = sample.mean;
    s.sd = sample.sd;
    s.se = sample.count > 0 ? sample.sd / std::sqrt(static_cast<double>(sample.count)) : 0.0;
    if (sample.mean != 0.0) {
        s.cv = 100.0 * sample.sd / sample.mean;
    }
    s.transformedMean = sample.transformedMean;
    s.transformedSd = sample.transformedSd;
    return s;
}

}  // namespace bx
