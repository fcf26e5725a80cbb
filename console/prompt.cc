#include "console/prompt.h"

#include <iostream>

#include "console/input.h"

namespace console {

bool dialogueStopped() { return std::cout.fail() || std::cin.bad() || std::cin.eof(); }

void throwOnReadError() {
  if (std::cin.bad()) throw std::ios_base::failure("read error");
}

void readValue(double& value) {
  flushBeforeRead();
  extractDouble(std::cin, value);
  throwOnReadError();
}

void flushBeforeRead() {
  if (!flushTiedOutput(std::cin)) std::cin.setstate(std::ios_base::failbit);
}

}  // namespace console
