// What a matrix costs in memory, computed without overflow, and whether it can be held.
#ifndef GRIDSTAT_MATRIX_SIZE_H_
#define GRIDSTAT_MATRIX_SIZE_H_

#include <cstdint>

/// The memory a matrix of `rows` x `columns` takes: the row table of `rows` pointers plus `rows`
/// rows of `columns` floats, each block as the allocator takes it (whole pages from 128 KiB),
/// and the page tables of them all (console/system/memory_cost.h). Writes it to `bytes` and returns
/// true; returns false, leaving `bytes` alone, when a count is not positive or the sum does
/// not fit 64 bits.
bool matrixFootprint(int rows, int columns, uint64_t* bytes);

/// True when a `rows` x `columns` matrix has a footprint that fits 64 bits and is at most
/// `memoryBytes`.
bool matrixFits(int rows, int columns, uint64_t memoryBytes);

#endif  // GRIDSTAT_MATRIX_SIZE_H_
