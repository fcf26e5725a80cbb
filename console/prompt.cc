#include "console/prompt.h"

#include <iostream>

namespace console {

bool dialogueStopped() { return std::cout.fail() || std::cin.bad() || std::cin.eof(); }

void flushBeforeRead() {
  if (std::cout.flush().fail()) std::cin.setstate(std::ios_base::failbit);
}

}  // namespace console
