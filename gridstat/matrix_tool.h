// gridstat's matrix (`Matrix`: a row table plus one block per row) and the tool that creates it
// filled from the C library's generator and printed, summarises it and frees it
// (`MatrixTool`), with the steps those operations are made of.
#ifndef GRIDSTAT_MATRIX_TOOL_H_
#define GRIDSTAT_MATRIX_TOOL_H_

#include <cstdint>
#include <ostream>

#include "crand/c_random.h"
#include "gridstat/statistics.h"

/// A matrix of floats: a row table of `rowCount` pointers, each to a row of `columnCount` cells
/// allocated on its own. Empty until `allocateMatrix` succeeds; it frees its rows, then its row
/// table, when it goes out of scope, and cannot be copied.
struct Matrix {
  float** rows = nullptr;
  int rowCount = 0;
  int columnCount = 0;

  Matrix() = default;
  Matrix(const Matrix&) = delete;
  Matrix& operator=(const Matrix&) = delete;
  ~Matrix();
};

/// gridstat's three operations on its matrix, which `main` holds and passes to each; the tool
/// itself holds nothing.
struct MatrixTool {
  /// Allocates `matrix` as a `rowCount` x `columnCount` matrix (both positive), writes "zadan
  /// massiv" on standard output, seeds `rand` from the clock and fills and prints every cell,
  /// row by row, on every core the process may use. When the matrix cannot be held (its size
  /// does not fit, it needs more than the memory the system can give now,
  /// `console::memoryForBlock`, or an allocation fails) returns false having written nothing
  /// and left `matrix` empty.
  bool createMatrix(Matrix& matrix, int rowCount, int columnCount) const;

  /// Writes a line end, "Srednee " and the mean, a line end, "Dispersia " and the sample
  /// variance of all cells of `matrix` on standard output, with no line end after it, and
  /// flushes.
  void printStatistics(const Matrix& matrix) const;

  /// Frees every row of `matrix`, then its row table, and leaves it empty.
  void releaseMatrix(Matrix& matrix) const;
};

/// Allocates the row table of empty `matrix` and then rows 0 to `rowCount` - 1 of `columnCount`
/// floats, cells unset, from heap memory that up to `workers` threads have taken from the system
/// beforehand (parallel/pages.h). Returns false, with `matrix` left empty, when the matrix needs
/// more than `memoryBytes` or does not fit 64 bits, or when an allocation fails.
bool allocateMatrix(Matrix& matrix, int rowCount, int columnCount, uint64_t memoryBytes,
                    unsigned workers);

/// Fills the cells in row-major order with `cellValue(rand() % 10000)` after `srand(seed)` and
/// writes each cell's six-character field to `out`, a line end after each row, in large blocks
/// without flushing. The values come from the inline copy of `reference` (the C library's srand
/// and rand) when it has proved itself, else from `reference` itself (see crand/c_random.h).
/// With the inline copy, up to `workers` threads fill and format parts of the matrix, each from
/// the generator taken up where its part starts; the cells and the text are those of one. After
/// a failed write nothing more is written, and the cells are filled all the same.
void fillMatrix(Matrix& matrix, uint32_t seed, std::ostream& out, unsigned workers,
                crand::RandFunctions reference = crand::libraryRand());

/// Writes the statistics as `printStatistics` does and flushes `out`.
void writeStatistics(std::ostream& out, MatrixStatistics stats);

#endif  // GRIDSTAT_MATRIX_TOOL_H_
