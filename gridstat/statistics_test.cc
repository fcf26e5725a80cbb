#include "gridstat/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// A rows x columns matrix as the program lays it out: a row table over separate rows.
struct TestMatrix {
  explicit TestMatrix(std::vector<std::vector<float>> values) : cells(std::move(values)) {
    for (auto& row : cells) rowTable.push_back(row.data());
  }
  TestMatrix(int rows, int columns)
      : TestMatrix(std::vector<std::vector<float>>(
            static_cast<size_t>(rows), std::vector<float>(static_cast<size_t>(columns)))) {}
  std::vector<std::vector<float>> cells;
  std::vector<float*> rowTable;
};

MatrixStatistics statisticsOf(std::vector<std::vector<float>> values) {
  const auto rows = static_cast<int>(values.size());
  const auto columns = static_cast<int>(values[0].size());
  TestMatrix m(std::move(values));
  return computeStatistics(m.rowTable.data(), rows, columns);
}

struct ExactCase {
  std::vector<std::vector<float>> cells;
  double mean;
  double variance;
};

// Means and variances worked out by hand; the variance divides by the cell count less one.
TEST(ComputeStatistics, SmallMatricesExactly) {
  const ExactCase cases[] = {
      {{{1, 2}, {3, 4}}, 2.5, 5.0 / 3.0},
      {{{1, 2, 6}}, 3.0, 7.0},      // deviations -2, -1, 3: 14 / 2
      {{{1}, {2}, {6}}, 3.0, 7.0},  // the same as one column
      {{{0, 0, 0, 0, 0}}, 0.0, 0.0},
      {{{9.999f, 9.999f}, {9.999f, 9.999f}}, 9.999f, 0.0},
      {{{0, 1, 2, 3, 4, 5, 6}}, 3.0, 28.0 / 6.0},  // one row longer than four running sums
      {{{0.5f, 1.5f, 2.5f, 3.5f, 4.5f}, {5.5f, 6.5f, 7.5f, 8.5f, 9.5f}}, 5.0, 82.5 / 9.0},
  };
  for (const ExactCase& c : cases) {
    MatrixStatistics s = statisticsOf(c.cells);
    EXPECT_EQ(static_cast<float>(c.mean), s.mean) << c.mean;
    EXPECT_EQ(static_cast<float>(c.variance), s.variance) << c.variance;
  }
  EXPECT_EQ(1.66666663f, statisticsOf({{1, 2}, {3, 4}}).variance);
}

TEST(ComputeStatistics, SingleCellHasMeanOfTheCellAndNaNVariance) {
  MatrixStatistics s = statisticsOf({{4.992f}});
  EXPECT_EQ(4.992f, s.mean);
  EXPECT_TRUE(std::isnan(s.variance));
}

// Cells k / 1000 with k from a fixed linear congruential sequence, as the program draws them.
void fillPseudoRandom(TestMatrix* m) {
  uint32_t state = 12345;
  for (auto& row : m->cells) {
    for (float& cell : row) {
      state = state * 1103515245u + 12345u;
      cell = static_cast<float>(((state >> 8) % 10000) / 1000.0);
    }
  }
}

// Neumaier-compensated sums in long double as the independent reference.
struct Reference {
  long double mean;
  long double variance;
};

Reference reference(const TestMatrix& m) {
  long double sum = 0, carry = 0;
  long double count = 0;
  auto add = [&](long double x) {
    long double t = sum + x;
    carry += std::fabs(sum) >= std::fabs(x) ? (sum - t) + x : (x - t) + sum;
    sum = t;
  };
  for (const auto& row : m.cells) {
    for (float cell : row) add(cell);
    count += static_cast<long double>(row.size());
  }
  long double mean = (sum + carry) / count;
  sum = 0;
  carry = 0;
  for (const auto& row : m.cells) {
    for (float cell : row) add((cell - mean) * (cell - mean));
  }
  return {mean, (sum + carry) / (count - 1)};
}

// Within one float step of the reference rounded to float.
void expectWithinOneStep(long double expected, float actual) {
  const float rounded = static_cast<float>(expected);
  const float step = std::nextafter(rounded, INFINITY) - rounded;
  EXPECT_NEAR(rounded, actual, step) << static_cast<double>(expected);
}

// 9 million cells: far past where a float sum stops taking small cells in.
TEST(ComputeStatistics, LargeMatrixAgreesWithACompensatedReference) {
  TestMatrix m(3000, 3000);
  fillPseudoRandom(&m);
  MatrixStatistics s = computeStatistics(m.rowTable.data(), 3000, 3000);
  Reference r = reference(m);
  expectWithinOneStep(r.mean, s.mean);
  expectWithinOneStep(r.variance, s.variance);
  EXPECT_NEAR(5.0, s.mean, 0.01);
  EXPECT_NEAR(8.333, s.variance, 0.05);  // about 10^2 / 12 for evenly spread values
}

// The rows' sums are added in row order whichever thread worked each out: the same bits as one
// thread, over more rows than are summed at a time too.
TEST(ComputeStatistics, SameResultsWhateverTheWorkers) {
  for (const auto& [rows, columns] : {std::pair{3000, 3000}, std::pair{9000, 301}}) {
    TestMatrix m(rows, columns);
    fillPseudoRandom(&m);
    const MatrixStatistics one = computeStatistics(m.rowTable.data(), rows, columns, 1);
    for (const unsigned workers : {2u, 3u, 7u}) {
      const MatrixStatistics many = computeStatistics(m.rowTable.data(), rows, columns, workers);
      EXPECT_EQ(one.mean, many.mean) << rows << " x " << columns << ", " << workers;
      EXPECT_EQ(one.variance, many.variance) << rows << " x " << columns << ", " << workers;
    }
  }
}

TEST(ComputeStatistics, LargeConstantMatrixHasItsValueAsMeanAndNoVariance) {
  TestMatrix m(std::vector<std::vector<float>>(2000, std::vector<float>(3001, 9.999f)));
  MatrixStatistics s = computeStatistics(m.rowTable.data(), 2000, 3001);
  EXPECT_EQ(9.999f, s.mean);
  EXPECT_EQ(0.0f, s.variance);
}

}  // namespace
