// lookupValue for each table code, with arguments a run really passes.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_support.h"
#include "tables/lookup.h"
#include "tables/stat_tables.h"

namespace bx::bench {
namespace {

class NullSink : public StatusSink {
  public:
    void postStatus(std::string_view) override {}
};

void BM_Lookup(benchmark::State& state, double alphaVal, const SearchValue& searchVal,
               const char* code) {
    NullSink sink;
    Lookup lookup(StatTables::load(BX_PROGRAM_DIR), sink);
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookup.lookupValue(alphaVal, searchVal, code));
    }
}

BENCHMARK_CAPTURE(BM_Lookup, W1, 20.0, SearchValue(5.0), "W1");
BENCHMARK_CAPTURE(BM_Lookup, W2, 0.05, SearchValue(20.0), "W2");
BENCHMARK_CAPTURE(BM_Lookup, T1, 0.1, SearchValue(18.0), "T1");
BENCHMARK_CAPTURE(BM_Lookup, M1, 0.05, SearchValue(std::string("10,10")), "M1");
BENCHMARK_CAPTURE(BM_Lookup, R1, 20.0, SearchValue(7.0), "R1");
BENCHMARK_CAPTURE(BM_Lookup, P1, 1.64, SearchValue(0.0), "P1");

}  // namespace
}  // namespace bx::bench
