// The text of the array listing: one line per element, its number followed by its value in a
// field of ten characters, formatted into a caller's buffer without any stream.
#ifndef ARRAYMENU_LISTING_FORMAT_H_
#define ARRAYMENU_LISTING_FORMAT_H_

#include <cstddef>
#include <cstdint>

/// Room one listing line may take while it is formatted (the line itself is at most 24
/// characters: a ten-digit number, a value text of up to 13 characters, the line end).
inline constexpr size_t kListingLineRoom = 32;

/// Writes `value` as a stream writes a double in its default format after `std::setw(10)`:
/// general notation with six significant digits, right-aligned with blanks in ten characters,
/// longer texts unpadded. Needs `kListingLineRoom` bytes at `out`; returns the end of the text.
char* formatValueField(char* out, double value);

/// Writes one line per element of `values[0..n)`: the element number (counting up from
/// `firstNumber`, decimal, no padding), the value field of `formatValueField`, a line end.
/// Needs `n * kListingLineRoom` bytes at `out`; returns the end of the text.
char* formatListingLines(char* out, const double* values, size_t n, uint32_t firstNumber);

#endif  // ARRAYMENU_LISTING_FORMAT_H_
