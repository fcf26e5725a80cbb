#include "datemenu/date_arith.h"

#include <iostream>

namespace {

// Days before the first of each month.
constexpr std::array<uint32_t, 12> kDaysBeforeMonth = [] {
  std::array<uint32_t, 12> before{};
  for (size_t m = 1; m < before.size(); ++m) before[m] = before[m - 1] + daysInMonth[m - 1];
  return before;
}();

int64_t dayNumber(Date d) {
  return static_cast<int64_t>(d.year) * 365 + kDaysBeforeMonth[d.month - 1] + d.day - 1;
}

}  // namespace

void printDate(Date d) { std::cout << d.day << '.' << d.month << '.' << d.year << std::endl; }

bool sumDates(Date base, Date other, Date* sum) {
  uint64_t year = uint64_t{base.year} + other.year;
  uint32_t month = base.month + other.month;
  if (month > 12) {
    month -= 12;
    ++year;
  }
  // Two valid days sum to at most 62, which at most two month lengths bring back in range.
  uint32_t day = base.day + other.day;
  for (int carry = 0; carry < 2 && day > monthLength(month); ++carry) {
    day -= monthLength(month);
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  if (year > UINT32_MAX) return false;
  *sum = Date{static_cast<uint32_t>(year), month, day};
  return true;
}

void addDate(Date* workingDate, Date otherDate) {
  std::cout << std::endl;
  if (!sumDates(*workingDate, otherDate, workingDate)) {
    std::cout << "Error, god summi slishkom bolshoi" << std::endl;
    return;
  }
  std::cout << "Summa dat ravna: ";
  printDate(*workingDate);
}

int64_t dateDifference(Date workingDate, Date otherDate) {
  int64_t difference = dayNumber(workingDate) - dayNumber(otherDate);
  return difference < 0 ? -difference : difference;
}
