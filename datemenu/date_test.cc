#include "datemenu/date.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/month_lengths.h"
#include "tests/redirect.h"

namespace {

struct Accepted {
  const char* line;
  Date date;
};

TEST(ParseDateLine, AcceptsWellFormedExistingDays) {
  const Accepted cases[] = {
      {"01.02.2011", {2011, 2, 1}},
      {"1.2.2011", {2011, 2, 1}},
      {"001.0002.02011", {2011, 2, 1}},
      {"31.12.0", {0, 12, 31}},
      {"1.1.1", {1, 1, 1}},
      {"28.02.2012", {2012, 2, 28}},
      {"30.04.2011", {2011, 4, 30}},
      {"1.2.3", {3, 2, 1}},
      {"31.12.4294967295", {4294967295, 12, 31}},
      {"0000000000000000000031.00000000000000000001.0000000000000000000004294967295",
       {4294967295, 1, 31}},
  };
  for (const Accepted& c : cases) {
    Date d{7, 7, 7};
    ASSERT_TRUE(parseDateLine(c.line, &d)) << c.line;
    EXPECT_EQ(c.date.day, d.day) << c.line;
    EXPECT_EQ(c.date.month, d.month) << c.line;
    EXPECT_EQ(c.date.year, d.year) << c.line;
  }
}

TEST(ParseDateLine, RejectsMalformedOrImpossibleLines) {
  const char* cases[] = {
      "29.02.2012", "31.02.2011", "31.04.2011", "32.01.2011", "00.01.2000", "01.00.2000",
      "01.13.2000", "2011.02.01", "12..2011", ".02.2011", "01.02.", "1.2.3.4", "01.022011", "",
      "ab", " 01.02.2011", "01.02.2011 ", "-1.2.2011", "01/02/2011", "1.2.2011\r", "..", "1..",
      "1.2.3.", "+1.2.2011",
      // Runs too large for any month or day, which a wrapping conversion would let through.
      "4294967297.1.2011", "1.4294967297.2011", "4294967328.1.1", "99999999999999999999.1.1",
      // Years beyond 32 bits.
      "1.1.4294967296", "1.1.99999999999999999999999"};
  for (const char* line : cases) {
    Date d{7, 7, 7};
    EXPECT_FALSE(parseDateLine(line, &d)) << line;
    EXPECT_EQ(7u, d.year) << "rejected line changed the date: " << line;
  }
}

TEST(ParseDateLine, AcceptsEveryDayOfTheCalendarAndNoDayAfterIt) {
  int accepted = 0;
  for (uint32_t month = 1; month <= 12; ++month) {
    EXPECT_EQ(kMonthLengths[month - 1], daysInMonth[month - 1]) << "month " << month;
    for (uint32_t day = 1; day <= 32; ++day) {
      std::string line = std::to_string(day) + "." + std::to_string(month) + ".2011";
      Date d{};
      const bool exists = parseDateLine(line, &d);
      EXPECT_EQ(day <= kMonthLengths[month - 1], exists) << line;
      if (exists) ++accepted;
    }
  }
  EXPECT_EQ(365, accepted);
}

TEST(DateScan, JudgesRunsOfAnyLength) {
  DateScan scan;
  for (int i = 0; i < 5000000; ++i) scanDateChar(&scan, '0');
  for (char c : std::string_view("31.0012.4294967295")) scanDateChar(&scan, c);
  Date d{};
  ASSERT_TRUE(finishDateScan(scan, &d));
  EXPECT_EQ(31u, d.day);
  EXPECT_EQ(12u, d.month);
  EXPECT_EQ(4294967295u, d.year);

  DateScan tooLarge;
  for (int i = 0; i < 5000000; ++i) scanDateChar(&tooLarge, '9');
  for (char c : std::string_view(".1.1")) scanDateChar(&tooLarge, c);
  EXPECT_FALSE(finishDateScan(tooLarge, &d));
}

TEST(InputDate, RepeatsThePromptUntilAValidDate) {
  Redirect io("31.02.2011\n28.02.2011\n");
  Date d{};
  ASSERT_TRUE(inputDate(&d));
  EXPECT_EQ(
      "vvedite datu v formate 'dd.mm.yyyy': \n"
      "Error, vvedite verno\n"
      "vvedite datu v formate 'dd.mm.yyyy': \n",
      io.out.str());
  EXPECT_EQ(28u, d.day);
  EXPECT_EQ(2u, d.month);
  EXPECT_EQ(2011u, d.year);
}

TEST(InputDate, AcceptsAnUnterminatedLastLine) {
  Redirect io("1.1.1");
  Date d{};
  ASSERT_TRUE(inputDate(&d));
  EXPECT_EQ(1u, d.year);
}

TEST(InputDate, ReturnsFalseAtEndOfInputAfterRejectedLines) {
  Redirect io("bad\n");
  Date d{5, 5, 5};
  EXPECT_FALSE(inputDate(&d));
  EXPECT_EQ(
      "vvedite datu v formate 'dd.mm.yyyy': \n"
      "Error, vvedite verno\n"
      "vvedite datu v formate 'dd.mm.yyyy': ",
      io.out.str());
  EXPECT_EQ(5u, d.day);
}

}  // namespace
