#include "gridstat/matrix_size.h"

namespace {

// The C library's allocator adds an 8-byte header to each block, rounds up to 16 bytes and
// hands out at least 32: a matrix of one column costs 32 bytes a row, not 4.
constexpr uint64_t kBlockHeader = 8;
constexpr uint64_t kBlockAlignment = 16;
constexpr uint64_t kSmallestBlock = 32;

bool blockBytes(uint64_t count, uint64_t elementSize, uint64_t* bytes) {
  uint64_t size = 0;
  if (__builtin_mul_overflow(count, elementSize, &size)) return false;
  if (__builtin_add_overflow(size, kBlockHeader + kBlockAlignment - 1, &size)) return false;
  size -= size % kBlockAlignment;
  *bytes = size < kSmallestBlock ? kSmallestBlock : size;
  return true;
}

}  // namespace

bool matrixFootprint(int rows, int columns, uint64_t* bytes) {
  if (rows <= 0 || columns <= 0) return false;
  const auto rowCount = static_cast<uint64_t>(rows);
  uint64_t table = 0;
  uint64_t row = 0;
  uint64_t allRows = 0;
  uint64_t total = 0;
  if (!blockBytes(rowCount, sizeof(float*), &table) ||
      !blockBytes(static_cast<uint64_t>(columns), sizeof(float), &row) ||
      __builtin_mul_overflow(rowCount, row, &allRows) ||
      __builtin_add_overflow(table, allRows, &total)) {
    return false;
  }
  *bytes = total;
  return true;
}

bool matrixFits(int rows, int columns, uint64_t memoryBytes) {
  uint64_t bytes = 0;
  return matrixFootprint(rows, columns, &bytes) && bytes <= memoryBytes;
}
