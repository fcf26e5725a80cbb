// arraymenu with its heavy paths done the literal way, for the benchmarks only: the array by
// array allocation, two calls of the C library's rand per element and a division by 1000.0;
// the listing by stream formatting with std::setw and std::endl per line. The dialogue is the
// program's own. It serves the listing and Exit, the items the benchmarks choose.
#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <iostream>

#include "arraymenu/dialogue.h"
#include "arraymenu/menu.h"
#include "console/ask/exit.h"
#include "console/ask/input.h"
#include "console/ask/menu.h"

int main() try {
  console::init();
  std::cin.exceptions(std::ios_base::failbit);
  uint32_t size = 0;
  if (!inputSize(size)) console::exitAtStreamEnd();
  auto* elements = new double[size];
  std::srand(0);
  for (uint32_t i = 0; i < size; ++i) {
    const double fraction = static_cast<double>(std::rand() % 1000) / 1000.0;
    elements[i] = std::rand() % 1000 + fraction;
  }
  std::cout << "Massiv sozdan" << std::endl << std::endl;
  for (int32_t choice = 0;;) {
    console::writeMenu(kMenuTitle, kMenu);
    if (!inputChoice(choice)) console::exitAtStreamEnd();
    const MenuAction action = kMenu[static_cast<size_t>(choice - 1)].action;
    if (action == MenuAction::exit) {
      delete[] elements;
      console::exitProgram(1);
    }
    if (action != MenuAction::listArray) continue;
    for (uint32_t i = 0; i < size; ++i) {
      std::cout << i + 1 << std::setw(10) << elements[i] << std::endl;
    }
    std::cout << std::endl;
  }
} catch (...) {
  return console::exitStatusOfCaught();
}
