// The matrix of gridstat: a row table plus one block per row, filled from the C library's
// generator, printed, summarised and released.
#ifndef GRIDSTAT_MATRIX_TOOL_H_
#define GRIDSTAT_MATRIX_TOOL_H_

#include <cstdint>
#include <ostream>

#include "console/c_random.h"
#include "gridstat/statistics.h"

/// The three operations on the matrix; holds no data, the caller keeps the row table.
struct MatrixTool {
  /// Allocates a `rows` x `columns` matrix (both positive), writes "zadan massiv" on standard
  /// output, seeds `rand` from the clock and fills and prints every cell, row by row. Returns the
  /// row table. When the matrix cannot be held (its size does not fit, it needs more than the
  /// physical memory, or an allocation fails) returns nullptr having written nothing and kept
  /// nothing.
  float** createMatrix(int rows, int columns);

  /// Writes a line end, "Srednee " and the mean, a line end, "Dispersia " and the sample
  /// variance of all cells on standard output, with no line end after it, and flushes.
  void printStatistics(float** matrix, int rows, int columns);

  /// Releases every row of `matrix`, then the row table.
  void releaseMatrix(float** matrix, int rows, int columns);
};

/// Allocates the row table and then rows 0 to `rows` - 1 of `columns` floats, cells unset. Returns
/// nullptr, with nothing left allocated, when the matrix needs more than `memoryBytes` or does not
/// fit 64 bits, or when an allocation fails.
float** allocateMatrix(int rows, int columns, uint64_t memoryBytes);

/// Fills the cells in row-major order with `cellValue(rand() % 10000)` after `srand(seed)` and
/// writes each cell's six-character field to `out`, a line end after each row, in large blocks
/// without flushing. The values come from the inline copy of `reference` (the C library's srand
/// and rand) when it has proved itself, else from `reference` itself (see console/c_random.h).
void fillMatrix(float** matrix, int rows, int columns, uint32_t seed, std::ostream& out,
                console::RandFunctions reference = console::libraryRand());

/// Writes the statistics as `printStatistics` does and flushes `out`.
void writeStatistics(std::ostream& out, MatrixStatistics stats);

#endif  // GRIDSTAT_MATRIX_TOOL_H_
