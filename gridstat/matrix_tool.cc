#include "gridstat/matrix_tool.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "console/system/system.h"
#include "crand/c_random.h"
#include "gridstat/cell_format.h"
#include "gridstat/matrix_size.h"
#include "parallel/for_each_chunk.h"
#include "parallel/ordered_writer.h"
#include "parallel/pages.h"

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

// The cells [begin, end) in row-major order: fills them from the generator and writes their
// text, a line end after each row's last. Each thread has a copy of its own, which goes on
// from where its last part ended and takes the generator up anew only where a part starts
// elsewhere.
struct CellPrinter {
  float** matrix;
  size_t columns;
  uint32_t seed;
  crand::CRandom generator;
  uint64_t position;  // the generator's

  char* operator()(size_t begin, size_t end, char* out) {
    if (begin != position) crand::seedCRandomAt(generator, seed, begin);
    position = end;
    const CellTable& cells = cellTable();
    size_t row = begin / columns;
    size_t column = begin % columns;
    for (size_t cell = begin; cell < end; ++row, column = 0) {
      float* cellsOfRow = matrix[row];
      const size_t stop = std::min(columns, column + (end - cell));
      cell += stop - column;
      for (; column < stop; ++column) {
        const size_t k = static_cast<uint32_t>(crand::nextCRandom(generator)) % kCellValues;
        cellsOfRow[column] = cells.value[k];
        std::memcpy(out, cells.field[k].data(), kFieldWidth);
        out += kFieldWidth;
      }
      if (column < columns) break;  // the part ends inside the row
      *out++ = '\n';
    }
    return out;
  }
};

// Cells a thread fills at the least when nothing is written: fewer cost less than starting it.
constexpr size_t kLeastCellsPerThread = size_t{1} << 16;

}  // namespace

Matrix::~Matrix() {
  for (int i = 0; i < rowCount; ++i) delete[] rows[i];
  delete[] rows;
}

bool MatrixTool::createMatrix(Matrix& matrix, int rowCount, int columnCount) const {
  const unsigned workers = console::availableCores();
  if (!allocateMatrix(matrix, rowCount, columnCount, console::memoryForBlock(0), workers)) {
    return false;
  }
  std::cout << "zadan massiv" << std::endl;
  fillMatrix(matrix, seedFromTime(console::currentTime()), std::cout, workers);
  return true;
}

void MatrixTool::printStatistics(const Matrix& matrix) const {
  writeStatistics(std::cout, computeStatistics(matrix.rows, matrix.rowCount, matrix.columnCount,
                                               console::availableCores()));
}

void MatrixTool::releaseMatrix(Matrix& matrix) const {
  for (int i = 0; i < matrix.rowCount; ++i) delete[] matrix.rows[i];
  delete[] matrix.rows;
  matrix.rows = nullptr;
  matrix.rowCount = 0;
  matrix.columnCount = 0;
}

bool allocateMatrix(Matrix& matrix, int rowCount, int columnCount, uint64_t memoryBytes,
                    unsigned workers) {
  // Overcommitted memory would let a matrix larger than the system can give be allocated and
  // then get the process killed while it is filled, so such a matrix is refused beforehand.
  if (!matrixFits(rowCount, columnCount, memoryBytes)) return false;
  float** rows = new (std::nothrow) float*[static_cast<size_t>(rowCount)];
  if (rows == nullptr) return false;
  // One row at a time, the heap would grow a few pages at each and the first write to each
  // row's bookkeeping would take a fault; all of it is taken beforehand, on every core.
  parallel::prepareHeap(
      static_cast<size_t>(rowCount) * static_cast<size_t>(columnCount) * sizeof(float), workers);
  for (int i = 0; i < rowCount; ++i) {
    rows[i] = new (std::nothrow) float[static_cast<size_t>(columnCount)];
    if (rows[i] == nullptr) {
      for (int j = 0; j < i; ++j) delete[] rows[j];
      delete[] rows;
      return false;
    }
  }
  matrix.rows = rows;
  matrix.rowCount = rowCount;
  matrix.columnCount = columnCount;
  return true;
}

void fillMatrix(Matrix& matrix, uint32_t seed, std::ostream& out, unsigned workers,
                crand::RandFunctions reference) {
  CellPrinter printer{matrix.rows, static_cast<size_t>(matrix.columnCount), seed, {}, 0};
  if (!crand::seedCheckedCRandom(printer.generator, seed, reference)) {
    // The library's rand, in turn.
    fillCells(matrix.rows, matrix.rowCount, matrix.columnCount, out, reference.next);
    return;
  }
  const size_t cellCount = static_cast<size_t>(matrix.rowCount) * printer.columns;
  const bool wrote = parallel::writeInOrder(
      cellCount, kFieldWidth + 1, workers, outputBlock, printer,
      [&out](const char* text, size_t length) {
        return static_cast<bool>(out.write(text, static_cast<std::streamsize>(length)));
      });
  if (!wrote) {
    // The statistics still need every cell.
    parallel::forEachChunk(cellCount, kLeastCellsPerThread, workers, [&](size_t begin, size_t end) {
      CellPrinter filler = printer;
      filler.position = UINT64_MAX;
      std::array<char, (kFieldWidth + 1) * 1024> text;
      for (size_t part = begin; part < end; part += 1024) {
        filler(part, std::min(part + 1024, end), text.data());
      }
    });
  }
}

void writeStatistics(std::ostream& out, MatrixStatistics stats) {
  out << std::endl << "Srednee " << stats.mean << std::endl << "Dispersia " << stats.variance;
  out.flush();
}
