// The matrix of gridstat: a row table plus one block per row, filled from the C library's
// generator, printed, summarised and freed.
#ifndef GRIDSTAT_MATRIX_TOOL_H_
#define GRIDSTAT_MATRIX_TOOL_H_

#include <cstdint>
#include <ostream>

#include "console/system.h"
#include "crand/c_random.h"
#include "gridstat/statistics.h"

/// The matrix: a row table of `rows` rows of `columns` floats, empty until `createMatrix`
/// succeeds. It owns the rows and frees them when it goes out of scope; it cannot be copied.
struct MatrixTool {
  float** matrix = nullptr;
  int rows = 0;
  int columns = 0;

  MatrixTool() = default;
  MatrixTool(const MatrixTool&) = delete;
  MatrixTool& operator=(const MatrixTool&) = delete;
  ~MatrixTool();

  /// Allocates a `rowCount` x `columnCount` matrix (both positive), writes "zadan massiv" on
  /// standard output, seeds `rand` from the clock and fills and prints every cell, row by row.
  /// When the matrix cannot be held (its size does not fit, it needs more than the memory the
  /// system can give now, `console::memoryForBlock`, or an allocation fails) returns false
  /// having written nothing and kept nothing.
  bool createMatrix(int rowCount, int columnCount);

  /// Writes a line end, "Srednee " and the mean, a line end, "Dispersia " and the sample
  /// variance of all cells on standard output, with no line end after it, and flushes.
  void printStatistics() const;

  /// Frees every row, then the row table, and leaves the matrix empty.
  void releaseMatrix();
};

/// Allocates the row table and then rows 0 to `rows` - 1 of `columns` floats, cells unset. Returns
/// nullptr, with nothing left allocated, when the matrix needs more than `memoryBytes` or does not
/// fit 64 bits, or when an allocation fails. The caller frees it with `freeMatrix`.
float** allocateMatrix(int rows, int columns, uint64_t memoryBytes);

/// Frees rows 0 to `rows` - 1 of `matrix`, then the row table.
void freeMatrix(float** matrix, int rows);

/// Fills the cells in row-major order with `cellValue(rand() % 10000)` after `srand(seed)` and
/// writes each cell's six-character field to `out`, a line end after each row, in large blocks
/// without flushing. The values come from the inline copy of `reference` (the C library's srand
/// and rand) when it has proved itself, else from `reference` itself (see crand/c_random.h).
/// With the inline copy, up to `workers` threads fill and format parts of the matrix, each from
/// the generator taken up where its part starts; the cells and the text are those of one. After
/// a failed write nothing more is written, and the cells are filled all the same.
void fillMatrix(float** matrix, int rows, int columns, uint32_t seed, std::ostream& out,
                crand::RandFunctions reference = crand::libraryRand(),
                unsigned workers = console::availableCores());

/// Writes the statistics as `printStatistics` does and flushes `out`.
void writeStatistics(std::ostream& out, MatrixStatistics stats);

#endif  // GRIDSTAT_MATRIX_TOOL_H_
