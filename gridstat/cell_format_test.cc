#include "gridstat/cell_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <sstream>
#include <string>

namespace {

std::string text(const CellField& field) { return std::string(field.data(), field.size()); }

TEST(CellField, WritesTheDecimalRightAligned) {
  const struct {
    int k;
    const char* field;
  } cases[] = {
      {0, "     0"},    {1, " 0.001"},    {10, "  0.01"},   {100, "   0.1"},
      {500, "   0.5"},  {1000, "     1"}, {1001, " 1.001"}, {1010, "  1.01"},
      {1234, " 1.234"}, {9990, "  9.99"}, {9999, " 9.999"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.field, text(cellField(c.k))) << c.k;
}

// The table must print exactly as the stream prints the stored float with width 6.
TEST(CellTable, MatchesTheStreamForEveryValue) {
  const CellTable& table = cellTable();
  for (int k = 0; k < kCellValues; ++k) {
    const float value = table.value[static_cast<size_t>(k)];
    std::ostringstream stream;
    stream << std::setw(6) << value;
    ASSERT_EQ(stream.str(), text(table.field[static_cast<size_t>(k)])) << k;
    ASSERT_EQ(stream.str(), text(cellField(k))) << k;
    ASSERT_EQ(value, cellValue(k)) << k;
    // The nearest float to k / 1000: within half a float step of it.
    ASSERT_LE(std::fabs(static_cast<double>(value) * 1000.0 - k), 1000.0 * 0x1p-24 * 10.0) << k;
  }
}

TEST(SeedFromTime, KeepsTheLowThirtyTwoBits) {
  const struct {
    int64_t seconds;
    uint32_t seed;
  } cases[] = {
      {0, 0u},          {1, 1u},          {1700000000, 1700000000u},  {4294967295, 4294967295u},
      {4294967296, 0u}, {4294967297, 1u}, {0x123456789, 0x23456789u}, {-1, 4294967295u},
  };
  for (const auto& c : cases) EXPECT_EQ(c.seed, seedFromTime(c.seconds)) << c.seconds;
}

}  // namespace
