// datemenu's whole dialogue over arbitrary input, with a read or a write failing where the input
// asks: it ends with Exit (status 1), at the end of input (status 2) or at the failure (status 4),
// and writes nothing but its own texts and well-formed dates and counts.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "console/ask/input.h"
#include "datemenu/choice.h"
#include "datemenu/menu.h"
#include "fuzz/dialogue_harness.h"
#include "tests/month_lengths.h"

int datemenuMain(int argc, char* argv[]);  // the program's entry function, renamed in this build

namespace {

// The lines the program writes as they stand: its messages, and the menu from its table.
const std::set<std::string> kFixedOutLines = [] {
  std::set<std::string> lines = {
      "",
      std::string(kMenuTitle),
      "vvedite datu v formate 'dd.mm.yyyy': ",
      choicePromptText(static_cast<int>(kMenu.size())),
      "Error, vvedite verno",
      "Error, god summi slishkom bolshoi",
  };
  for (size_t i = 0; i < kMenu.size(); ++i) {
    lines.insert(std::to_string(i + 1) + ") " + std::string(kMenu[i].text));
  }
  return lines;
}();
const std::set<std::string_view> kFixedErrLines = {"", "Neverniy vvod!!!", "Konec vvoda",
                                                   "Oshibka chteniya", "Oshibka zapisi"};

bool consumePrefix(std::string_view* text, std::string_view prefix) {
  if (text->substr(0, prefix.size()) != prefix) return false;
  text->remove_prefix(prefix.size());
  return true;
}

// A date as printed: day.month.year, no leading zeros, a day that exists in its month.
bool isDateText(std::string_view text) {
  const size_t first = text.find('.');
  const size_t second = text.find('.', first + 1);
  if (first == std::string_view::npos || second == std::string_view::npos) return false;
  const std::string_view day = text.substr(0, first);
  const std::string_view month = text.substr(first + 1, second - first - 1);
  const std::string_view year = text.substr(second + 1);
  if (!isUnsignedText(day) || !isUnsignedText(month) || !isUnsignedText(year)) return false;
  if (day.size() > 2 || month.size() > 2 || year.size() > 10) return false;
  const int d = std::stoi(std::string(day));
  const int m = std::stoi(std::string(month));
  return m >= 1 && m <= 12 && d >= 1 && static_cast<uint32_t>(d) <= kMonthLengths[m - 1] &&
         std::stoull(std::string(year)) <= UINT32_MAX;
}

bool isOutLine(std::string_view line) {
  if (kFixedOutLines.count(std::string(line)) != 0 || isDateText(line)) return true;
  std::string_view rest = line;
  if (consumePrefix(&rest, "Summa dat ravna: ")) return isDateText(rest);
  if (consumePrefix(&rest, "raznost dat ravna ")) {
    const size_t end = rest.find(' ');
    return end != std::string_view::npos && isUnsignedText(rest.substr(0, end)) &&
           rest.substr(end) == " dney.";
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  console::init();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzInput fuzz = decodeFuzzInput({reinterpret_cast<const char*>(data), size});
  const DialogueRun run = runDialogue(datemenuMain, fuzz.input, fuzz.fault);
  if (run.status != 1 && run.status != 2 && run.status != 4) {
    failRun(run, "unexpected exit status", "");
  }
  const bool outputCut = checkStreamFailureEnding(run);
  std::string_view rest;
  for (std::string_view line : splitLines(run.out, &rest)) {
    if (!isOutLine(line)) failRun(run, "unexpected line on standard output", line);
  }
  if (!outputCut && !rest.empty()) {
    failRun(run, "standard output does not end with a line end", rest);
  }
  checkErrorLines(run, kFixedErrLines);
  const bool endedByInput = run.err.size() >= 12 && run.err.ends_with("Konec vvoda\n");
  if (endedByInput != (run.status == 2)) failRun(run, "end of input and status disagree", "");
  return 0;
}
