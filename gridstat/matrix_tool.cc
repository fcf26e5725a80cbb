#include "gridstat/matrix_tool.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "console/console.h"
#include "gridstat/cell_format.h"
#include "gridstat/matrix_size.h"

namespace {

// Output goes out in blocks of this size: one write per block instead of one per cell or row.
constexpr size_t kBlockBytes = size_t{1} << 17;

void releaseRows(float** mas, int rows) {
  for (int i = 0; i < rows; ++i) delete[] mas[i];
}

void writeBlock(std::ostream& out, const char* block, size_t used) {
  out.write(block, static_cast<std::streamsize>(used));
}

}  // namespace

float** MatrixTool::createMatrix(int M, int N) {
  float** mas = allocateMatrix(M, N, console::physicalMemory());
  if (mas == nullptr) return nullptr;
  std::cout << "zadan massiv" << std::endl;
  std::srand(seedFromTime(console::currentTime()));
  fillMatrix(mas, M, N, std::cout);
  return mas;
}

void MatrixTool::printStatistics(float** mas, int M, int N) {
  writeStatistics(std::cout, computeStatistics(mas, M, N));
}

void MatrixTool::releaseMatrix(float** mas, int M, int /*N*/) {
  releaseRows(mas, M);
  delete[] mas;
}

float** allocateMatrix(int M, int N, uint64_t memoryBytes) {
  // Overcommitted memory would let a matrix larger than the machine be allocated and then get
  // the process killed while it is filled, so such a matrix is refused beforehand.
  if (!matrixFits(M, N, memoryBytes)) return nullptr;
  float** mas = new (std::nothrow) float*[static_cast<size_t>(M)];
  if (mas == nullptr) return nullptr;
  for (int i = 0; i < M; ++i) {
    mas[i] = new (std::nothrow) float[static_cast<size_t>(N)];
    if (mas[i] == nullptr) {
      releaseRows(mas, i);
      delete[] mas;
      return nullptr;
    }
  }
  return mas;
}

void fillMatrix(float** mas, int M, int N, std::ostream& out) {
  const CellTable& cells = cellTable();
  std::array<char, kBlockBytes> block;
  size_t used = 0;
  for (int i = 0; i < M; ++i) {
    float* row = mas[i];
    for (int j = 0; j < N; ++j) {
      // Room for this field and a line end after it.
      if (used + kFieldWidth + 1 > kBlockBytes) {
        writeBlock(out, block.data(), used);
        used = 0;
      }
      const auto k = static_cast<size_t>(std::rand() % kCellValues);
      row[j] = cells.value[k];
      std::memcpy(block.data() + used, cells.field[k].data(), kFieldWidth);
      used += kFieldWidth;
    }
    block[used++] = '\n';
  }
  writeBlock(out, block.data(), used);
}

void writeStatistics(std::ostream& out, MatrixStatistics stats) {
  out << std::endl << "Srednee " << stats.mean << std::endl << "Dispersia " << stats.variance;
  out.flush();
}
