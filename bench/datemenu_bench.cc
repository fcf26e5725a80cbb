// The day count between two dates must take the same time for any span.
#include <benchmark/benchmark.h>

#include "datemenu/date_arith.h"

namespace {

void runDifference(benchmark::State& state, Date d1, Date d2) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(d1);
    benchmark::DoNotOptimize(d2);
    benchmark::DoNotOptimize(dateDifference(d1, d2));
  }
}

void BM_DifferenceLargestSpan(benchmark::State& state) {
  runDifference(state, Date{0, 1, 1}, Date{4294967295, 12, 31});  // 1567663063039 days
}
BENCHMARK(BM_DifferenceLargestSpan);

void BM_DifferenceOneDay(benchmark::State& state) {
  runDifference(state, Date{2011, 1, 1}, Date{2011, 1, 2});
}
BENCHMARK(BM_DifferenceOneDay);

}  // namespace

BENCHMARK_MAIN();
