// Differential fuzzer of the date-line check: every accepted line must be three non-empty runs
// of digits around two single dots naming an existing day, with the values a plain decimal
// parse gives; every such line must be accepted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "datemenu/date.h"
#include "tests/month_lengths.h"

namespace {

// Value of a run of digits, or nothing when it is empty, holds a non-digit or exceeds 32 bits.
std::optional<uint32_t> decimal(std::string_view run) {
  if (run.empty()) return std::nullopt;
  while (run.size() > 1 && run.front() == '0') run.remove_prefix(1);
  if (run.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (char c : run) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::optional<Date> reference(std::string_view line) {
  std::vector<std::string_view> runs;
  size_t start = 0;
  for (size_t dot = line.find('.'); dot != std::string_view::npos; dot = line.find('.', start)) {
    runs.push_back(line.substr(start, dot - start));
    start = dot + 1;
  }
  runs.push_back(line.substr(start));
  if (runs.size() != 3) return std::nullopt;
  auto day = decimal(runs[0]);
  auto month = decimal(runs[1]);
  auto year = decimal(runs[2]);
  if (!day || !month || !year) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || *day > kMonthLengths[*month - 1]) {
    return std::nullopt;
  }
  return Date{*year, *month, *day};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  Date parsed{1, 1, 1};
  bool accepted = parseDateLine(line, &parsed);
  std::optional<Date> expected = reference(line);
  if (accepted != expected.has_value()) std::abort();
  if (accepted && (parsed.day != expected->day || parsed.month != expected->month ||
                   parsed.year != expected->year)) {
    std::abort();
  }
  return 0;
}
