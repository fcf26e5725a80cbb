// Creating and printing the largest matrices, and their statistics. Rates are in cells per
// second, so the block-wise printing can be compared with a cell-by-cell stream version run
// on a smaller matrix. Every matrix created is checked cell by cell against the library's rand
// outside the time, and the label tells the generator that filled it. The floor of creation is
// the first touch of the matrix's pages.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <ostream>

#include "bench/process_memory.h"
#include "console/system/system.h"
#include "crand/c_random.h"
#include "gridstat/matrix_tool.h"
#include "gridstat/statistics.h"

namespace {

void countCells(benchmark::State& state, int rows, int columns) {
  state.SetItemsProcessed(state.iterations() * int64_t{rows} * columns);
}

bool allocateOrSkip(benchmark::State& state, Matrix& matrix, int rows, int columns) {
  const bool allocated =
      allocateMatrix(matrix, rows, columns, console::physicalMemory(), console::availableCores());
  if (!allocated) state.SkipWithError("matrix refused");
  return allocated;
}

// The literal way for comparison: std::setw per cell and std::endl per row.
void fillCellByCell(float** matrix, int rows, int columns, std::ostream& out) {
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      matrix[i][j] = static_cast<float>((std::rand() % 10000) / 1000.0);
      out << std::setw(6) << matrix[i][j];
    }
    out << std::endl;
  }
}

constexpr unsigned kSeed = 1;

// True when every cell holds what the library's rand gives after srand(`seed`).
bool matchesRand(float** matrix, int rows, int columns, unsigned seed) {
  std::srand(seed);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      if (matrix[i][j] != static_cast<float>((std::rand() % 10000) / 1000.0)) return false;
    }
  }
  return true;
}

// What gridstat does between the dimension dialogue and the statistics, filling with `fill`
// after srand(kSeed).
void runCreateAndPrint(benchmark::State& state, void (*fill)(Matrix& matrix, std::ostream& out)) {
  const auto rows = static_cast<int>(state.range(0));
  const auto columns = rows;
  std::ofstream out("/dev/null");
  for (auto _ : state) {
    Matrix matrix;
    if (!allocateOrSkip(state, matrix, rows, columns)) return;
    fill(matrix, out);
    out.flush();
    state.PauseTiming();
    if (!matchesRand(matrix.rows, rows, columns, kSeed)) state.SkipWithError("differs from rand()");
    MatrixTool().releaseMatrix(matrix);
    state.ResumeTiming();
  }
  countCells(state, rows, columns);
}

void BM_CreateAndPrint(benchmark::State& state) {
  runCreateAndPrint(state, [](Matrix& matrix, std::ostream& out) {
    fillMatrix(matrix, kSeed, out, console::availableCores());
  });
  crand::CRandom generator;
  const bool inlined = crand::seedCheckedCRandom(generator, kSeed, crand::libraryRand());
  state.SetLabel(inlined ? "inline" : "rand()");
}
BENCHMARK(BM_CreateAndPrint)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CreateAndPrintCellByCell(benchmark::State& state) {
  runCreateAndPrint(state, [](Matrix& matrix, std::ostream& out) {
    std::srand(kSeed);
    fillCellByCell(matrix.rows, matrix.rowCount, matrix.columnCount, out);
  });
}
BENCHMARK(BM_CreateAndPrintCellByCell)->Arg(2000)->Unit(benchmark::kMillisecond);

// The floor of creation: allocating the matrix and writing every cell once, which faults in
// its pages.
void BM_AllocateAndTouch(benchmark::State& state) {
  const auto rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Matrix matrix;
    if (!allocateOrSkip(state, matrix, rows, rows)) return;
    for (int i = 0; i < rows; ++i) std::fill_n(matrix.rows[i], rows, 1.0f);
    benchmark::DoNotOptimize(matrix.rows[rows - 1][rows - 1]);
    state.PauseTiming();
    MatrixTool().releaseMatrix(matrix);
    state.ResumeTiming();
  }
  countCells(state, rows, rows);
}
BENCHMARK(BM_AllocateAndTouch)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

// rand() alone: what the cells cost the library's generator.
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

// Times `compute` on a filled square matrix of `rows` rows.
void runStatistics(benchmark::State& state,
                   MatrixStatistics (*compute)(const float* const* matrix, int rows, int columns)) {
  const auto rows = static_cast<int>(state.range(0));
  Matrix matrix;
  if (!allocateOrSkip(state, matrix, rows, rows)) return;
  std::ofstream out("/dev/null");
  fillMatrix(matrix, 1, out, console::availableCores());
  for (auto _ : state) benchmark::DoNotOptimize(compute(matrix.rows, rows, rows));
  countCells(state, rows, rows);
}

// On every core the process may use, as the program computes them.
void BM_Statistics(benchmark::State& state) {
  runStatistics(state, [](const float* const* matrix, int rows, int columns) {
    return computeStatistics(matrix, rows, columns, console::availableCores());
  });
}
BENCHMARK(BM_Statistics)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The statistics the literal way, in single-precision accumulators (which lose the sum of a
// large matrix), for the rate per cell.
MatrixStatistics floatStatistics(const float* const* matrix, int rows, int columns) {
  float sum = 0;
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) sum = static_cast<float>(sum + matrix[i][j]);
  }
  const double count = static_cast<double>(rows) * columns;
  const auto mean = static_cast<float>(sum / count);
  float acc = 0;
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      const double d = matrix[i][j] - mean;
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
