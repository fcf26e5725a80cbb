#include "datemenu/choice.h"

int parseChoice(std::string_view word, int itemCount) {
  if (word.size() != 1 || word[0] < '1' || word[0] - '0' > itemCount) return 0;
  return word[0] - '0';
}

std::string choicePromptText(int itemCount) {
  std::string text = "Vashe deistvie (vvedite ";
  for (int choice = 1; choice <= itemCount; ++choice) {
    if (choice > 1) text += ',';
    text += static_cast<char>('0' + choice);
  }
  return text + "): ";
}
