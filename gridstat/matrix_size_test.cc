#include "gridstat/matrix_size.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Each block costs its bytes plus an 8-byte header, rounded up to 16, and at least 32; one of
// 128 KiB or more that way is mapped: 8 bytes more, rounded up to 4 KiB pages. The blocks' pages
// begun cost 8 bytes of page table each.
TEST(MatrixFootprint, CountsTheRowTableEachRowAndTheirPageTables) {
  const struct {
    int rows;
    int columns;
    uint64_t bytes;
  } cases[] = {
      {1, 1, 32 + 32 + 8},      // 8 and 4 bytes: the smallest blocks; one page
      {2, 2, 32 + 2 * 32 + 8},  // 16 + 8 -> 32; 8 + 8 -> 16, at least 32
      {3, 7, 32 + 3 * 48 + 8},  // 24 + 8 -> 32; 28 + 8 = 36 -> 48
      {5000, 5000, 40016 + 5000ull * 20016 + 24444 * 8},  // 40008 -> 40016; 20008 -> 20016
      // 800008 -> 800016, mapped: 800024 -> 196 pages; 400008 -> 400016, 400024 -> 98 pages.
      {100000, 100000, 196 * 4096 + 100000ull * 98 * 4096 + (196 + 100000ull * 98) * 8},
      // A row of 32768 columns, 131072 bytes: 131080 -> 131088, mapped: 131096 -> 33 pages.
      {2000, 32768, 16016 + 2000ull * 33 * 4096 + (4 + 2000ull * 33) * 8},
      // A row of 32766 columns, 131064 bytes: 131072, the smallest block mapped: 33 pages.
      {1, 32766, 32 + 33 * 4096 + 34 * 8},
      // A row of 32764 columns, 131056 bytes: 131064 -> 131072, mapped as well.
      {1, 32764, 32 + 33 * 4096 + 34 * 8},
      // A row of 32762 columns, 131048 bytes: 131056, the largest block on the heap.
      {1, 32762, 32 + 131056 + 33 * 8},
      // A single column still costs 32 bytes a row: 80 GiB for the longest column.
      {INT_MAX, 1, 17179873280ull + 32ull * INT_MAX + 20971521ull * 8},
      {1, INT_MAX, 32 + 8589938688ull + 2097154ull * 8},  // 8589934596 -> 8589934608 -> pages
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
  EXPECT_TRUE(matrixFits(2, 2, 104));
  EXPECT_FALSE(matrixFits(2, 2, 103));
  EXPECT_TRUE(matrixFits(5000, 5000, 25ull << 30));
  // 40220004384 bytes: more than a 24 GiB machine has.
  EXPECT_FALSE(matrixFits(100000, 100000, 24ull << 30));
  EXPECT_TRUE(matrixFits(100000, 100000, 40220004384ull));
  EXPECT_FALSE(matrixFits(100000, 100000, 40220004383ull));
  EXPECT_FALSE(matrixFits(INT_MAX, INT_MAX, UINT64_MAX));
  EXPECT_FALSE(matrixFits(0, 5, UINT64_MAX));
}

}  // namespace
