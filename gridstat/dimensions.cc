#include "gridstat/dimensions.h"

#include <iostream>

#include "console/ask/prompt.h"

namespace {

// The histories of answers on a terminal with line editing: the rows and the columns each have
// their own.
enum PromptHistory { rowAnswers, columnAnswers };

const console::Prompt kRowsPrompt{rowAnswers, "Vvedite kol-vo stroc",
                                  console::AnswerPlace::nextLine};
const console::Prompt kColumnsPrompt{columnAnswers, "Vvedite kol-vo stolbcov",
                                     console::AnswerPlace::nextLine};

}  // namespace

bool inputDimensions(int* rows, int* columns) {
  return console::askUntilAccepted("Vvedite tolko chisla!", [rows, columns] {
    console::askValue(kRowsPrompt, *rows);
    std::cout << std::endl;
    console::askValue(kColumnsPrompt, *columns);
    std::cout << std::endl;
    if (*rows > 0 && *columns > 0) return true;
    std::cout << std::endl << "Nugni chisla > 0" << std::endl;
    return false;
  });
}
