#include "datemenu/date.h"

#include <iostream>
#include <string>

#include "console/console.h"

namespace {

constexpr uint64_t kYearLimit = UINT32_MAX;
// Runs longer than this value are all out of range alike; saturating keeps the parse exact
// for runs of any length without overflow.
constexpr uint64_t kSaturated = kYearLimit + 1;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool parseDateLine(std::string_view line, Date* date) {
  std::array<uint64_t, 3> fields{};  // day, month, year
  size_t index = 0;
  bool runStarted = false;
  for (char c : line) {
    if (c == '.') {
      if (!runStarted || index == 2) return false;
      ++index;
      runStarted = false;
    } else if (isDigit(c)) {
      uint64_t value = fields[index] * 10 + static_cast<uint64_t>(c - '0');
      fields[index] = value < kSaturated ? value : kSaturated;
      runStarted = true;
    } else {
      return false;
    }
  }
  if (index != 2 || !runStarted) return false;

  const auto [day, month, year] = fields;
  if (month < 1 || month > 12 || year > kYearLimit) return false;
  if (day < 1 || day > monthLength(static_cast<uint32_t>(month))) return false;
  *date = Date{static_cast<uint32_t>(year), static_cast<uint32_t>(month),
               static_cast<uint32_t>(day)};
  return true;
}

bool inputDate(Date* date) {
  std::string line;
  for (;;) {
    std::cin.clear();
    console::discardPendingInput(std::cin);
    std::cout << "vvedite datu v formate 'dd.mm.yyyy': ";
    if (!console::readLine(std::cin, line)) return false;
    std::cout << std::endl;
    if (parseDateLine(line, date)) return true;
    std::cout << "Error, vvedite verno" << std::endl;
  }
}
