#include "gridstat/matrix_tool.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "console/system.h"
#include "crand/c_random.h"
#include "gridstat/cell_format.h"
#include "gridstat/matrix_size.h"

namespace {

// Output goes out in blocks of this size: one write per block instead of one per cell or row.
constexpr size_t kBlockBytes = size_t{1} << 17;

// The block lies in the program's image, set aside when it starts: on the stack it would need
// the stack to grow, which fails, killing the process, once the matrix has taken the last of
// the address space the process may have.
std::array<char, kBlockBytes> outputBlock;

void writeBlock(std::ostream& out, const char* block, size_t used) {
  out.write(block, static_cast<std::streamsize>(used));
}

// Fills the cells in row-major order with `cellValue(next() % 10000)` and writes their text.
template <typename Next>
void fillCells(float** matrix, int rows, int columns, std::ostream& out, Next next) {
  const CellTable& cells = cellTable();
  std::array<char, kBlockBytes>& block = outputBlock;
  size_t used = 0;
  for (int i = 0; i < rows; ++i) {
    float* row = matrix[i];
    for (int j = 0; j < columns; ++j) {
      // Room for this field and a line end after it.
      if (used + kFieldWidth + 1 > kBlockBytes) {
        writeBlock(out, block.data(), used);
        used = 0;
      }
      const size_t k = static_cast<uint32_t>(next()) % kCellValues;
      row[j] = cells.value[k];
      std::memcpy(block.data() + used, cells.field[k].data(), kFieldWidth);
      used += kFieldWidth;
    }
    block[used++] = '\n';
  }
  writeBlock(out, block.data(), used);
}

}  // namespace

MatrixTool::~MatrixTool() { releaseMatrix(); }

bool MatrixTool::createMatrix(int rowCount, int columnCount) {
  releaseMatrix();
  matrix = allocateMatrix(rowCount, columnCount, console::memoryForBlock(0));
  if (matrix == nullptr) return false;
  rows = rowCount;
  columns = columnCount;
  std::cout << "zadan massiv" << std::endl;
  fillMatrix(matrix, rows, columns, seedFromTime(console::currentTime()), std::cout);
  return true;
}

void MatrixTool::printStatistics() const {
  writeStatistics(std::cout, computeStatistics(matrix, rows, columns));
}

void MatrixTool::releaseMatrix() {
  if (matrix != nullptr) freeMatrix(matrix, rows);
  matrix = nullptr;
  rows = 0;
  columns = 0;
}

float** allocateMatrix(int rows, int columns, uint64_t memoryBytes) {
  // Overcommitted memory would let a matrix larger than the system can give be allocated and
  // then get the process killed while it is filled, so such a matrix is refused beforehand.
  if (!matrixFits(rows, columns, memoryBytes)) return nullptr;
  float** matrix = new (std::nothrow) float*[static_cast<size_t>(rows)];
  if (matrix == nullptr) return nullptr;
  for (int i = 0; i < rows; ++i) {
    matrix[i] = new (std::nothrow) float[static_cast<size_t>(columns)];
    if (matrix[i] == nullptr) {
      freeMatrix(matrix, i);
      return nullptr;
    }
  }
  return matrix;
}

void freeMatrix(float** matrix, int rows) {
  for (int i = 0; i < rows; ++i) delete[] matrix[i];
  delete[] matrix;
}

void fillMatrix(float** matrix, int rows, int columns, uint32_t seed, std::ostream& out,
                crand::RandFunctions reference) {
  crand::drawRandSequence(seed, reference,
                          [&](auto next) { fillCells(matrix, rows, columns, out, next); });
}

void writeStatistics(std::ostream& out, MatrixStatistics stats) {
  out << std::endl << "Srednee " << stats.mean << std::endl << "Dispersia " << stats.variance;
  out.flush();
}
