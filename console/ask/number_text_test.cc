#include "console/ask/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "console/ask/input.h"

namespace {

// What one extraction did: the value's bits, the state and the text left unread.
struct Extraction {
  uint64_t bits;
  std::ios_base::iostate state;
  std::string rest;
  bool operator==(const Extraction&) const = default;
};

template <typename Extract>
Extraction extract(const std::string& input, Extract extractInto) {
  std::istringstream in(input);
  double value = 42.0;  // left as it is when nothing could be read
  extractInto(in, value);
  Extraction result{0, in.rdstate(), ""};
  std::memcpy(&result.bits, &value, sizeof value);
  in.clear();
  std::getline(in, result.rest, '\0');
  return result;
}

void expectSameAsTheStream(const std::string& input) {
  const Extraction expected = extract(input, [](std::istream& in, double& v) { in >> v; });
  const Extraction actual = extract(input, console::extractDouble);
  ASSERT_TRUE(expected == actual) << "input " << testing::PrintToString(input.substr(0, 200))
                                  << " (" << input.size() << " characters)";
}

// The exact decimal of the point halfway between `value` and the next double up: its rounding
// depends on every one of its several hundred digits.
std::string halfwayAbove(double value) {
  const long double halfway =
      (static_cast<long double>(value) + std::nextafter(value, INFINITY)) / 2;
  char text[2000];
  std::snprintf(text, sizeof text, "%.1100Lf", halfway);
  std::string decimal = text;
  decimal.erase(decimal.find_last_not_of('0') + 1);
  return decimal;
}

TEST(ExtractDouble, ReadsAsTheStreamDoesOnHandPickedText) {
  const std::string ones(5000, '1');
  const std::string zeros(5000, '0');
  const std::vector<std::string> inputs = {
      "",
      " ",
      "\n",
      "1",
      "-0",
      "+0.0",
      "-",
      "+",
      "+-1",
      ".",
      "-.",
      ".5",
      "5.",
      "0.e5",
      ".e5",
      "1e",
      "1e+",
      "1e-x",
      "1E5",
      "1e+5",
      "1e-5",
      "1e5e5",
      "1.2.3",
      "1..2",
      "0x1p3",
      "inf",
      "nan",
      "  \t 12abc",
      "007",
      "-00.0012e+3 rest",
      "1e308",
      "1.8e308",
      "-1.8e308",
      "1e-320",
      "4.9e-324",
      "1.7976931348623157e308",
      "-1.7976931348623157e308",
      "2.4e-324",
      "1e-400",
      "1e99999999999999999999",
      "1e-99999999999999999999",
      ones,
      ones + "e-5000",
      "0." + zeros + "1",
      "1" + zeros + "e-5000",
      zeros + "1.5",
      "9007199254740993",
      "9007199254740993" + zeros,
      "9007199254740993" + zeros + "1",
      "1e400e",
      "12 34",
      "1\r\n",
      "3 7.5\n",
  };
  for (const std::string& input : inputs) expectSameAsTheStream(input);
}

// The points halfway between two doubles round to even; a digit far beyond the kept ones
// decides the other way.
TEST(ExtractDouble, RoundsHalfwayPointsAsTheStreamDoes) {
  for (const double value : {1.0, 0.1, 123456.789, 1e300, 5e-324, 2.2250738585072014e-308,
                             9007199254740992.0, 0.30000000000000004}) {
    const std::string halfway = halfwayAbove(value);
    expectSameAsTheStream(halfway);
    expectSameAsTheStream(halfway + std::string(2000, '0') + "1");
    expectSameAsTheStream(halfway + std::string(2000, '0'));
    expectSameAsTheStream(std::string("-").append(halfway, 0, halfway.size() - 1));
  }
}

// Text made of the characters that matter to a number, in every order.
TEST(ExtractDouble, ReadsAsTheStreamDoesOnGeneratedText) {
  std::mt19937 random(20261209);
  const std::string alphabet = "0123456789012345678900000.eE+- x\n";
  for (int i = 0; i < 200000; ++i) {
    std::string input(random() % 24, ' ');
    for (char& c : input) c = alphabet[random() % alphabet.size()];
    if (random() % 8 == 0) input.insert(random() % (input.size() + 1), std::string(900, '7'));
    expectSameAsTheStream(input);
  }
}

// Long numbers fed one character at a time and never stored, the first of 10^9 characters:
// their zeros move the mantissa's place as far as the exponent moves it back. The value is that
// of a short text with the same digits and power.
TEST(NumberValue, CombinesPlaceAndExponentOfAnyLength) {
  struct Case {
    const char* head;
    int64_t zeros;
    const char* tail;
    const char* sameValue;
    bool ok;
  };
  const Case cases[] = {
      {"0.", 999'999'692, "1e1000000001", "1e308", true},
      {"-1", 1'000'000, "e-1000001", "-0.1", true},
      {"0.", 1'000'000, "25e1000307", "2.5e306", true},
      {"0.", 1'000'000, "1e99999999999999999999", "1.7976931348623157e308", false},
      {"-0.", 1'000'000, "1e-99999999999999999999", "-0", true},
  };
  for (const Case& row : cases) {
    console::NumberText number;
    bool taken = true;
    auto feed = [&](const char* text) {
      for (const char* c = text; *c != '\0'; ++c)
        taken = console::takeNumberChar(number, *c) && taken;
    };
    feed(row.head);
    for (int64_t i = 0; i < row.zeros; ++i) taken = console::takeNumberChar(number, '0') && taken;
    feed(row.tail);
    EXPECT_TRUE(taken) << row.tail;
    const console::NumberValue value = console::numberValue(number);
    const double expected = std::strtod(row.sameValue, nullptr);
    EXPECT_EQ(row.ok, value.ok) << row.tail;
    EXPECT_EQ(expected, value.value) << row.tail;
    EXPECT_EQ(std::signbit(expected), std::signbit(value.value)) << row.tail;
  }
}

}  // namespace
