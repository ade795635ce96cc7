// SPDX-License-Identifier: MIT
// benthix-cli batch end to end (reading the survey, every comparison, writing the results)
// on a generated survey of 100,000 comparisons, on one thread and on two, and on one thread
// with both logs written (their rows go to disk in groups, so the logs should cost the batch
// well under ten times its time without them).
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "cli/command_line.h"

namespace bx::bench {
namespace {

constexpr int kComparisons = 100000;

// Runs `benthix-cli batch <survey> --reference REF args...` once per iteration and counts
// the comparisons per second.
void runBatch(benchmark::State& state, const std::vector<std::string>& args) {
    static const std::filesystem::path survey = writeSurvey(kComparisons);
    const StartupFolders folders = benchFolders();
    std::vector<std::string> command{"benthix-cli", "batch", survey.string(), "--reference", "REF"};
    command.insert(command.end(), args.begin(), args.end());
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        const cli::CliEnvironment env{folders, in, out, err, false};
        benchmark::DoNotOptimize(cli::runCommandLine(command, env));
    }
    state.counters["comparisons_per_s"] = benchmark::Counter(
        static_cast<double>(kComparisons) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

void BM_Batch(benchmark::State& state) {
    const std::string jobs = std::to_string(state.range(0));
    const std::filesystem::path results = benchScratch("batch-" + jobs) / "results.csv";
    runBatch(state, {"--output", results.string(), "--force", "--jobs", jobs});
}

// Five repetitions, of which the median is reported: one run on a shared machine is easily
// slowed by a fifth by its neighbours.
BENCHMARK(BM_Batch)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->ArgName("jobs");

void BM_BatchWithLogs(benchmark::State& state) {
    const std::filesystem::path scratch = benchScratch("batch-logs");
    runBatch(state,
             {"--output", (scratch / "results.csv").string(), "--summary-log",
              (scratch / "sum.dbf").string(), "--detailed-log", (scratch / "det.dbf").string()});
}

BENCHMARK(BM_BatchWithLogs)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bx::bench
