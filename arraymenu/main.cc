// arraymenu: creates an array of pseudo-random numbers of a typed size and serves a menu that
// lists, changes and extends it until Exit.
#include <cstdint>
#include <iostream>

#include "arraymenu/dialogue.h"
#include "arraymenu/number_array.h"
#include "console/console.h"

namespace {

void writeMenu() {
  std::cout << "viberete deistvie:" << std::endl
            << std::endl
            << "1) Vivesti massiv" << std::endl
            << "2) Izmenit element" << std::endl
            << "3) Dobavit element" << std::endl
            << "4) Ochistit" << std::endl
            << "5) Exit" << std::endl
            << std::endl;
}

[[noreturn]] void releaseAndExitAtEndOfInput(NumberArray& mas) {
  mas.release();
  console::exitAtEndOfInput();
}

}  // namespace

int main() {
  console::init();
  std::cin.exceptions(std::ios_base::failbit);

  uint32_t size_mas = 0;
  if (!inputSize(size_mas)) console::exitAtEndOfInput();
  NumberArray mas;
  if (!mas.create(size_mas)) console::exitProgram(3);

  int32_t qq = 0;
  int32_t nomer = 0;
  double znach = 0.0;
  for (;;) {
    writeMenu();
    if (!inputChoice(qq)) releaseAndExitAtEndOfInput(mas);
    switch (qq) {
      case 1:
        printArray(mas);
        break;
      case 2:
        if (!inputChange(mas.size(), nomer, znach)) releaseAndExitAtEndOfInput(mas);
        mas.changeElement(nomer, znach);
        break;
      case 3:
        if (!inputValue(znach)) releaseAndExitAtEndOfInput(mas);
        // On failure the array is as it was and the menu comes again.
        mas.appendElement(znach);
        break;
      case 4:
        console::clearScreen();
        break;
      default:  // 5, the only other choice inputChoice lets through
        mas.release();
        console::exitProgram(1);
    }
  }
}
