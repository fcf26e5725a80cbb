#include "gridstat/matrix_tool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <string>

#include "gridstat/statistics.h"

namespace {

// The matrix and its text written cell by cell with the stream's own formatting, drawn from the
// C library's generator or from `next` when given.
std::string printedCellByCell(unsigned seed, int rows, int columns, std::vector<float>* cells,
                              int (*next)() = std::rand) {
  std::srand(seed);
  std::ostringstream out;
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      const float cell = static_cast<float>((next() % 10000) / 1000.0);
      cells->push_back(cell);
      out << std::setw(6) << cell;
    }
    out << '\n';
  }
  return out.str();
}

// A reference the inline generator disagrees with, to be drawn from itself.
int mirroredRand() { return RAND_MAX - std::rand(); }

void expectFilledAsTheStreamWritesIt(int rows, int columns, int (*next)() = std::rand,
                                     unsigned workers = 1) {
  std::vector<float> expectedCells;
  const std::string expected = printedCellByCell(20240601u, rows, columns, &expectedCells, next);

  Matrix matrix;
  ASSERT_TRUE(allocateMatrix(matrix, rows, columns, UINT64_MAX, workers));
  std::ostringstream out;
  fillMatrix(matrix, 20240601u, out, workers, {[](unsigned seed) { std::srand(seed); }, next});
  EXPECT_TRUE(out.str() == expected)
      << rows << " x " << columns << ", " << workers << " workers: output differs";
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      ASSERT_EQ(expectedCells[static_cast<size_t>(i * columns + j)], matrix.rows[i][j])
          << i << ", " << j;
    }
  }
}

TEST(FillMatrix, DrawsAndPrintsCellsInRowMajorOrder) {
  expectFilledAsTheStreamWritesIt(3, 4);
  expectFilledAsTheStreamWritesIt(1, 1);
  expectFilledAsTheStreamWritesIt(7, 1);
}

// Rows longer than one output block, and a matrix of many blocks.
TEST(FillMatrix, SplitsLongRowsAcrossBlocks) {
  expectFilledAsTheStreamWritesIt(1, 30000);
  expectFilledAsTheStreamWritesIt(300, 257);
}

TEST(FillMatrix, DrawsFromTheReferenceWhenTheInlineGeneratorDisagrees) {
  expectFilledAsTheStreamWritesIt(300, 257, mirroredRand);
}

// Several threads, each from the generator taken up where its part starts, parts ending inside
// rows and rows of one cell: the cells and the text are those of one thread. The seed is fixed,
// as the program's clock would be for a run.
TEST(FillMatrix, SameCellsAndTextWhateverTheWorkers) {
  for (const unsigned workers : {2u, 3u, 8u}) {
    expectFilledAsTheStreamWritesIt(400, 1001, std::rand, workers);
    expectFilledAsTheStreamWritesIt(1, 400000, std::rand, workers);
    expectFilledAsTheStreamWritesIt(300000, 1, std::rand, workers);
  }
  expectFilledAsTheStreamWritesIt(400, 1001, mirroredRand, 3);
  // Over 16 MiB of cells: the rows come from a heap the threads prepared.
  expectFilledAsTheStreamWritesIt(2050, 2050, std::rand, 2);
}

// A stream that takes `room` bytes and then fails every write.
struct FailingAfter : std::stringbuf {
  explicit FailingAfter(std::streamsize bytes) : room(bytes) {}
  std::streamsize xsputn(const char* text, std::streamsize length) override {
    if (length > room) return 0;
    room -= length;
    return std::stringbuf::xsputn(text, length);
  }
  std::streamsize room;
};

// Nothing is written after the first failed write, and the statistics still find every cell.
TEST(FillMatrix, StopsWritingAtAFailedWriteAndFillsEveryCell) {
  std::vector<float> expectedCells;
  const std::string expected = printedCellByCell(7, 600, 1000, &expectedCells);
  for (const unsigned workers : {1u, 3u}) {
    Matrix matrix;
    ASSERT_TRUE(allocateMatrix(matrix, 600, 1000, UINT64_MAX, workers));
    FailingAfter buffer(1500000);
    std::ostream out(&buffer);
    fillMatrix(matrix, 7, out, workers);
    EXPECT_TRUE(out.bad());
    const std::string written = buffer.str();
    EXPECT_LT(written.size(), size_t{1500000});
    EXPECT_TRUE(expected.compare(0, written.size(), written) == 0) << workers << " workers";
    for (size_t i = 0; i < expectedCells.size(); ++i) {
      ASSERT_EQ(expectedCells[i], matrix.rows[i / 1000][i % 1000])
          << i << ", " << workers << " workers";
    }
  }
}

TEST(AllocateMatrix, RefusesAMatrixLargerThanTheMemory) {
  Matrix refused;
  EXPECT_FALSE(allocateMatrix(refused, 2, 2, 103, 1));
  EXPECT_FALSE(allocateMatrix(refused, 1000, 1000, 4000000, 1));
  EXPECT_FALSE(allocateMatrix(refused, INT_MAX, INT_MAX, UINT64_MAX, 1));
  EXPECT_EQ(nullptr, refused.rows);
  EXPECT_EQ(0, refused.rowCount);
  Matrix matrix;
  ASSERT_TRUE(allocateMatrix(matrix, 2, 2, 104, 1));
  EXPECT_EQ(2, matrix.rowCount);
  EXPECT_EQ(2, matrix.columnCount);
}

TEST(WriteStatistics, WritesBothLinesAndNoLineEndAfterTheVariance) {
  std::ostringstream out;
  writeStatistics(out, MatrixStatistics{2.5f, 5.0f / 3.0f});
  EXPECT_EQ("\nSrednee 2.5\nDispersia 1.66667", out.str());
  std::ostringstream small;
  writeStatistics(small, MatrixStatistics{0.001f, 1234567.0f});
  EXPECT_EQ("\nSrednee 0.001\nDispersia 1.23457e+06", small.str());
}

// A single cell: the variance is 0 / 0, which on x86-64 is the negative default NaN.
TEST(WriteStatistics, WritesTheNaNOfASingleCellAsTheStreamDoes) {
  float cell = 4.992f;
  float* row = &cell;
  std::ostringstream out;
  writeStatistics(out, computeStatistics(&row, 1, 1));
  EXPECT_EQ("\nSrednee 4.992\nDispersia -nan", out.str());
}

}  // namespace
