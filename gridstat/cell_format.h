// The cells of the matrix: each holds one of 10000 values k / 1000, printed in a six-character
// field, and the generator's seed taken from the clock.
#ifndef GRIDSTAT_CELL_FORMAT_H_
#define GRIDSTAT_CELL_FORMAT_H_

#include <array>
#include <cstddef>
#include <cstdint>

/// How many distinct cell values there are: k / 1000 for k from 0 to 9999.
inline constexpr int kCellValues = 10000;

/// The width of a printed cell.
inline constexpr size_t kFieldWidth = 6;

using CellField = std::array<char, kFieldWidth>;

/// The value of a cell drawn as `k` (0..9999): k / 1000, divided in double precision and rounded
/// to single precision.
float cellValue(int k);

/// The printed field of `cellValue(k)`: right-aligned and blank-filled to six characters, the
/// value as d, d.d, d.dd or d.ddd without trailing zeros, as a stream writes that float with
/// width 6 in its default format.
CellField cellField(int k);

/// Every cell value and its field, indexed by k.
struct CellTable {
  std::array<float, kCellValues> value;
  std::array<CellField, kCellValues> field;
};

/// The table of all cells, built on first use.
const CellTable& cellTable();

/// The generator's seed for a clock reading in seconds: its low 32 bits, unsigned.
uint32_t seedFromTime(int64_t seconds);

#endif  // GRIDSTAT_CELL_FORMAT_H_
