#include "gridstat/statistics.h"

#include <cstddef>

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

}  // namespace

MatrixStatistics computeStatistics(const float* const* matrix, int rows, int columns) {
  const auto rowCount = static_cast<size_t>(rows);
  const auto columnCount = static_cast<size_t>(columns);
  const double count = static_cast<double>(rows) * static_cast<double>(columns);
  double sum = 0;
  for (size_t i = 0; i < rowCount; ++i) sum += rowSum(matrix[i], columnCount);
  const double mean = sum / count;
  double acc = 0;
  for (size_t i = 0; i < rowCount; ++i) acc += rowSquaredDeviations(matrix[i], columnCount, mean);
  // One cell: 0 / 0, a quiet NaN, as the sample variance of a single value is undefined.
  return MatrixStatistics{static_cast<float>(mean), static_cast<float>(acc / (count - 1))};
}
