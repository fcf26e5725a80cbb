#include "fuzz/dialogue_harness.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "console/console_fuzz.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t countDigits(std::string_view text, size_t from) {
  size_t i = from;
  while (i < text.size() && isDigit(text[i])) ++i;
  return i - from;
}

}  // namespace

DialogueRun runDialogue(int (*programMain)(), std::string_view input) {
  std::istringstream in{std::string(input)};
  std::ostringstream out;
  std::ostringstream err;
  std::streambuf* oldIn = std::cin.rdbuf(in.rdbuf());
  std::streambuf* oldOut = std::cout.rdbuf(out.rdbuf());
  std::streambuf* oldErr = std::cerr.rdbuf(err.rdbuf());
  // A run must not inherit the last one's exception mask or line state: copy them from a
  // stream that has never been used.
  static const std::istream pristine(nullptr);
  std::cin.clear();
  std::cin.copyfmt(pristine);
  std::cin.tie(&std::cout);
  std::cin.clear();

  int status = 0;
  try {
    status = programMain();
  } catch (const console::ProgramExit& exit) {
    status = exit.status;
  }
  std::cout.flush();
  std::cin.rdbuf(oldIn);
  std::cout.rdbuf(oldOut);
  std::cerr.rdbuf(oldErr);
  std::cin.clear();
  std::cout.clear();
  std::cerr.clear();
  return DialogueRun{out.str(), err.str(), status};
}

std::vector<std::string_view> splitLines(std::string_view text, std::string_view* rest) {
  std::vector<std::string_view> lines;
  for (size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  *rest = text;
  return lines;
}

void failRun(const DialogueRun& run, std::string_view what, std::string_view line) {
  std::fprintf(stderr,
               "%.*s: [%.*s]\nstatus %d\n--- stdout (first 2000 bytes)\n%.2000s\n"
               "--- stderr\n%.2000s\n",
               static_cast<int>(what.size()), what.data(), static_cast<int>(line.size()),
               line.data(), run.status, run.out.c_str(), run.err.c_str());
  std::abort();
}

void checkErrorLines(const DialogueRun& run, const std::set<std::string_view>& allowed) {
  std::string_view rest;
  for (std::string_view line : splitLines(run.err, &rest)) {
    if (allowed.count(line) == 0) failRun(run, "unexpected line on standard error", line);
  }
  if (!rest.empty()) failRun(run, "standard error does not end with a line end", rest);
}

std::string_view stripPrompts(std::string_view line, const std::vector<std::string_view>& prompts) {
  for (bool stripped = true; stripped;) {
    stripped = false;
    for (std::string_view prompt : prompts) {
      if (line.substr(0, prompt.size()) == prompt) {
        line.remove_prefix(prompt.size());
        stripped = true;
      }
    }
  }
  return line;
}

bool isUnsignedText(std::string_view text) {
  if (text.empty() || countDigits(text, 0) != text.size()) return false;
  return text.size() == 1 || text[0] != '0';
}

bool isGeneralNumberText(std::string_view text) {
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  if (text == "inf" || text == "nan") return true;
  size_t i = countDigits(text, 0);
  if (i == 0) return false;
  if (i < text.size() && text[i] == '.') {
    const size_t fraction = countDigits(text, i + 1);
    if (fraction == 0) return false;
    i += 1 + fraction;
  }
  if (i < text.size() && text[i] == 'e') {
    if (i + 1 >= text.size() || (text[i + 1] != '+' && text[i + 1] != '-')) return false;
    const size_t exponent = countDigits(text, i + 2);
    if (exponent < 2) return false;
    i += 2 + exponent;
  }
  return i == text.size();
}
