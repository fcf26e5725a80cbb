// arraymenu: creates an array of pseudo-random numbers of a typed size and serves a menu that
// lists, changes and extends it until Exit.
#include <cstdint>
#include <iostream>
#include <string_view>

#include "arraymenu/dialogue.h"
#include "arraymenu/number_array.h"
#include "console/console.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: arraymenu [--help | --version]\n"
    "An editor for an array of numbers: asks for a size, fills that many elements with\n"
    "pseudo-random values, then serves a menu that lists the array, changes an element, appends\n"
    "an element, clears the console or exits.\n"
    "Prompts go to standard output; the answers are read from standard input.\n"
    "\n"
    "Exit status:\n"
    "   1  Exit was chosen from the menu\n"
    "   2  standard input ended\n"
    "   3  the array could not be created for want of memory\n"
    "   4  reading standard input or writing standard output failed\n"
    "  64  an argument was not recognized\n"
    "\n"
    "See man arraymenu\n";

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

[[noreturn]] void releaseAndExitAtStreamEnd(NumberArray& mas) {
  mas.release();
  console::exitAtStreamEnd();
}

}  // namespace

int main(int argc, char* argv[]) {
  console::init();
  console::takeArguments(argc, argv, "arraymenu", kUsage);
  std::cin.exceptions(std::ios_base::failbit);

  uint32_t size_mas = 0;
  if (!inputSize(size_mas)) console::exitAtStreamEnd();
  NumberArray mas;
  if (!mas.create(size_mas)) console::exitProgram(console::kStatusOutOfMemory);

  int32_t qq = 0;
  int32_t nomer = 0;
  double znach = 0.0;
  for (;;) {
    writeMenu();
    if (!inputChoice(qq)) releaseAndExitAtStreamEnd(mas);
    switch (qq) {
      case 1:
        printArray(mas);
        break;
      case 2:
        if (!inputChange(mas.size(), nomer, znach)) releaseAndExitAtStreamEnd(mas);
        mas.changeElement(nomer, znach);
        break;
      case 3:
        if (!inputValue(znach)) releaseAndExitAtStreamEnd(mas);
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
