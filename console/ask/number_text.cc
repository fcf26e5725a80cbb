#include "console/ask/number_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace console {
namespace {

// Where the exponent saturates: beyond it the value is infinite or zero whatever the mantissa,
// since the mantissa's place moves by one per character and no input has 10^17 characters (at
// 10 GB/s, four months of reading). The place and the exponent then add without overflow.
constexpr int64_t kExponentLimit = 100'000'000'000'000'000;
static_assert(kExponentLimit <= (INT64_MAX - 9) / 10, "one more exponent digit must fit");

// Beyond this power of ten, any kKeptDigits digits make a value past every double or under the
// smallest one; the text handed to the conversion keeps its exponent short.
constexpr int64_t kPowerLimit = 1'000'000'000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void takeMantissaDigit(NumberText& number, char c) {
  number.sawDigit = true;
  if (number.digitCount == 0 && c == '0') {
    // A leading zero counts only for its place after the point.
    if (number.sawPoint) --number.scale;
    return;
  }
  if (number.digitCount < kKeptDigits) {
    number.digits[number.digitCount++] = c;
    if (number.sawPoint) --number.scale;
    return;
  }
  if (c != '0') number.droppedNonZero = true;
  if (!number.sawPoint) ++number.scale;
}

void takeExponentDigit(NumberText& number, char c) {
  number.sawExponentDigit = true;
  number.exponent = std::min(kExponentLimit, number.exponent * 10 + (c - '0'));
}

}  // namespace

bool takeNumberChar(NumberText& number, char c) {
  const bool anythingTaken = number.sawSign || number.sawDigit || number.sawPoint;
  if ((c == '+' || c == '-') && !anythingTaken) {
    number.sawSign = true;
    number.negative = c == '-';
    return true;
  }
  if (number.sawExponent) {
    if ((c == '+' || c == '-') && !number.sawExponentSign && !number.sawExponentDigit) {
      number.sawExponentSign = true;
      number.exponentNegative = c == '-';
      return true;
    }
    if (!isDigit(c)) return false;
    takeExponentDigit(number, c);
    return true;
  }
  if (isDigit(c)) {
    takeMantissaDigit(number, c);
    return true;
  }
  if (c == '.' && !number.sawPoint) {
    number.sawPoint = true;
    return true;
  }
  if ((c == 'e' || c == 'E') && number.sawDigit) {
    number.sawExponent = true;
    return true;
  }
  return false;
}

NumberValue numberValue(const NumberText& number) {
  if (!number.sawDigit || (number.sawExponent && !number.sawExponentDigit)) return {0.0, false};
  // A short text with the same value: the digits kept, then one more nonzero digit for those
  // dropped if any was not zero (the value lies just above the digits kept, as it does, and on
  // the same side of every point halfway between two doubles), then the power of ten.
  char text[kKeptDigits + 32];
  size_t length = 0;
  if (number.negative) text[length++] = '-';
  text[length++] = '0';
  std::copy_n(number.digits.data(), number.digitCount, text + length);
  length += number.digitCount;
  int64_t power = number.scale;
  if (number.droppedNonZero) {
    text[length++] = '1';
    --power;
  }
  power += number.exponentNegative ? -number.exponent : number.exponent;
  power = std::clamp(power, -kPowerLimit, kPowerLimit);
  std::snprintf(text + length, sizeof text - length, "e%lld", static_cast<long long>(power));
  // The conversion the stream itself uses; it reports a value beyond range as infinite.
  const double value = std::strtod(text, nullptr);
  constexpr double kLargest = std::numeric_limits<double>::max();
  if (value > kLargest) return {kLargest, false};
  if (value < -kLargest) return {-kLargest, false};
  return {value, true};
}

}  // namespace console
