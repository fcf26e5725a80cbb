#include "gridstat/matrix_tool.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "console/c_random.h"
#include "console/console.h"
#include "gridstat/cell_format.h"
#include "gridstat/matrix_size.h"

namespace {

// Output goes out in blocks of this size: one write per block instead of one per cell or row.
constexpr size_t kBlockBytes = size_t{1} << 17;

void releaseRows(float** matrix, int rowCount) {
  for (int i = 0; i < rowCount; ++i) delete[] matrix[i];
}

void writeBlock(std::ostream& out, const char* block, size_t used) {
  out.write(block, static_cast<std::streamsize>(used));
}

// Fills the cells in row-major order with `cellValue(next() % 10000)` and writes their text.
template <typename Next>
void fillCells(float** matrix, int rows, int columns, std::ostream& out, Next next) {
  const CellTable& cells = cellTable();
  std::array<char, kBlockBytes> block;
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

float** MatrixTool::createMatrix(int rows, int columns) {
  float** matrix = allocateMatrix(rows, columns, console::physicalMemory());
  if (matrix == nullptr) return nullptr;
  std::cout << "zadan massiv" << std::endl;
  fillMatrix(matrix, rows, columns, seedFromTime(console::currentTime()), std::cout);
  return matrix;
}

void MatrixTool::printStatistics(float** matrix, int rows, int columns) {
  writeStatistics(std::cout, computeStatistics(matrix, rows, columns));
}

void MatrixTool::releaseMatrix(float** matrix, int rows, int /*columns*/) {
  releaseRows(matrix, rows);
  delete[] matrix;
}

float** allocateMatrix(int rows, int columns, uint64_t memoryBytes) {
  // Overcommitted memory would let a matrix larger than the machine be allocated and then get
  // the process killed while it is filled, so such a matrix is refused beforehand.
  if (!matrixFits(rows, columns, memoryBytes)) return nullptr;
  float** matrix = new (std::nothrow) float*[static_cast<size_t>(rows)];
  if (matrix == nullptr) return nullptr;
  // The rows are filled right after: on huge pages that takes one fault per 2 MiB, not 512. The
  // growth leaves out one row, which the allocation that grows the heap adds to it.
  const size_t rowBytes = static_cast<size_t>(columns) * sizeof(float);
  console::HeapGrowth growth = console::beginHeapGrowth(rowBytes * static_cast<size_t>(rows - 1));
  for (int i = 0; i < rows; ++i) {
    matrix[i] = new (std::nothrow) float[static_cast<size_t>(columns)];
    console::adviseHeapGrowth(growth);
    if (matrix[i] == nullptr) {
      console::endHeapGrowth(growth);
      releaseRows(matrix, i);
      delete[] matrix;
      return nullptr;
    }
  }
  console::endHeapGrowth(growth);
  return matrix;
}

void fillMatrix(float** matrix, int rows, int columns, uint32_t seed, std::ostream& out,
                console::RandFunctions reference) {
  console::drawRandSequence(seed, reference,
                            [&](auto next) { fillCells(matrix, rows, columns, out, next); });
}

void writeStatistics(std::ostream& out, MatrixStatistics stats) {
  out << std::endl << "Srednee " << stats.mean << std::endl << "Dispersia " << stats.variance;
  out.flush();
}
