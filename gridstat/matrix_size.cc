#include "gridstat/matrix_size.h"

#include "console/system/memory_cost.h"

bool matrixFootprint(int rows, int columns, uint64_t* bytes) {
  if (rows <= 0 || columns <= 0) return false;
  const auto rowCount = static_cast<uint64_t>(rows);
  uint64_t rowBytes = 0;
  uint64_t allRows = 0;
  uint64_t blocks = 0;
  if (__builtin_mul_overflow(static_cast<uint64_t>(columns), sizeof(float), &rowBytes) ||
      __builtin_mul_overflow(rowCount, console::allocatorBlockBytes(rowBytes), &allRows) ||
      __builtin_add_overflow(console::allocatorBlockBytes(rowCount * sizeof(float*)), allRows,
                             &blocks) ||
      blocks == UINT64_MAX) {
    return false;
  }
  *bytes = console::memoryTaken(blocks);
  return *bytes != UINT64_MAX;
}

bool matrixFits(int rows, int columns, uint64_t memoryBytes) {
  uint64_t bytes = 0;
  return matrixFootprint(rows, columns, &bytes) && bytes <= memoryBytes;
}
