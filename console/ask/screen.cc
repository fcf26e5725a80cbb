#include "console/ask/screen.h"

#include <iostream>

#include "console/ask/input.h"
#include "console/terminal/terminal_device.h"

namespace console {

void clearScreen() {
  std::cout.flush();
  if (outputIsTerminal()) writeToTerminal(clearSequence(true));
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
