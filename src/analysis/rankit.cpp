#include "analysis/rankit.h"

#include "analysis/exchange_sort.h"
#include "tables/lookup.h"

namespace bx {
namespace {

// The rankit of the pooled position whose value equals `v` (all such positions share it).
double rankitOf(double v, const RankitResult& r) {
    double found = 0.0;
    for (int j = 0; j < r.pooledCount; ++j) {
        if (r.pooled[static_cast<std::size_t>(j)] == v) {
            found = r.rankits[static_cast<std::size_t>(j)];
        }
    }
    return found;
}

}  // namespace

RankitResult rankitTransform(std::span<const double> x1, std::span<const double> x2,
                             Lookup& lookup) {
    RankitResult r;
    if (x1.size() > r.rankits1.size() || x2.size() > r.rankits2.size()) {
        r.tooManyValues = true;
        return r;
    }
    const std::size_t total = x1.size() + x2.size();
    const int n = static_cast<int>(total);
    r.pooledCount = n;
    std::size_t p = 0;
    for (double v : x1) {
        r.pooled[p++] = v;
    }
    for (double v : x2) {
        r.pooled[p++] = v;
    }
    exchangeSort(std::span<double>(r.pooled.data(), total));

    for (std::size_t i = 0; i < total; ++i) {
        double sum = 0.0;
        int count = 0;
        for (std::size_t j = 0; j < total; ++j) {
            if (r.pooled[j] == r.pooled[i]) {
                sum += lookup.lookupValue(n, static_cast<double>(j + 1), "R1");
                ++count;
            }
        }
        r.rankits[i] = sum / count;
    }

    for (std::size_t i = 0; i < x1.size(); ++i) {
        r.rankits1[i] = rankitOf(x1[i], r);
    }
    for (std::size_t i = 0; i < x2.size(); ++i) {
        r.rankits2[i] = rankitOf(x2[i], r);
    }
    return r;
}

}  // namespace bx
