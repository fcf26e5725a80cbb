#include "arraymenu/dialogue.h"

#include <cctype>
#include <iostream>
#include <limits>

#include "arraymenu/number_array.h"

namespace {

enum class Pass { accepted, again, endOfInput };

// Runs one pass of a dialogue, `body` returning whether its answer is in range. A failed
// extraction throws; the handler looks for end of input before anything else, since clearing
// the state there and asking again would ask for ever.
template <typename Body>
Pass guardedPass(Body body) {
  try {
    return body() ? Pass::accepted : Pass::again;
  } catch (const std::ios_base::failure&) {
    if (std::cin.eof()) return Pass::endOfInput;
    std::cerr << "Error vvoda, vvedi pravilnor znachenie" << std::endl;
    std::cin.clear();
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return Pass::again;
  }
}

template <typename Body>
bool repeatUntilAccepted(Body body) {
  for (;;) {
    switch (guardedPass(body)) {
      case Pass::accepted:
        return true;
      case Pass::endOfInput:
        return false;
      case Pass::again:
        break;
    }
  }
}

// An unsigned extraction would take "-5" as 4294967291 and "-4294967295" as 1. A minus sign
// followed by digits of any length reads as 0 instead, which is out of range; a minus sign
// without digits fails as the extraction would.
uint32_t readSize() {
  std::cin >> std::ws;
  if (std::cin.peek() != '-') {
    uint32_t size = 0;
    std::cin >> size;
    return size;
  }
  std::cin.get();
  if (!std::isdigit(std::cin.peek())) std::cin.setstate(std::ios_base::failbit);
  while (std::isdigit(std::cin.peek())) std::cin.get();
  return 0;
}

}  // namespace

bool inputSize(uint32_t& size_mas) {
  return repeatUntilAccepted([&] {
    std::cout << "vvedite razmer massiva: ";
    size_mas = readSize();
    std::cout << std::endl;
    if (size_mas > 0 && size_mas <= kMaxArraySize) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <52428800" << std::endl;
    return false;
  });
}

bool inputChoice(int32_t& qq) {
  return repeatUntilAccepted([&] {
    std::cout << "Vvedite chislo (1..5): ";
    std::cin >> qq;
    if (qq > 0 && qq <= 5) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <=5" << std::endl;
    return false;
  });
}

bool inputChange(uint32_t count, int32_t& nomer, double& znach) {
  return repeatUntilAccepted([&] {
    std::cout << "Vvedite nomer elementa: ";
    std::cin >> nomer;
    std::cout << std::endl;
    std::cout << "Vvedite znachenie elementa: ";
    std::cin >> znach;
    std::cout << std::endl;
    if (nomer > 0 && int64_t{nomer} <= int64_t{count}) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <=" << count << std::endl;
    return false;
  });
}

bool inputValue(double& znach) {
  return repeatUntilAccepted([&] {
    std::cout << "Vvedite znachenie elementa: ";
    std::cin >> znach;
    std::cout << std::endl;
    return true;
  });
}
