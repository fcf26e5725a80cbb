#include "console/terminal.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "console/input.h"
#include "console/terminal_device.h"

namespace console {
namespace {

// The clear sequence would show as text on a terminal that declares it has no cursor control.
bool terminalClears() {
  const char* term = std::getenv("TERM");
  return term == nullptr || std::string_view(term) != "dumb";
}

}  // namespace

void clearScreen() {
  std::cout.flush();
  if (outputIsTerminal() && terminalClears()) writeToTerminal("\x1b[H\x1b[2J\x1b[3J");
}

bool waitForKey() {
  if (std::cout.flush().fail()) return false;
  if (!std::cin.eof()) {
    bool readOk = true;
    if (!readTerminalKey(&readOk)) readOk = waitForCharacter(std::cin);
    if (!readOk) {
      std::cin.setstate(std::ios_base::badbit);
      return false;
    }
  }
  // The shell's prompt then starts on a line of its own.
  if (outputIsTerminal()) std::cout << '\n' << std::flush;
  return !std::cout.fail();
}

}  // namespace console
