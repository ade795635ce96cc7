// SPDX-License-Identifier: MIT
// The browser edition's analyze, natively: the same function (web/web_api.h) that
// benthix.analyze() runs in WebAssembly, for each decision path, so that bench/web.sh can set
// the browser's time per comparison against the desktop's for the same work (start from a
// started window, the entries and options, Execute, the JSON of analyze --json).
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include "bench_support.h"
#include "tables/stat_tables.h"
#include "web/built_in_tables.h"
#include "web/web_api.h"

namespace bx::bench {
namespace {

void BM_WebAnalyze(benchmark::State& state, const PathData* path) {
    const auto tables = web::builtInTables(BX_DATA_DIR);
    const web::StartedWindow started = web::startedWindow(tables);
    const std::string request =
        nlohmann::json{{"test", path->test}, {"reference", path->reference}}.dump();
    for (auto _ : state) {
        std::string answer = web::analyzeJson(tables, started, request);
        benchmark::DoNotOptimize(answer.data());
    }
}

const bool kRegistered = [] {
    for (const PathData& path : decisionPaths()) {
        benchmark::RegisterBenchmark((std::string("BM_WebAnalyze/") + path.name).c_str(),
                                     BM_WebAnalyze, &path)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
}  // namespace bx::bench
