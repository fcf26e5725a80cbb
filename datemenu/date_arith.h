// Arithmetic on valid dates of the 365-day calendar, and their printing.
#ifndef DATEMENU_DATE_ARITH_H_
#define DATEMENU_DATE_ARITH_H_

#include <cstdint>

#include "datemenu/date.h"

/// Writes `d` as day.month.year without leading zeros, then a line end, on standard output.
void printDate(Date d);

/// Adds `other` to `base` field by field, carrying months into years and days into months by
/// the length of the month reached. Stores the sum in `sum` and returns true; returns false,
/// leaving `sum` unchanged, when the year of the sum would not fit 32 bits.
bool sumDates(Date base, Date other, Date* sum);

/// Replaces `*workingDate` by the sum of `*workingDate` and `otherDate`, then writes an empty line
/// and "Summa dat ravna: " with the sum. When the year would overflow, `*workingDate` stays as it
/// was and the empty line is followed by "Error, god summi slishkom bolshoi".
void addDate(Date* workingDate, Date otherDate);

/// Days from the earlier of two valid dates to the later one: 0 when equal, never negative,
/// exact for any two valid dates. Constant time.
int64_t dateDifference(Date workingDate, Date otherDate);

#endif  // DATEMENU_DATE_ARITH_H_
