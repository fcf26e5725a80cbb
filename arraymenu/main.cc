// arraymenu: creates an array of pseudo-random numbers of a typed size and serves a menu that
// lists, changes and extends it until Exit.
#include <cstdint>
#include <iostream>

#include "arraymenu/dialogue.h"
#include "arraymenu/menu.h"
#include "arraymenu/number_array.h"
#include "console/ask/arguments.h"
#include "console/ask/exit.h"
#include "console/ask/input.h"
#include "console/ask/menu.h"
#include "console/ask/screen.h"

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

}  // namespace

int main(int argc, char* argv[]) try {
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
    console::writeMenu(kMenuTitle, kMenu);
    if (!inputChoice(choice)) console::exitAtStreamEnd();
    switch (kMenu[static_cast<size_t>(choice - 1)].action) {
      case MenuAction::listArray:
        printArray(numbers);
        break;
      case MenuAction::changeElement:
        if (!inputChange(numbers.size(), elementNumber, value)) console::exitAtStreamEnd();
        numbers.changeElement(elementNumber, value);
        break;
      case MenuAction::appendElement:
        if (!inputValue(value)) console::exitAtStreamEnd();
        // On failure the array is as it was and the menu comes again.
        numbers.appendElement(value);
        break;
      case MenuAction::clearConsole:
        console::clearScreen();
        break;
      case MenuAction::exit:
        console::exitProgram(1);
    }
  }
} catch (...) {
  return console::exitStatusOfCaught();
}
