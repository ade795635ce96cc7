#include "analysis/mann_whitney.h"

#include "analysis/exchange_sort.h"
#include "app/text_format.h"
#include "tables/lookup.h"

namespace bx {
namespace {

double rankOf(double v, const MannWhitneyResult& r) {
    double found = 0.0;
    for (int j = 0; j < r.pooledCount; ++j) {
        if (r.pooled[static_cast<std::size_t>(j)] == v) {
            found = r.pooledRanks[static_cast<std::size_t>(j)];
        }
    }
    return found;
}

}  // namespace

std::string mannWhitneyKey(int n1, int n2) {
    const int larger = n1 > n2 ? n1 : n2;
    const int smaller = n1 > n2 ? n2 : n1;
    return std::string(trimBlanks(formatNumber(larger, "##"))) + "," +
           std::string(trimBlanks(formatNumber(smaller, "##")));
}

MannWhitneyResult mannWhitneyTest(std::span<const double> x1, std::span<const double> x2,
                                  NullHypothesis null, double alpha, Lookup& lookup) {
    MannWhitneyResult r;
    if (x1.size() > r.ranks1.size() || x2.size() > r.ranks2.size()) {
        r.tooManyValues = true;
        return r;
    }
    const std::size_t total = x1.size() + x2.size();
    r.pooledCount = static_cast<int>(total);
    std::size_t p = 0;
    for (double v : x1) {
        r.pooled[p++] = v;
    }
    for (double v : x2) {
        r.pooled[p++] = v;
    }
    exchangeSort(std::span<double>(r.pooled.data(), total));

    // Average rank of tied values: the mean of the positions they occupy.
    for (std::size_t i = 0; i < total; ++i) {
        double sum = 0.0;
        int count = 0;
        for (std::size_t j = 0; j < total; ++j) {
            if (r.pooled[j] == r.pooled[i]) {
                sum += static_cast<double>(j + 1);
                ++count;
            }
        }
        r.pooledRanks[i] = sum / count;
    }

    double rankSum1 = 0.0;
    double rankSum2 = 0.0;
    for (std::size_t i = 0; i < x1.size(); ++i) {
        r.ranks1[i] = rankOf(x1[i], r);
        rankSum1 += r.ranks1[i];
    }
    for (std::size_t i = 0; i < x2.size(); ++i) {
        r.ranks2[i] = rankOf(x2[i], r);
        rankSum2 += r.ranks2[i];
    }

    const int n1 = static_cast<int>(x1.size());
    const int n2 = static_cast<int>(x2.size());
    const double a = n1;
    const double b = n2;
    if (null == NullHypothesis::X1AtLeastX2) {
        r.u = a * b + a * (a + 1.0) / 2.0 - rankSum1;
    } else {
        r.u = a * b + b * (b + 1.0) / 2.0 - rankSum2;
    }

    r.key = mannWhitneyKey(n1, n2);
    r.critical = lookup.lookupValue(alpha, r.key, "M1");
    r.acceptNull = !(r.u >= r.critical);
    r.cannotReject = r.critical != kNotFound && r.critical > a * b;
    return r;
}

}  // namespace bx
