#include "arraymenu/listing_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "crand/thousandths.h"

namespace {

// Every created element is a whole part 0..999 plus a fraction of thousandths, and so are
// most values typed by hand. Their texts come from these tables instead of a conversion.
struct ThousandthsText {
  std::array<std::array<char, 4>, 1000> wholeText;     // right-aligned in three: "  5", " 27"
  std::array<std::array<char, 4>, 1000> fractionText;  // ".5", ".25", ".125"; empty for 0
  std::array<uint8_t, 1000> fractionLength;
};

constexpr ThousandthsText makeThousandthsText() {
  ThousandthsText t{};
  for (int n = 0; n < 1000; ++n) {
    const auto i = static_cast<size_t>(n);
    const char digits[3] = {static_cast<char>('0' + n / 100), static_cast<char>('0' + n / 10 % 10),
                            static_cast<char>('0' + n % 10)};
    t.wholeText[i] = {n >= 100 ? digits[0] : ' ', n >= 10 ? digits[1] : ' ', digits[2], ' '};

    int fractionDigits = 3;
    while (fractionDigits > 0 && digits[fractionDigits - 1] == '0') --fractionDigits;
    if (fractionDigits > 0) {
      t.fractionText[i][0] = '.';
      for (int k = 0; k < fractionDigits; ++k) {
        t.fractionText[i][static_cast<size_t>(k + 1)] = digits[k];
      }
      t.fractionLength[i] = static_cast<uint8_t>(fractionDigits + 1);
    }
  }
  return t;
}

constexpr ThousandthsText kThousandthsText = makeThousandthsText();

constexpr char kBlanks[16] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                              ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
constexpr size_t kFieldWidth = 10;

// Writes the field for a value that is exactly `whole + fraction / 1000.0` (whole, fraction in
// 0..999); returns nullptr for any other value. Such a value has at most six significant
// digits and lies within a few units of 1e-13 of its decimal, so its six-digit general form is
// exactly that decimal without trailing zeros.
char* formatThousandths(char* out, double value) {
  if (!(value >= 0.0 && value < 1000.0) || std::signbit(value)) return nullptr;
  const auto thousandths = static_cast<uint32_t>(value * 1000.0 + 0.5);
  const uint32_t whole = thousandths / 1000;
  const uint32_t fraction = thousandths % 1000;
  // Just below 1000 the whole part rounds up to 1000, which this check refuses too.
  if (static_cast<double>(whole) + crand::kThousandths[fraction] != value) return nullptr;

  // The field is built from its right end: the fraction ends it, the whole part (blank-padded
  // to three) stands just before, the blanks written first fill the rest.
  const size_t fractionLength = kThousandthsText.fractionLength[fraction];
  std::memcpy(out, kBlanks, sizeof kBlanks);
  std::memcpy(out + kFieldWidth - fractionLength, kThousandthsText.fractionText[fraction].data(),
              4);
  std::memcpy(out + kFieldWidth - fractionLength - 3, kThousandthsText.wholeText[whole].data(), 3);
  return out + kFieldWidth;
}

char* formatGeneral(char* out, double value) {
  char text[kListingLineRoom];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  const auto length = static_cast<size_t>(result.ptr - text);
  if (length < kFieldWidth) {
    std::memcpy(out, kBlanks, kFieldWidth - length);
    out += kFieldWidth - length;
  }
  std::memcpy(out, text, length);
  return out + length;
}

// The decimal text of the line number, counted up in place: cheaper than a conversion per line.
struct LineNumber {
  char text[16];
  size_t length;
};

LineNumber lineNumberOf(uint32_t number) {
  LineNumber n{};
  n.length =
      static_cast<size_t>(std::to_chars(n.text, n.text + sizeof n.text, number).ptr - n.text);
  return n;
}

void countUp(LineNumber& n) {
  for (size_t i = n.length; i > 0; --i) {
    if (n.text[i - 1] != '9') {
      ++n.text[i - 1];
      return;
    }
    n.text[i - 1] = '0';
  }
  // All digits were nines: the number gains a leading 1.
  n.text[0] = '1';
  n.text[n.length] = '0';
  ++n.length;
}

}  // namespace

char* formatValueField(char* out, double value) {
  if (char* end = formatThousandths(out, value)) return end;
  return formatGeneral(out, value);
}

char* formatListingLines(char* out, const double* values, size_t n, uint32_t firstNumber) {
  LineNumber number = lineNumberOf(firstNumber);
  for (size_t i = 0; i < n; ++i) {
    std::memcpy(out, number.text, sizeof number.text);
    out += number.length;
    if (char* end = formatThousandths(out, values[i])) {
      out = end;
    } else {
      out = formatGeneral(out, values[i]);
    }
    *out++ = '\n';
    countUp(number);
  }
  return out;
}
