#include "gridstat/matrix_size.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Each block costs its bytes plus an 8-byte header, rounded up to 16, and at least 32.
TEST(MatrixFootprint, CountsTheRowTableAndEachRow) {
  const struct {
    int rows;
    int columns;
    uint64_t bytes;
  } cases[] = {
      {1, 1, 32 + 32},                        // 8 and 4 bytes: the smallest blocks
      {2, 2, 32 + 2 * 32},                    // 16 + 8 -> 32; 8 + 8 -> 16, at least 32
      {3, 7, 32 + 3 * 48},                    // 24 + 8 -> 32; 28 + 8 = 36 -> 48
      {5000, 5000, 40016 + 5000ull * 20016},  // 40008 -> 40016; 20008 -> 20016
      {100000, 100000, 800016 + 100000ull * 400016},
      // A single column still costs 32 bytes a row: 80 GiB for the longest column.
      {INT_MAX, 1, 17179869184ull + 32ull * INT_MAX},
      {1, INT_MAX, 32 + 8589934608ull},  // 8589934588 + 8 -> 8589934608
  };
  for (const auto& c : cases) {
    uint64_t bytes = 0;
    ASSERT_TRUE(matrixFootprint(c.rows, c.columns, &bytes)) << c.rows << " x " << c.columns;
    EXPECT_EQ(c.bytes, bytes) << c.rows << " x " << c.columns;
  }
}

TEST(MatrixFootprint, RefusesCountsThatAreNotPositiveOrDoNotFit) {
  // INT_MAX rows of 8589934608 bytes need more than 2^64 bytes.
  const int cases[][2] = {{INT_MAX, INT_MAX}, {0, 1}, {1, 0}, {-1, 5}, {5, INT_MIN}};
  for (const auto& c : cases) {
    uint64_t bytes = 7;
    EXPECT_FALSE(matrixFootprint(c[0], c[1], &bytes)) << c[0] << " x " << c[1];
    EXPECT_EQ(7u, bytes);
  }
}

TEST(MatrixFits, ComparesTheFootprintWithTheMemory) {
  EXPECT_TRUE(matrixFits(2, 2, 96));
  EXPECT_FALSE(matrixFits(2, 2, 95));
  EXPECT_TRUE(matrixFits(5000, 5000, 25ull << 30));
  // 40002400016 bytes: more than a 24 GiB machine has.
  EXPECT_FALSE(matrixFits(100000, 100000, 24ull << 30));
  EXPECT_TRUE(matrixFits(100000, 100000, 40002400016ull));
  EXPECT_FALSE(matrixFits(INT_MAX, INT_MAX, UINT64_MAX));
  EXPECT_FALSE(matrixFits(0, 5, UINT64_MAX));
}

}  // namespace
