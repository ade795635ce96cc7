// SPDX-License-Identifier: MIT
// One analysis for each decision path, 10 and 10 replicates: analyze() alone on the typed
// samples, and a whole Execute of a started window (check, analyze, fields, status lines).
#include <benchmark/benchmark.h>

#include <vector>

#include "app/execute.h"
#include "base/text_format.h"
#include "bench_support.h"
#include "statistics/analyze.h"
#include "tables/stat_tables.h"

namespace bx::bench {
namespace {

std::vector<double> numbers(const std::vector<std::string>& texts) {
    std::vector<double> values;
    for (const std::string& t : texts) {
        values.push_back(leadingNumber(t));
    }
    return values;
}

void BM_Analyze(benchmark::State& state, const PathData* path) {
    const auto tables = StatTables::load(BX_PROGRAM_DIR);
    const std::vector<double> x1 = numbers(path->test);
    const std::vector<double> x2 = numbers(path->reference);
    const AnalysisOptions options;
    for (auto _ : state) {
        Comparison c = analyze({x1, x2}, options, *tables, OverrideAnswer::No);
        benchmark::DoNotOptimize(c);
    }
}

void BM_WindowExecute(benchmark::State& state, const PathData* path) {
    BenchWindow bw;
    MainWindow& w = bw.w();
    putSamples(w, path->test, path->reference);
    for (auto _ : state) {
        cmdExecute_Click(w);
        benchmark::DoNotOptimize(w.ui.txtTstCalcStat.text.data());
        // The status list grows by every run; keep it from growing without bound.
        w.ui.Status.clear();
    }
}

const bool kRegistered = [] {
    for (const PathData& path : decisionPaths()) {
        benchmark::RegisterBenchmark((std::string("BM_Analyze/") + path.name).c_str(), BM_Analyze,
                                     &path)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("BM_WindowExecute/") + path.name).c_str(),
                                     BM_WindowExecute, &path)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
}  // namespace bx::bench
