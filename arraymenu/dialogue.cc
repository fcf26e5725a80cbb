#include "arraymenu/dialogue.h"

#include <cctype>
#include <iostream>
#include <string_view>

#include "arraymenu/menu.h"
#include "arraymenu/number_array.h"
#include "console/prompt.h"

namespace {

constexpr std::string_view kInputError = "Error vvoda, vvedi pravilnor znachenie";

// An unsigned extraction would take "-5" as 4294967291 and "-4294967295" as 1. A minus sign
// followed by digits of any length reads as 0 instead, which is out of range; a minus sign
// without digits fails as the extraction would.
uint32_t readSize() {
  console::flushBeforeRead();
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

void writeMenu() {
  std::cout << kMenuTitle << std::endl << std::endl;
  for (size_t i = 0; i < kMenu.size(); ++i) {
    std::cout << i + 1 << ") " << kMenu[i].text << std::endl;
  }
  std::cout << std::endl;
}

bool inputSize(uint32_t& arraySize) {
  return console::askUntilAccepted(kInputError, [&] {
    std::cout << "vvedite razmer massiva: ";
    arraySize = readSize();
    std::cout << std::endl;
    if (arraySize > 0 && arraySize <= kMaxArraySize) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <" << kMaxArraySize + 1 << std::endl;
    return false;
  });
}

bool inputChoice(int32_t& choice) {
  return console::askUntilAccepted(kInputError, [&] {
    std::cout << "Vvedite chislo (1.." << kMenu.size() << "): ";
    console::readValue(choice);
    if (choice > 0 && static_cast<size_t>(choice) <= kMenu.size()) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <=" << kMenu.size() << std::endl;
    return false;
  });
}

bool inputChange(uint32_t count, int32_t& elementNumber, double& value) {
  return console::askUntilAccepted(kInputError, [&] {
    std::cout << "Vvedite nomer elementa: ";
    console::readValue(elementNumber);
    std::cout << std::endl;
    std::cout << "Vvedite znachenie elementa: ";
    console::readValue(value);
    std::cout << std::endl;
    if (elementNumber > 0 && int64_t{elementNumber} <= int64_t{count}) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <=" << count << std::endl;
    return false;
  });
}

bool inputValue(double& value) {
  return console::askUntilAccepted(kInputError, [&] {
    std::cout << "Vvedite znachenie elementa: ";
    console::readValue(value);
    std::cout << std::endl;
    return true;
  });
}
