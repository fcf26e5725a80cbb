// arraymenu's whole dialogue over arbitrary input, on a machine of a few kilobytes, with a read
// or a write failing where the input asks: it ends with Exit (1), at the end of input (2), for
// want of memory (3) or at the failure (4), and writes nothing but its own texts and well-formed
// listing lines.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "arraymenu/menu.h"
#include "arraymenu/number_array.h"
#include "console/ask/input.h"
#include "fuzz/dialogue_harness.h"

int arraymenuMain(int argc, char* argv[]);  // the program's entry function, renamed in this build

namespace {

const std::string kChoicePrompt = "Vvedite chislo (1.." + std::to_string(kMenu.size()) + "): ";
const std::vector<std::string_view> kPrompts = {
    "vvedite razmer massiva: ", kChoicePrompt,
    "Vvedite nomer elementa: ", "Vvedite znachenie elementa: "};

// The lines the program writes as they stand: its messages, and the menu from its table.
const std::set<std::string> kFixedOutLines = [] {
  std::set<std::string> lines = {
      "",
      "Massiv sozdan",
      std::string(kMenuTitle),
      "CHISLO DOLGNO BIT >0 i <" + std::to_string(kMaxArraySize + 1),
      "Znacenie izmeneno",
      "Znacenie dobavleno",
  };
  for (size_t i = 0; i < kMenu.size(); ++i) {
    lines.insert(std::to_string(i + 1) + ") " + std::string(kMenu[i].text));
  }
  return lines;
}();
const std::set<std::string_view> kFixedErrLines = {"Error vvoda, vvedi pravilnor znachenie",
                                                   "Konec vvoda", "Nedostatochno pamyati",
                                                   "Oshibka chteniya", "Oshibka zapisi"};

// An element's number and its value right-aligned in ten characters (a longer value follows
// the number directly).
bool isFieldText(std::string_view field) {
  const size_t valueStart = field.find_first_not_of(' ');
  if (valueStart == std::string_view::npos) return false;
  const std::string_view value = field.substr(valueStart);
  if (!isGeneralNumberText(value)) return false;
  return value.size() >= 10 ? valueStart == 0 : field.size() == 10;
}

// The number and an unpadded value can run together ("21.23457e+06" is element 2 holding
// 1.23457e+06), so every split after a leading run of digits is tried.
bool isListingLine(std::string_view line) {
  for (size_t split = 1; split < line.size() && line[split - 1] >= '0' && line[split - 1] <= '9';
       ++split) {
    if (line[0] != '0' && isFieldText(line.substr(split))) return true;
  }
  return false;
}

bool isOutLine(std::string_view line) {
  line = stripPrompts(line, kPrompts);
  if (kFixedOutLines.count(std::string(line)) != 0 || isListingLine(line)) return true;
  constexpr std::string_view kNumberRange = "CHISLO DOLGNO BIT >0 i <=";
  return line.substr(0, kNumberRange.size()) == kNumberRange &&
         isUnsignedText(line.substr(kNumberRange.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  console::init();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzInput fuzz = decodeFuzzInput({reinterpret_cast<const char*>(data), size});
  const DialogueRun run = runDialogue(arraymenuMain, fuzz.input, fuzz.fault);
  if (run.status < 1 || run.status > 4) failRun(run, "unexpected exit status", "");
  const bool outputCut = checkStreamFailureEnding(run);
  std::string_view rest;
  for (std::string_view line : splitLines(run.out, &rest)) {
    if (!isOutLine(line)) failRun(run, "unexpected line on standard output", line);
  }
  // Exit follows the choice prompt directly; every other ending ends the line.
  if (!outputCut && !stripPrompts(rest, kPrompts).empty()) {
    failRun(run, "standard output ends in the middle of a line", rest);
  }
  checkErrorLines(run, kFixedErrLines);
  if ((run.status == 2) != run.err.ends_with("Konec vvoda\n")) {
    failRun(run, "end of input and status disagree", "");
  }
  if (run.status == 3 && !run.err.ends_with("Nedostatochno pamyati\n")) {
    failRun(run, "status 3 without the memory message", "");
  }
  return 0;
}
