#include "datemenu/choice.h"

int parseChoice(std::string_view word) {
  if (word.size() != 1 || word[0] < '1' || word[0] > '6') return 0;
  return word[0] - '0';
}
