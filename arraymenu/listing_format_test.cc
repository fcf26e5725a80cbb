#include "arraymenu/listing_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string field(double value) {
  char text[kListingLineRoom];
  return std::string(text, formatValueField(text, value));
}

// What the stream writes for the same value: the text the listing must reproduce byte for byte.
std::string streamField(std::ostringstream& os, double value) {
  os.str("");
  os << std::setw(10) << value;
  return os.str();
}

TEST(FormatValueField, EveryCreatableValueMatchesTheStream) {
  std::ostringstream os;
  int mismatches = 0;
  for (int whole = 0; whole < 1000; ++whole) {
    for (int thousandths = 0; thousandths < 1000; ++thousandths) {
      const double value = whole + static_cast<double>(thousandths) / 1000.0;
      const std::string expected = streamField(os, value);
      if (field(value) != expected && ++mismatches <= 10) {
        ADD_FAILURE() << whole << " + " << thousandths << "/1000: expected \"" << expected
                      << "\", got \"" << field(value) << '"';
      }
    }
  }
  EXPECT_EQ(0, mismatches);
}

TEST(FormatValueField, TypedValuesMatchTheStream) {
  const double values[] = {0.0,
                           -0.0,
                           0.1,
                           0.5,
                           1.0,
                           5.0,
                           7.25,
                           -1.5,
                           -41.5,
                           12.0,
                           999.999,
                           999.9995,
                           1000.0,
                           1000.5,
                           1e-5,
                           1e-4,
                           0.0001234567,
                           0.00001234567,
                           123456.5,
                           999999.5,
                           1234567.0,
                           12345.678,
                           123456.0,
                           1e300,
                           -1e300,
                           1.7976931348623157e308,
                           4.9406564584124654e-324,
                           2.2e-308,
                           -123456789.0,
                           -9999999.0,
                           1e15,
                           1e16,
                           0.30000000000000004,
                           886.383,
                           886.3830000000001,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN()};
  std::ostringstream os;
  for (double value : values) EXPECT_EQ(streamField(os, value), field(value)) << value;
}

TEST(FormatValueField, KnownTextsByHand) {
  EXPECT_EQ("   886.383", field(886 + 383 / 1000.0));
  EXPECT_EQ("    27.362", field(27 + 362 / 1000.0));
  EXPECT_EQ("         0", field(0.0));
  EXPECT_EQ("        -0", field(-0.0));
  EXPECT_EQ("       0.1", field(0.1));
  EXPECT_EQ("     1e-05", field(1e-5));
  EXPECT_EQ("1.23457e+06", field(1234567.0));  // wider than the field: no blank at all
  EXPECT_EQ("-1.23457e+08", field(-123456789.0));
  EXPECT_EQ("       inf", field(std::numeric_limits<double>::infinity()));
  EXPECT_EQ("       nan", field(std::numeric_limits<double>::quiet_NaN()));
}

TEST(FormatValueField, NeighboursOfThousandthsMatchTheStream) {
  // One unit in the last place away from a whole thousandth is no longer one: it must take the
  // general conversion and still come out as the stream writes it.
  std::ostringstream os;
  for (int k = 0; k <= 1000000; k += 997) {
    const double value = k / 1000 + static_cast<double>(k % 1000) / 1000.0;
    for (double near : {std::nextafter(value, -1.0), std::nextafter(value, 2000.0)}) {
      EXPECT_EQ(streamField(os, near), field(near)) << std::setprecision(17) << near;
    }
  }
}

TEST(FormatValueField, RandomValuesMatchTheStream) {
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<int> digits(-12, 12);
  std::uniform_int_distribution<int> mantissa(-99999999, 99999999);
  std::ostringstream os;
  int mismatches = 0;
  for (int i = 0; i < 200000; ++i) {
    // Every bit pattern (all exponents, NaNs, subnormals), and short decimals as people type them.
    const double anyBits = std::bit_cast<double>(random());
    const double decimal = mantissa(random) * std::pow(10.0, digits(random));
    for (double value : {anyBits, decimal}) {
      if (field(value) != streamField(os, value) && ++mismatches <= 10) {
        ADD_FAILURE() << std::setprecision(17) << value;
      }
    }
  }
  EXPECT_EQ(0, mismatches);
}

std::string literalLines(const std::vector<double>& values, uint32_t firstNumber) {
  std::ostringstream os;
  for (size_t i = 0; i < values.size(); ++i) {
    os << firstNumber + i << std::setw(10) << values[i] << '\n';
  }
  return os.str();
}

std::string formattedLines(const std::vector<double>& values, uint32_t firstNumber) {
  std::vector<char> text(values.size() * kListingLineRoom);
  char* end = formatListingLines(text.data(), values.data(), values.size(), firstNumber);
  return std::string(text.data(), end);
}

TEST(FormatListingLines, NumbersCountUpAcrossEveryNewDigit) {
  std::vector<double> values(25, 1.5);
  values[3] = 1234567.0;
  for (uint32_t first : {1u, 5u, 90u, 990u, 9990u, 99999990u, 999999990u, 4294967271u}) {
    EXPECT_EQ(literalLines(values, first), formattedLines(values, first)) << first;
  }
}

TEST(FormatListingLines, FirstLinesByHand) {
  EXPECT_EQ("1   886.383\n2         5\n3-1.23457e+08\n",
            formattedLines({886.383, 5.0, -123456789.0}, 1));
  EXPECT_EQ("", formattedLines({}, 1));
}

}  // namespace
