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

/// The check of a typed date line in progress, fed one character at a time, so that a line of
/// any length is judged exactly without being stored.
struct DateScan {
  std::array<uint64_t, 3> fields{};  // day, month, year; saturated beyond 32 bits
  size_t index = 0;                  // the field being read
  bool runStarted = false;           // the field has a digit
  bool malformed = false;            // a character or a dot out of place was seen
};

/// Takes the next character of the line into `scan`.
void scanDateChar(DateScan* scan, char c);

/// Ends the check of a line: true, with `date` filled, when the line was three non-empty runs of
/// digits separated by single dots (day, month, year; leading zeros allowed) naming a day that
/// exists and a year that fits 32 bits. Otherwise false, with `date` unchanged.
bool finishDateScan(const DateScan& scan, Date* date);

/// The same check of a whole line at once.
bool parseDateLine(std::string_view line, Date* date);

/// The histories of answers a terminal with line editing keeps: the date prompts share one, the
/// menu choices have another.
enum PromptHistory { dateAnswers, choiceAnswers };

/// Prompts on standard output for a date typed as dd.mm.yyyy and reads whole lines until a valid
/// one comes, answering each rejected line with "Error, vvedite verno". Drops the rest of a line
/// left by an earlier word first. Lines of any length are judged without being stored, and a
/// carriage return before the line end is part of the line end. Fills `date` and returns true;
/// returns false, with `date` unchanged, once the dialogue has stopped (end of input, a read
/// error or a failed write: `console::dialogueStopped`).
bool inputDate(Date* date);

#endif  // DATEMENU_DATE_H_
