// The date record of the calculator, its 365-day calendar and the checked input of a date.
#ifndef DATEMENU_DATE_H_
#define DATEMENU_DATE_H_

#include <array>
#include <cstdint>
#include <string_view>

/// A calendar date; valid when 1 <= month <= 12 and 1 <= day <= the length of that month.
struct Date {
  uint32_t year;
  uint32_t month;
  uint32_t day;
};

/// Month lengths of the calendar, January first: no leap years, 365 days a year.
inline constexpr std::array<uint32_t, 12> daysInMonth{31, 28, 31, 30, 31, 30,
                                                      31, 31, 30, 31, 30, 31};

/// Length of `month` (1..12) in days.
constexpr uint32_t monthLength(uint32_t month) { return daysInMonth[month - 1]; }

/// Checks one typed line: three non-empty runs of digits separated by single dots (day, month,
/// year; leading zeros allowed), naming a day that exists and a year that fits 32 bits.
/// On success fills `date` and returns true; otherwise leaves `date` unchanged.
bool parseDateLine(std::string_view line, Date* date);

/// Prompts on standard output for a date typed as dd.mm.yyyy and reads whole lines until a valid
/// one comes, answering each rejected line with "Error, vvedite verno". Drops the rest of a line
/// left by an earlier word first. Fills `date` and returns true; returns false at end of input,
/// with `date` unchanged.
bool inputDate(Date* date);

#endif  // DATEMENU_DATE_H_
