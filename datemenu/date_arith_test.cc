#include "datemenu/date_arith.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/month_lengths.h"
#include "tests/redirect.h"

namespace {

Date parse(const char* line) {
  Date d{};
  EXPECT_TRUE(parseDateLine(line, &d)) << line;
  return d;
}

std::string text(Date d) {
  return std::to_string(d.day) + "." + std::to_string(d.month) + "." + std::to_string(d.year);
}

struct SumCase {
  const char* base;
  const char* other;
  const char* sum;
};

TEST(SumDates, CarriesMonthsAndDaysByTheMonthReached) {
  const SumCase cases[] = {
      {"15.06.2009", "20.08.0001", "7.3.2011"},
      {"01.01.2011", "01.01.0000", "2.2.2011"},
      {"31.01.2011", "28.01.0000", "31.3.2011"},   // February's length decides the carry
      {"31.12.2010", "31.01.0000", "3.3.2011"},    // two day carries
      {"30.10.2010", "05.01.0000", "5.12.2010"},   // a day carry into December stays in the year
      {"10.05.2010", "05.07.0000", "15.12.2010"},  // months summing to December stay in the year
      {"20.11.2010", "15.01.0000", "4.1.2011"},    // December reached, then a day carry past it
      {"31.12.2011", "31.12.0001", "31.1.2014"},   // two year carries
      {"30.01.2011", "31.12.0000", "2.3.2012"},
      {"31.12.4294967293", "31.12.0000", "31.1.4294967295"},
      {"1.1.4294967294", "31.12.0000", "1.2.4294967295"},
      {"3.3.0", "4.4.4294967295", "7.7.4294967295"},
  };
  for (const SumCase& c : cases) {
    Date sum{};
    ASSERT_TRUE(sumDates(parse(c.base), parse(c.other), &sum)) << c.base << " + " << c.other;
    EXPECT_EQ(c.sum, text(sum)) << c.base << " + " << c.other;
  }
}

TEST(SumDates, RefusesAYearBeyond32BitsCarriesIncluded) {
  const SumCase cases[] = {
      {"31.12.4294967294", "31.12.0000", ""},  // year fits only without the carries
      {"1.1.4294967295", "1.1.1", ""},
      {"1.12.4294967295", "1.1.0", ""},  // the month carry alone overflows
      {"1.1.2147483648", "1.1.2147483648", ""},
  };
  for (const SumCase& c : cases) {
    Date sum{9, 9, 9};
    EXPECT_FALSE(sumDates(parse(c.base), parse(c.other), &sum)) << c.base << " + " << c.other;
    EXPECT_EQ(9u, sum.year);
  }
}

TEST(AddDate, WritesTheSumAndKeepsIt) {
  Redirect io("");
  Date workingDate = parse("15.06.2009");
  addDate(&workingDate, parse("20.08.0001"));
  EXPECT_EQ("\nSumma dat ravna: 7.3.2011\n", io.out.str());
  EXPECT_EQ("7.3.2011", text(workingDate));
}

TEST(AddDate, LeavesTheDateAloneWhenTheYearOverflows) {
  Redirect io("");
  Date workingDate = parse("31.12.4294967294");
  addDate(&workingDate, parse("31.12.0000"));
  EXPECT_EQ("\nError, god summi slishkom bolshoi\n", io.out.str());
  EXPECT_EQ("31.12.4294967294", text(workingDate));
}

TEST(PrintDate, WritesNoLeadingZeros) {
  Redirect io("");
  printDate(parse("01.01.2011"));
  printDate(parse("31.12.2011"));
  printDate(parse("07.03.0000"));
  EXPECT_EQ("1.1.2011\n31.12.2011\n7.3.0\n", io.out.str());
}

struct DifferenceCase {
  const char* first;
  const char* second;
  int64_t days;
};

TEST(DateDifference, CountsDaysInTheCalendarWithoutLeapYears) {
  const DifferenceCase cases[] = {
      {"01.01.2011", "01.01.2011", 0},
      {"01.01.2011", "02.01.2011", 1},
      {"31.01.2011", "01.02.2011", 1},
      {"15.01.2011", "10.02.2011", 26},
      {"28.02.2008", "01.03.2008", 1},
      {"01.01.2011", "31.12.2011", 364},
      {"31.12.2010", "01.01.2011", 1},
      {"01.01.2010", "01.01.2011", 365},
      {"15.06.2009", "20.03.2011", 643},
      {"01.01.2000", "01.01.2011", 4015},
      {"01.01.0", "31.12.4294967295", 1567663063039},
      {"1.1.0", "1.1.5883516", 2147483340},  // about the largest count of 31 bits
      {"1.1.0", "1.1.5883517", 2147483705},  // beyond it
  };
  for (const DifferenceCase& c : cases) {
    EXPECT_EQ(c.days, dateDifference(parse(c.first), parse(c.second)))
        << c.first << " " << c.second;
    EXPECT_EQ(c.days, dateDifference(parse(c.second), parse(c.first)))
        << c.second << " " << c.first;
  }
}

// Independent reference: the ordinal day from a running sum of the month lengths written out.
int64_t ordinal(Date d) {
  int64_t days = int64_t{d.year} * 365 + d.day - 1;
  for (uint32_t m = 1; m < d.month; ++m) days += kMonthLengths[m - 1];
  return days;
}

Date randomDate(std::mt19937_64& rng, uint32_t minYear, uint32_t maxYear) {
  Date d{};
  d.year = std::uniform_int_distribution<uint32_t>(minYear, maxYear)(rng);
  d.month = std::uniform_int_distribution<uint32_t>(1, 12)(rng);
  d.day = std::uniform_int_distribution<uint32_t>(1, kMonthLengths[d.month - 1])(rng);
  return d;
}

TEST(DateDifference, AgreesWithOrdinalDaysOverRandomPairs) {
  std::mt19937_64 rng(20261208);
  for (int i = 0; i < 200000; ++i) {
    // Alternate full-range years with nearby ones, where months and days decide.
    uint32_t base = std::uniform_int_distribution<uint32_t>(0, UINT32_MAX - 3)(rng);
    bool near = i % 2 == 0;
    Date a = randomDate(rng, near ? base : 0, near ? base + 3 : UINT32_MAX);
    Date b = randomDate(rng, near ? base : 0, near ? base + 3 : UINT32_MAX);
    int64_t expected = ordinal(a) > ordinal(b) ? ordinal(a) - ordinal(b) : ordinal(b) - ordinal(a);
    ASSERT_EQ(expected, dateDifference(a, b)) << text(a) << " " << text(b);
    ASSERT_EQ(expected, dateDifference(b, a)) << text(b) << " " << text(a);
  }
}

// Walks the calendar one day at a time: a reference that shares no formula with the code.
TEST(DateDifference, AgreesWithADayByDayWalk) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 300; ++i) {
    Date start = randomDate(rng, 1990, 2010);
    Date d = start;
    for (int64_t steps = 1; steps <= 1200; ++steps) {
      if (++d.day > kMonthLengths[d.month - 1]) {
        d.day = 1;
        if (++d.month > 12) {
          d.month = 1;
          ++d.year;
        }
      }
      ASSERT_EQ(steps, dateDifference(start, d)) << text(start) << " " << text(d);
    }
  }
}

}  // namespace
