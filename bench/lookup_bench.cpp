// SPDX-License-Identifier: MIT
// The statistical tables' typed answers, with arguments a run really passes.
#include <benchmark/benchmark.h>

#include <functional>

#include "bench_support.h"
#include "tables/stat_tables.h"

namespace bx::bench {
namespace {

using Read = std::function<std::optional<double>(const StatTables&)>;

void BM_Table(benchmark::State& state, const Read& read) {
    const auto tables = StatTables::load(BX_PROGRAM_DIR);
    for (auto _ : state) {
        benchmark::DoNotOptimize(read(*tables));
    }
}

BENCHMARK_CAPTURE(BM_Table, ShapiroWilkCoefficient,
                  Read([](const StatTables& t) { return t.shapiroWilkCoefficient(20, 5); }));
BENCHMARK_CAPTURE(BM_Table, CriticalW,
                  Read([](const StatTables& t) { return t.criticalW(20, 0.05); }));
BENCHMARK_CAPTURE(BM_Table, CriticalT,
                  Read([](const StatTables& t) { return t.criticalT(18, 0.1); }));
BENCHMARK_CAPTURE(BM_Table, CriticalU,
                  Read([](const StatTables& t) { return t.criticalU(10, 10, 0.05); }));
BENCHMARK_CAPTURE(BM_Table, Rankit, Read([](const StatTables& t) { return t.rankit(20, 7); }));
BENCHMARK_CAPTURE(BM_Table, PowerPercent,
                  Read([](const StatTables& t) { return t.powerPercent(1.64); }));

}  // namespace
}  // namespace bx::bench
