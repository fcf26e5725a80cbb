// The month lengths of datemenu's 365-day calendar written out once more, January first, apart
// from the program's own table (datemenu/date.h): the unit tests and the fuzzers judge the
// program's dates against this copy, and a test checks the program's table against it.
#ifndef TESTS_MONTH_LENGTHS_H_
#define TESTS_MONTH_LENGTHS_H_

#include <cstdint>

inline constexpr uint32_t kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

#endif  // TESTS_MONTH_LENGTHS_H_
