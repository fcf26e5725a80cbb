// datemenu: keeps a working date and serves a menu of date calculations until Exit.
#include <cstdint>
#include <iostream>
#include <string>

#include "console/console.h"
#include "datemenu/choice.h"
#include "datemenu/date.h"
#include "datemenu/date_arith.h"

namespace {

void writeMenu() {
  std::cout << "Viberete deistvie:" << std::endl
            << std::endl
            << "1) Summirovat s drugoi datoi;" << std::endl
            << "2) Naiti raznost s drygoi datoi;" << std::endl
            << "3) Vvesti datu zanovo;" << std::endl
            << "4) Vivesti datu;" << std::endl
            << "5) Ohistit;" << std::endl
            << "6) Exit;" << std::endl
            << std::endl;
}

// Asks until a valid choice word comes; 0 at end of input.
int inputChoice(std::string& vvods) {
  for (;;) {
    std::cin.clear();
    console::discardPendingInput(std::cin);
    vvods.clear();
    std::cout << "Vashe deistvie (vvedite 1,2,3,4,5,6): ";
    // Two characters are enough to tell a longer word, which is never a choice.
    if (!console::readWord(std::cin, vvods, 2)) return 0;
    std::cout << std::endl;
    if (int choice = parseChoice(vvods); choice != 0) return choice;
    std::cerr << "Neverniy vvod!!!" << std::endl << std::endl;
  }
}

void readDateOrExit(Date* date) {
  if (!inputDate(date)) console::exitAtEndOfInput();
}

}  // namespace

int main() {
  console::init();
  std::string vvods;
  Date d1{};
  Date d2{};
  readDateOrExit(&d1);
  for (;;) {
    writeMenu();
    switch (inputChoice(vvods)) {
      case 1:
        readDateOrExit(&d2);
        addDate(&d1, d2);
        break;
      case 2: {
        readDateOrExit(&d2);
        int64_t n = dateDifference(d1, d2);
        std::cout << "raznost dat ravna " << n << " dney." << std::endl;
        break;
      }
      case 3:
        std::cout << std::endl;
        readDateOrExit(&d1);
        break;
      case 4:
        printDate(d1);
        break;
      case 5:
        console::clearScreen();
        break;
      case 6:
        console::exitProgram(1);
      default:
        console::exitAtEndOfInput();
    }
    std::cout << std::endl;
  }
}
