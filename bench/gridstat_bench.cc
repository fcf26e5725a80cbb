// Creating and printing the largest matrices, and their statistics. Rates are in cells per
// second, so the block-wise printing can be compared with a cell-by-cell stream version run
// on a smaller matrix.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <ostream>

#include "console/console.h"
#include "gridstat/matrix_tool.h"
#include "gridstat/statistics.h"

namespace {

void countCells(benchmark::State& state, int M, int N) {
  state.SetItemsProcessed(state.iterations() * int64_t{M} * N);
}

float** allocateOrSkip(benchmark::State& state, int M, int N) {
  float** mas = allocateMatrix(M, N, console::physicalMemory());
  if (mas == nullptr) state.SkipWithError("matrix refused");
  return mas;
}

// The literal way for comparison: std::setw per cell and std::endl per row.
void fillCellByCell(float** mas, int M, int N, std::ostream& out) {
  for (int i = 0; i < M; ++i) {
    for (int j = 0; j < N; ++j) {
      mas[i][j] = static_cast<float>((std::rand() % 10000) / 1000.0);
      out << std::setw(6) << mas[i][j];
    }
    out << std::endl;
  }
}

// What gridstat does between the dimension dialogue and the statistics, filling with `fill`.
void runCreateAndPrint(benchmark::State& state,
                       void (*fill)(float** mas, int M, int N, std::ostream& out)) {
  const auto M = static_cast<int>(state.range(0));
  const auto N = M;
  std::ofstream out("/dev/null");
  for (auto _ : state) {
    float** mas = allocateOrSkip(state, M, N);
    if (mas == nullptr) return;
    std::srand(1);
    fill(mas, M, N, out);
    out.flush();
    MatrixTool obj;
    obj.releaseMatrix(mas, M, N);
  }
  countCells(state, M, N);
}

void BM_CreateAndPrint(benchmark::State& state) { runCreateAndPrint(state, fillMatrix); }
BENCHMARK(BM_CreateAndPrint)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CreateAndPrintCellByCell(benchmark::State& state) {
  runCreateAndPrint(state, fillCellByCell);
}
BENCHMARK(BM_CreateAndPrintCellByCell)->Arg(2000)->Unit(benchmark::kMillisecond);

// rand() alone: the floor for creating a matrix.
void BM_RandOnly(benchmark::State& state) {
  const int64_t cells = state.range(0) * state.range(0);
  for (auto _ : state) {
    std::srand(1);
    unsigned sum = 0;
    for (int64_t c = 0; c < cells; ++c) sum += static_cast<unsigned>(std::rand() % 10000);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * cells);
}
BENCHMARK(BM_RandOnly)->Arg(5000)->Unit(benchmark::kMillisecond);

// Times `compute` on a filled M x M matrix.
void runStatistics(benchmark::State& state,
                   MatrixStatistics (*compute)(const float* const* mas, int M, int N)) {
  const auto M = static_cast<int>(state.range(0));
  float** mas = allocateOrSkip(state, M, M);
  if (mas == nullptr) return;
  std::srand(1);
  std::ofstream out("/dev/null");
  fillMatrix(mas, M, M, out);
  for (auto _ : state) benchmark::DoNotOptimize(compute(mas, M, M));
  MatrixTool obj;
  obj.releaseMatrix(mas, M, M);
  countCells(state, M, M);
}

void BM_Statistics(benchmark::State& state) { runStatistics(state, computeStatistics); }
BENCHMARK(BM_Statistics)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The statistics the literal way, in single-precision accumulators (which lose the sum of a
// large matrix), for the rate per cell.
MatrixStatistics floatStatistics(const float* const* mas, int M, int N) {
  float sum = 0;
  for (int i = 0; i < M; ++i) {
    for (int j = 0; j < N; ++j) sum = static_cast<float>(sum + mas[i][j]);
  }
  const double count = static_cast<double>(M) * N;
  const auto mean = static_cast<float>(sum / count);
  float acc = 0;
  for (int i = 0; i < M; ++i) {
    for (int j = 0; j < N; ++j) {
      const double d = mas[i][j] - mean;
      acc = static_cast<float>(d * d + acc);
    }
  }
  return MatrixStatistics{mean, static_cast<float>(acc / (count - 1))};
}

void BM_StatisticsFloatAccumulators(benchmark::State& state) {
  runStatistics(state, floatStatistics);
}
BENCHMARK(BM_StatisticsFloatAccumulators)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
