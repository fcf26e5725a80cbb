// datemenu: keeps a working date and serves a menu of date calculations until Exit.
#include <cstdint>
#include <iostream>
#include <string>

#include "console/ask/arguments.h"
#include "console/ask/exit.h"
#include "console/ask/input.h"
#include "console/ask/prompt.h"
#include "console/ask/screen.h"
#include "datemenu/choice.h"
#include "datemenu/date.h"
#include "datemenu/date_arith.h"
#include "datemenu/menu.h"

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

// Asks until a valid choice word comes; 0 once the dialogue has stopped.
int inputChoice(std::string& choiceWord) {
  static const std::string promptText = choicePromptText(kMenu.size());
  const console::Prompt prompt{choiceAnswers, promptText};
  int choice = 0;
  const bool chosen = console::askUntilAccepted([&] {
    console::discardPendingInput(std::cin);
    // Two characters are enough to tell a longer word, which is never a choice.
    console::askWord(prompt, choiceWord, 2);
    std::cout << std::endl;
    choice = parseChoice(choiceWord, kMenu.size());
    if (choice != 0) return true;
    std::cerr << "Neverniy vvod!!!" << std::endl << std::endl;
    return false;
  });
  return chosen ? choice : 0;
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
    console::writeMenu(kMenuTitle, kMenu);
    const int choice = inputChoice(choiceWord);
    if (choice == 0) console::exitAtStreamEnd();
    switch (kMenu[static_cast<size_t>(choice - 1)].action) {
      case MenuAction::addDate:
        readDateOrExit(&otherDate);
        addDate(&workingDate, otherDate);
        break;
      case MenuAction::dateDifference: {
        readDateOrExit(&otherDate);
        const int64_t days = dateDifference(workingDate, otherDate);
        std::cout << "raznost dat ravna " << days << " dney." << std::endl;
        break;
      }
      case MenuAction::enterAgain:
        std::cout << std::endl;
        readDateOrExit(&workingDate);
        break;
      case MenuAction::printDate:
        printDate(workingDate);
        break;
      case MenuAction::clearConsole:
        console::clearScreen();
        break;
      case MenuAction::exit:
        console::exitProgram(1);
    }
    std::cout << std::endl;
  }
} catch (...) {
  return console::exitStatusOfCaught();
}
