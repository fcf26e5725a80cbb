#include "console/ask/exit.h"

#include <iostream>
#include <new>

namespace console {

void exitAtStreamEnd() {
  // The prompt's line ends before the message, unless standard output is what failed.
  if (!std::cout.fail()) std::cout << '\n' << std::flush;
  if (std::cout.fail()) exitProgram(kStatusStreamFailed);  // which reports the failed write
  const bool readFailed = std::cin.bad();
  std::cerr << (readFailed ? "Oshibka chteniya" : "Konec vvoda") << std::endl;
  exitProgram(readFailed ? kStatusStreamFailed : kStatusEndOfInput);
}

void reportOutOfMemory() { std::cerr << "Nedostatochno pamyati" << std::endl; }

void exitProgram(int status) {
  if (std::cout.flush().fail()) {
    std::cerr << "Oshibka zapisi" << std::endl;
    status = kStatusStreamFailed;
  }
  std::cerr.flush();
  // Unwinding to main frees what the dialogue owns on the way.
  throw ProgramExit{status};
}

int exitStatusOfCaught() noexcept {
  try {
    throw;
  } catch (const ProgramExit& exit) {
    return exit.status;
  } catch (const std::ios_base::failure&) {
    try {
      exitAtStreamEnd();
    } catch (const ProgramExit& exit) {
      return exit.status;
    }
  } catch (...) {
    reportOutOfMemory();
    return kStatusOutOfMemory;
  }
}

}  // namespace console
