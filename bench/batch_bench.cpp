// benthix-cli batch end to end (reading the survey, every comparison, writing the results)
// on a generated survey of 100,000 comparisons, on one thread and on two, and on one thread
// with both logs written (their rows go to disk in groups, so the logs should cost the batch
// well under ten times its time without them).
#include <benchmark/benchmark.h>

#include <sstream>

#include "bench_support.h"
#include "cli/command_line.h"

namespace bx::bench {
namespace {

constexpr int kComparisons = 100000;

void BM_Batch(benchmark::State& state) {
    static const std::filesystem::path survey = writeSurvey(kComparisons);
    const std::string jobs = std::to_string(state.range(0));
    const std::filesystem::path results = benchScratch("batch-" + jobs) / "results.csv";
    const StartupFolders folders = benchFolders();
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        const cli::CliEnvironment env{folders, in, out, err, false};
        const int status =
            cli::runCommandLine({"benthix-cli", "batch", survey.string(), "--reference", "REF",
                                 "--output", results.string(), "--force", "--jobs", jobs},
                                env);
        benchmark::DoNotOptimize(status);
    }
    state.counters["comparisons_per_s"] = benchmark::Counter(
        static_cast<double>(kComparisons) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Batch)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->ArgName("jobs");

void BM_BatchWithLogs(benchmark::State& state) {
    static const std::filesystem::path survey = writeSurvey(kComparisons);
    const std::filesystem::path scratch = benchScratch("batch-logs");
    const StartupFolders folders = benchFolders();
    for (auto _ : state) {
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        const cli::CliEnvironment env{folders, in, out, err, false};
        const int status = cli::runCommandLine(
            {"benthix-cli", "batch", survey.string(), "--reference", "REF", "--output",
             (scratch / "results.csv").string(), "--summary-log", (scratch / "sum.dbf").string(),
             "--detailed-log", (scratch / "det.dbf").string()},
            env);
        benchmark::DoNotOptimize(status);
    }
    state.counters["comparisons_per_s"] = benchmark::Counter(
        static_cast<double>(kComparisons) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

BENCHMARK(BM_BatchWithLogs)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bx::bench
