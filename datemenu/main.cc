// datemenu: keeps a working date and serves a menu of date calculations until Exit.
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>

#include "console/console.h"
#include "datemenu/choice.h"
#include "datemenu/date.h"
#include "datemenu/date_arith.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: datemenu [--help | --version]\n"
    "A date calculator in a 365-day calendar without leap years: asks for a working date typed\n"
    "as dd.mm.yyyy, then serves a menu that adds a second date to it, counts the days between\n"
    "them, enters it again, prints it, clears the console or exits.\n"
    "Prompts go to standard output; the answers are read from standard input.\n"
    "\n"
    "Exit status:\n"
    "   1  Exit was chosen from the menu\n"
    "   2  standard input ended\n"
    "   4  reading standard input or writing standard output failed\n"
    "  64  an argument was not recognized\n"
    "\n"
    "See man datemenu\n";

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

// Asks until a valid choice word comes; 0 once the dialogue has stopped.
int inputChoice(std::string& vvods) {
  for (;;) {
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
  if (!inputDate(date)) console::exitAtStreamEnd();
}

}  // namespace

int main(int argc, char* argv[]) {
  console::init();
  console::takeArguments(argc, argv, "datemenu", kUsage);
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
        console::exitAtStreamEnd();
    }
    std::cout << std::endl;
  }
}
