// One whole analysis through the core (cmdExecute_Click on a started window) for each
// decision path, 10 and 10 replicates.
#include <benchmark/benchmark.h>

#include "app/execute.h"
#include "bench_support.h"

namespace bx::bench {
namespace {

void BM_Analysis(benchmark::State& state, const PathData* path) {
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
        benchmark::RegisterBenchmark((std::string("BM_Analysis/") + path.name).c_str(), BM_Analysis,
                                     &path)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
}  // namespace bx::bench
