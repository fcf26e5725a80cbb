// The day count between two dates must take the same time for any span. Beside it, the count
// done the literal way, a year and a month at a time, on a shorter span, to compare the rates
// in years per second.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "datemenu/date_arith.h"

namespace {

// Orders the dates, then walks the earlier one forward: whole years, the rest of its year,
// whole months, days.
int64_t literalDifference(Date a, Date b) {
  auto earlier = [](Date x, Date y) {
    if (x.year != y.year) return x.year < y.year;
    if (x.month != y.month) return x.month < y.month;
    return x.day < y.day;
  };
  Date dmin = earlier(a, b) ? a : b;
  const Date dmax = earlier(a, b) ? b : a;
  int64_t count = 0;
  if (dmax.year != dmin.year) {
    for (; dmax.year - dmin.year > 1; ++dmin.year) count += 365;
    for (uint32_t m = dmin.month; m < 12; ++m) count += monthLength(m);
    count += int64_t{monthLength(12)} - dmin.day + 1;
    dmin = Date{dmin.year + 1, 1, 1};
  }
  for (; dmin.month < dmax.month; ++dmin.month) count += monthLength(dmin.month);
  return count + int64_t{dmax.day} - dmin.day;
}

void runDifference(benchmark::State& state, Date workingDate, Date otherDate,
                   int64_t (*difference)(Date, Date) = dateDifference) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(workingDate);
    benchmark::DoNotOptimize(otherDate);
    benchmark::DoNotOptimize(difference(workingDate, otherDate));
  }
  state.SetItemsProcessed(state.iterations() *
                          (int64_t{otherDate.year} - workingDate.year));  // years
}

void BM_DifferenceLargestSpan(benchmark::State& state) {
  runDifference(state, Date{0, 1, 1}, Date{4294967295, 12, 31});  // 1567663063039 days
}
BENCHMARK(BM_DifferenceLargestSpan);

void BM_DifferenceOneDay(benchmark::State& state) {
  runDifference(state, Date{2011, 1, 1}, Date{2011, 1, 2});
}
BENCHMARK(BM_DifferenceOneDay);

void BM_DifferenceLiteralMillionYears(benchmark::State& state) {
  runDifference(state, Date{0, 1, 1}, Date{1000000, 12, 31}, literalDifference);
}
BENCHMARK(BM_DifferenceLiteralMillionYears);

}  // namespace

BENCHMARK_MAIN();
