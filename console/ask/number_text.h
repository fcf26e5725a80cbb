// The text of a floating-point number as a stream reads it, taken one character at a time and
// kept in bounded memory: a number of any length reads to the same value as the stream's own
// extraction, which keeps every character.
#ifndef CONSOLE_ASK_NUMBER_TEXT_H_
#define CONSOLE_ASK_NUMBER_TEXT_H_

#include <array>
#include <cstddef>
#include <cstdint>

namespace console {

/// Significant digits kept; later ones only count for their place and whether any is nonzero.
/// More than the 767 that can decide how a decimal rounds to a double.
inline constexpr size_t kKeptDigits = 800;

/// The characters of one number in the stream's grammar: an optional sign, digits with at most
/// one decimal point, then optionally `e` or `E` (only after a digit), an optional sign and
/// digits. The number is kept as its significant digits and a power of ten.
struct NumberText {
  bool negative = false;
  bool sawSign = false;
  bool sawDigit = false;  // in the mantissa
  bool sawPoint = false;
  bool sawExponent = false;  // the `e`
  bool sawExponentSign = false;
  bool exponentNegative = false;
  bool sawExponentDigit = false;
  bool droppedNonZero = false;           // a significant digit past kKeptDigits was not zero
  std::array<char, kKeptDigits> digits;  // significant digits, no leading zero
  size_t digitCount = 0;
  int64_t scale = 0;     // the value is digits x 10^scale, before the exponent
  int64_t exponent = 0;  // what follows `e`, saturated far beyond any double's range
};

/// Offers the next character `c`: true when it belongs to the number (the caller consumes it and
/// offers the next one), false when the number has ended before it.
bool takeNumberChar(NumberText& number, char c);

/// A number's value, as the stream's extraction stores it.
struct NumberValue {
  double value;
  bool ok;  // false: the stream's extraction fails on this text
};

/// The value of the characters taken, correctly rounded. When they do not form a number (no
/// digit, or `e` without exponent digits) 0 and not ok; beyond the largest double, that double
/// with its sign and not ok. Allocates nothing.
NumberValue numberValue(const NumberText& number);

}  // namespace console

#endif  // CONSOLE_ASK_NUMBER_TEXT_H_
