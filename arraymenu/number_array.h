// The array of the editor: a block of doubles filled with pseudo-random values, changed and
// extended one element at a time, and listed on standard output.
#ifndef ARRAYMENU_NUMBER_ARRAY_H_
#define ARRAYMENU_NUMBER_ARRAY_H_

#include <cstdint>

#include "crand/c_random.h"

/// Largest array the size dialogue accepts (the bound is 50 * 1024 * 1024, exclusive).
inline constexpr uint32_t kMaxArraySize = 50 * 1024 * 1024 - 1;

/// A heap block of exactly `count` doubles, empty until `create` succeeds. The array owns its
/// block and frees it when it goes out of scope; it can be moved, not copied.
struct NumberArray {
  double* elements = nullptr;
  uint32_t count = 0;

  NumberArray() = default;
  NumberArray(NumberArray&& other) noexcept;
  NumberArray& operator=(NumberArray&& other) noexcept;
  ~NumberArray();

  /// As below, against the memory the system can give now (`console::memoryForBlock`), on every
  /// core the process may use (`console::availableCores`).
  bool create(uint32_t size);

  /// Fills a new block of `size` (1..kMaxArraySize) elements: after `srand(0)`, element i is
  /// `rand() % 1000` (the second call of a pair) plus `rand() % 1000 / 1000.0` (the first).
  /// The values come from the inline copy of `reference` (the C library's srand and rand) when
  /// it has proved itself, else from `reference` itself (see crand/c_random.h). Writes
  /// "Massiv sozdan" and an empty line on standard output and returns true. When the
  /// block cannot be had or would take more than `memoryBytes` (counted as
  /// `console::arrayMemory` counts it), writes
  /// "Nedostatochno pamyati" on standard error, keeps nothing (`count` 0) and returns false.
  /// The block is filled by up to `workers` threads, one part each, with the same values as by
  /// one.
  bool create(uint32_t size, uint64_t memoryBytes, unsigned workers,
              crand::RandFunctions reference = crand::libraryRand());

  /// Adds `value` as element number `count + 1` and writes "Znacenie dobavleno" and an empty
  /// line on standard output. When the larger block cannot be had or would take more than
  /// `memoryBytes` (as `console::arrayMemory` counts it), writes "Nedostatochno pamyati" on
  /// standard error, leaves the array exactly as it was and returns false.
  bool appendElement(double value, uint64_t memoryBytes);

  /// As above, with the memory the system can give now, the array's own block counting as free
  /// since the larger block replaces it (`console::memoryForBlock`); asked only when the larger
  /// block reaches into a page the array's block does not have (`console::needsNewPages`), any
  /// other append needing no more memory.
  bool appendElement(double value);

  /// Stores `value` into element `number` (1..count, not checked) and writes
  /// "Znacenie izmeneno" and an empty line on standard output.
  void changeElement(int32_t number, double value);

  /// Frees the block and leaves the array empty.
  void release();

  /// The number of elements.
  uint32_t size() const;
};

/// Writes the listing of `numbers` on standard output: for each element its number from 1 and its
/// value right-aligned in ten characters, one line each, then an empty line. The lines go out
/// in large blocks; the empty line flushes standard output. A failed write ends the listing and
/// marks standard output bad. Up to `workers` threads format the lines; the text is the same.
void printArray(const NumberArray& numbers, unsigned workers);

/// As above, on every core the process may use (`console::availableCores`).
void printArray(const NumberArray& numbers);

#endif  // ARRAYMENU_NUMBER_ARRAY_H_
