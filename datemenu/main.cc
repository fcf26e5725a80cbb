// datemenu: keeps a working date and serves a menu of date calculations until Exit.
#include <cstdint>
#include <iostream>
#include <string>

#include "console/arguments.h"
#include "console/exit.h"
#include "console/input.h"
#include "console/terminal.h"
#include "datemenu/choice.h"
#include "datemenu/date.h"
#include "datemenu/date_arith.h"

namespace {

const console::Usage kUsage{
    .description =
        "A date calculator in a 365-day calendar without leap years: asks for a working\n"
        "date typed as dd.mm.yyyy, then serves a menu that adds a second date to it,\n"
        "counts the days between them, enters it again, prints it, clears the console\n"
        "or exits.\n",
    .statuses =
        "   1  Exit was chosen from the menu\n"
        "   2  standard input ended\n",
};

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
int inputChoice(std::string& choiceWord) {
  for (;;) {
    console::discardPendingInput(std::cin);
    choiceWord.clear();
    std::cout << "Vashe deistvie (vvedite 1,2,3,4,5,6): ";
    // Two characters are enough to tell a longer word, which is never a choice.
    if (!console::readWord(std::cin, choiceWord, 2)) return 0;
    std::cout << std::endl;
    if (int choice = parseChoice(choiceWord); choice != 0) return choice;
    std::cerr << "Neverniy vvod!!!" << std::endl << std::endl;
  }
}

void readDateOrExit(Date* date) {
  if (!inputDate(date)) console::exitAtStreamEnd();
}

}  // namespace

int main(int argc, char* argv[]) try {
  console::init();
  console::takeArguments(argc, argv, "datemenu", kUsage);
  std::string choiceWord;
  Date workingDate{};
  Date otherDate{};
  readDateOrExit(&workingDate);
  for (;;) {
    writeMenu();
    switch (inputChoice(choiceWord)) {
      case 1:
        readDateOrExit(&otherDate);
        addDate(&workingDate, otherDate);
        break;
      case 2: {
        readDateOrExit(&otherDate);
        const int64_t days = dateDifference(workingDate, otherDate);
        std::cout << "raznost dat ravna " << days << " dney." << std::endl;
        break;
      }
      case 3:
        std::cout << std::endl;
        readDateOrExit(&workingDate);
        break;
      case 4:
        printDate(workingDate);
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
} catch (const console::ProgramExit& exit) {
  return exit.status;
}
