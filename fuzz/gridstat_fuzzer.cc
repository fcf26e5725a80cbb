// gridstat's whole dialogue over arbitrary input, on a machine of a few kilobytes, with a read or
// a write failing where the input asks: it ends after the statistics (0), at the end of input
// (2), for want of memory (3) or at the failure (4), writes nothing but its own texts and a
// well-formed matrix, and its mean and variance agree with the printed cells.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "console/ask/input.h"
#include "fuzz/dialogue_harness.h"

int gridstatMain(int argc, char* argv[]);  // the program's entry function, renamed in this build

namespace {

const std::set<std::string_view> kDialogueLines = {"", "Vvedite kol-vo stroc",
                                                   "Vvedite kol-vo stolbcov", "Nugni chisla > 0"};
const std::set<std::string_view> kFixedErrLines = {"Vvedite tolko chisla!", "Konec vvoda",
                                                   "Nedostatochno pamyati", "Oshibka chteniya",
                                                   "Oshibka zapisi"};

// One six-character field: blanks, then d, d.d, d.dd or d.ddd without a trailing zero.
// Stores the value in thousandths.
bool parseCell(std::string_view field, int* thousandths) {
  const size_t start = field.find_first_not_of(' ');
  if (start == 0 || start == std::string_view::npos) return false;
  const std::string_view text = field.substr(start);
  if (text[0] < '0' || text[0] > '9') return false;
  int value = (text[0] - '0') * 1000;
  if (text.size() == 1) {
    *thousandths = value;
    return true;
  }
  if (text.size() < 3 || text[1] != '.' || text.back() == '0') return false;
  int scale = 100;
  for (char c : text.substr(2)) {
    if (c < '0' || c > '9') return false;
    value += (c - '0') * scale;
    scale /= 10;
  }
  *thousandths = value;
  return true;
}

std::string floatText(float value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

void checkMatrixAndStatistics(const DialogueRun& run, const std::vector<std::string_view>& lines,
                              std::string_view rest) {
  size_t i = 0;
  while (i < lines.size() && lines[i] != "zadan massiv") ++i;
  if (i == lines.size()) failRun(run, "no matrix before the statistics", "");
  std::vector<float> cells;
  size_t width = 0;
  for (++i; i < lines.size() && !lines[i].empty(); ++i) {
    const std::string_view row = lines[i];
    if (row.size() % 6 != 0 || (width != 0 && row.size() != width)) {
      failRun(run, "ragged matrix row", row);
    }
    width = row.size();
    for (size_t j = 0; j < row.size(); j += 6) {
      int thousandths = 0;
      if (!parseCell(row.substr(j, 6), &thousandths)) failRun(run, "malformed cell", row);
      cells.push_back(static_cast<float>(thousandths / 1000.0));
    }
  }
  if (cells.empty() || i + 2 != lines.size() || !lines[i].empty()) {
    failRun(run, "the statistics do not follow the matrix", "");
  }
  // Up to a few thousand cells below 10 sum exactly in double, in any order.
  double sum = 0;
  for (float cell : cells) sum += cell;
  const double mean = sum / static_cast<double>(cells.size());
  if (lines[i + 1] != "Srednee " + floatText(static_cast<float>(mean))) {
    failRun(run, "mean differs from the printed cells", lines[i + 1]);
  }
  double acc = 0;
  for (float cell : cells) acc += (cell - mean) * (cell - mean);
  const float variance = static_cast<float>(acc / static_cast<double>(cells.size() - 1));
  constexpr std::string_view kVariance = "Dispersia ";
  if (rest.substr(0, kVariance.size()) != kVariance) failRun(run, "no variance at the end", rest);
  const std::string printed(rest.substr(kVariance.size()));
  if (cells.size() == 1 ? printed.find("nan") == std::string::npos
                        : std::fabs(std::stod(printed) - variance) > 1e-5 * (variance + 1)) {
    failRun(run, "variance differs from the printed cells", rest);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  console::init();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzInput fuzz = decodeFuzzInput({reinterpret_cast<const char*>(data), size});
  const DialogueRun run = runDialogue(gridstatMain, fuzz.input, fuzz.fault);
  if (run.status < 0 || run.status > 4 || run.status == 1) {
    failRun(run, "unexpected exit status", "");
  }
  const bool outputCut = checkStreamFailureEnding(run);
  // A read that fails at the key wait ends the line after the variance.
  const bool printed = run.out.find("zadan massiv\n") != std::string::npos;
  const std::string_view out(run.out.data(), run.out.size() - (printed && run.status == 4 ? 1 : 0));
  std::string_view rest;
  const std::vector<std::string_view> lines = splitLines(out, &rest);
  if (outputCut) {
    // Only whole lines came out; the statistics cannot be checked.
  } else if (run.status == 0 || printed) {
    checkMatrixAndStatistics(run, lines, rest);
  } else {
    for (std::string_view line : lines) {
      if (kDialogueLines.count(line) == 0) failRun(run, "unexpected line on standard output", line);
    }
    if (!rest.empty()) failRun(run, "standard output does not end with a line end", rest);
  }
  checkErrorLines(run, kFixedErrLines);
  if ((run.status == 2) != run.err.ends_with("Konec vvoda\n") ||
      (run.status == 3) != run.err.ends_with("Nedostatochno pamyati\n")) {
    failRun(run, "status and last message disagree", "");
  }
  return 0;
}
