#include "datemenu/date.h"

#include <iostream>

#include "console/ask/input.h"
#include "console/ask/prompt.h"

namespace {

constexpr uint64_t kYearLimit = UINT32_MAX;
// Runs longer than this value are all out of range alike; saturating keeps the parse exact
// for runs of any length without overflow.
constexpr uint64_t kSaturated = kYearLimit + 1;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void scanDateChar(DateScan* scan, char c) {
  if (scan->malformed) return;
  if (c == '.') {
    if (!scan->runStarted || scan->index == 2) {
      scan->malformed = true;
      return;
    }
    ++scan->index;
    scan->runStarted = false;
  } else if (isDigit(c)) {
    uint64_t& field = scan->fields[scan->index];
    const uint64_t value = field * 10 + static_cast<uint64_t>(c - '0');
    field = value < kSaturated ? value : kSaturated;
    scan->runStarted = true;
  } else {
    scan->malformed = true;
  }
}

bool finishDateScan(const DateScan& scan, Date* date) {
  if (scan.malformed || scan.index != 2 || !scan.runStarted) return false;
  const auto [day, month, year] = scan.fields;
  if (month < 1 || month > 12 || year > kYearLimit) return false;
  if (day < 1 || day > monthLength(static_cast<uint32_t>(month))) return false;
  *date =
      Date{static_cast<uint32_t>(year), static_cast<uint32_t>(month), static_cast<uint32_t>(day)};
  return true;
}

bool parseDateLine(std::string_view line, Date* date) {
  DateScan scan;
  for (char c : line) scanDateChar(&scan, c);
  return finishDateScan(scan, date);
}

bool inputDate(Date* date) {
  static constexpr console::Prompt kDatePrompt{dateAnswers,
                                               "vvedite datu v formate 'dd.mm.yyyy': "};
  return console::askUntilAccepted([date] {
    console::discardPendingInput(std::cin);
    DateScan scan;
    console::askLine(kDatePrompt, [&scan](char c) { scanDateChar(&scan, c); });
    std::cout << std::endl;
    if (finishDateScan(scan, date)) return true;
    std::cout << "Error, vvedite verno" << std::endl;
    return false;
  });
}
