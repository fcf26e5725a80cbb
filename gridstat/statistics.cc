#include "gridstat/statistics.h"

#include <algorithm>
#include <cstddef>

#include "parallel/for_each_chunk.h"

namespace {

// Four running sums let the additions of a row overlap instead of waiting for each other; in
// double precision their order changes the result far below float resolution.
double rowSum(const float* row, size_t n) {
  double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
  size_t j = 0;
  for (; j + 4 <= n; j += 4) {
    s0 += row[j];
    s1 += row[j + 1];
    s2 += row[j + 2];
    s3 += row[j + 3];
  }
  for (; j < n; ++j) s0 += row[j];
  return (s0 + s1) + (s2 + s3);
}

double rowSquaredDeviations(const float* row, size_t n, double mean) {
  double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
  size_t j = 0;
  for (; j + 4 <= n; j += 4) {
    double d0 = row[j] - mean;
    double d1 = row[j + 1] - mean;
    double d2 = row[j + 2] - mean;
    double d3 = row[j + 3] - mean;
    s0 += d0 * d0;
    s1 += d1 * d1;
    s2 += d2 * d2;
    s3 += d3 * d3;
  }
  for (; j < n; ++j) {
    double d = row[j] - mean;
    s0 += d * d;
  }
  return (s0 + s1) + (s2 + s3);
}

// Rows whose totals are kept at a time, and the cells a thread sums at the least (fewer cost
// less than starting it). The totals lie in the program's image, not on the stack, which may
// not be able to grow once the matrix has taken the address space the process may have.
constexpr size_t kRowsPerBlock = 4096;
constexpr size_t kLeastCellsPerThread = size_t{1} << 18;
double rowTotals[kRowsPerBlock];

// The sum of `rowTotal(row, columns)` over the rows, added in row order, whichever thread
// worked each row out.
template <typename RowTotal>
double sumOverRows(const float* const* matrix, size_t rows, size_t columns, unsigned workers,
                   RowTotal rowTotal) {
  const size_t leastRows = std::max<size_t>(kLeastCellsPerThread / columns, 1);
  double sum = 0;
  for (size_t first = 0; first < rows; first += kRowsPerBlock) {
    const size_t blockRows = std::min(kRowsPerBlock, rows - first);
    parallel::forEachChunk(blockRows, leastRows, workers, [&](size_t begin, size_t end) {
      for (size_t i = begin; i < end; ++i) rowTotals[i] = rowTotal(matrix[first + i], columns);
    });
    for (size_t i = 0; i < blockRows; ++i) sum += rowTotals[i];
  }
  return sum;
}

}  // namespace

MatrixStatistics computeStatistics(const float* const* matrix, int rows, int columns,
                                   unsigned workers) {
  const auto rowCount = static_cast<size_t>(rows);
  const auto columnCount = static_cast<size_t>(columns);
  const double count = static_cast<double>(rows) * static_cast<double>(columns);
  const double sum = sumOverRows(matrix, rowCount, columnCount, workers, rowSum);
  const double mean = sum / count;
  const double acc = sumOverRows(
      matrix, rowCount, columnCount, workers,
      [mean](const float* row, size_t n) { return rowSquaredDeviations(row, n, mean); });
  // One cell: 0 / 0, a quiet NaN, as the sample variance of a single value is undefined.
  return MatrixStatistics{static_cast<float>(mean), static_cast<float>(acc / (count - 1))};
}
