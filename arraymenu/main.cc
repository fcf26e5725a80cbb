// arraymenu: creates an array of pseudo-random numbers of a typed size and serves a menu that
// lists, changes and extends it until Exit.
#include <cstdint>
#include <iostream>

#include "arraymenu/dialogue.h"
#include "arraymenu/number_array.h"
#include "console/console.h"

namespace {

const console::Usage kUsage{
    .description =
        "An editor for an array of numbers: asks for a size, fills that many elements\n"
        "with pseudo-random values, then serves a menu that lists the array, changes an\n"
        "element, appends an element, clears the console or exits.\n",
    .statuses =
        "   1  Exit was chosen from the menu\n"
        "   2  standard input ended\n"
        "   3  the array could not be created for want of memory\n",
};

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

[[noreturn]] void releaseAndExitAtStreamEnd(NumberArray& numbers) {
  numbers.release();
  console::exitAtStreamEnd();
}

}  // namespace

int main(int argc, char* argv[]) {
  console::init();
  console::takeArguments(argc, argv, "arraymenu", kUsage);
  std::cin.exceptions(std::ios_base::failbit);

  uint32_t arraySize = 0;
  if (!inputSize(arraySize)) console::exitAtStreamEnd();
  NumberArray numbers;
  if (!numbers.create(arraySize)) console::exitProgram(console::kStatusOutOfMemory);

  int32_t choice = 0;
  int32_t elementNumber = 0;
  double value = 0.0;
  for (;;) {
    writeMenu();
    if (!inputChoice(choice)) releaseAndExitAtStreamEnd(numbers);
    switch (choice) {
      case 1:
        printArray(numbers);
        break;
      case 2:
        if (!inputChange(numbers.size(), elementNumber, value)) releaseAndExitAtStreamEnd(numbers);
        numbers.changeElement(elementNumber, value);
        break;
      case 3:
        if (!inputValue(value)) releaseAndExitAtStreamEnd(numbers);
        // On failure the array is as it was and the menu comes again.
        numbers.appendElement(value);
        break;
      case 4:
        console::clearScreen();
        break;
      default:  // 5, the only other choice inputChoice lets through
        numbers.release();
        console::exitProgram(1);
    }
  }
}
