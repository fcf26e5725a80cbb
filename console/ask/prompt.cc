#include "console/ask/prompt.h"

#include <cctype>
#include <iostream>

#include "console/ask/input.h"
#include "console/terminal/line_editor.h"

namespace console {
namespace {

// Flushes standard output before a read from std::cin. When that write fails, nothing is read:
// std::cin's failure bit is set instead (which throws in failure-exception mode).
void flushBeforeRead() {
  if (!flushTiedOutput(std::cin)) std::cin.setstate(std::ios_base::failbit);
}

void throwOnReadError() {
  if (std::cin.bad()) throw std::ios_base::failure("read error");
}

}  // namespace

void writePrompt(const Prompt& prompt) {
  namePrompt(std::cin, prompt.history);
  std::cout << prompt.text;
  // No flush here: the read flushes, so that the line editor can draw the prompt itself.
  if (prompt.place == AnswerPlace::nextLine) std::cout << '\n';
}

bool dialogueStopped() { return std::cout.fail() || std::cin.bad() || std::cin.eof(); }

void askWord(const Prompt& prompt, std::string& word, size_t maxKept) {
  writePrompt(prompt);
  if (!readWord(std::cin, word, maxKept)) throw std::ios_base::failure("no word");
}

void askValue(const Prompt& prompt, int& value) {
  writePrompt(prompt);
  flushBeforeRead();
  std::cin >> value;
  throwOnReadError();
}

void askValue(const Prompt& prompt, double& value) {
  writePrompt(prompt);
  flushBeforeRead();
  extractDouble(std::cin, value);
  throwOnReadError();
}

void askCount(const Prompt& prompt, uint32_t& count) {
  writePrompt(prompt);
  flushBeforeRead();
  count = 0;
  std::cin >> std::ws;
  if (std::cin.peek() != '-') {
    std::cin >> count;
  } else {
    std::cin.get();
    if (!std::isdigit(std::cin.peek())) std::cin.setstate(std::ios_base::failbit);
    while (std::isdigit(std::cin.peek())) std::cin.get();
  }
  throwOnReadError();
}

}  // namespace console
