// The check of the word typed at the menu prompt.
#ifndef DATEMENU_CHOICE_H_
#define DATEMENU_CHOICE_H_

#include <string>
#include <string_view>

/// The menu item 1..`itemCount` (at most 9) that `word` names, or 0 when it is anything but one
/// of the one-digit words "1" to that count.
int parseChoice(std::string_view word, int itemCount);

/// The choice prompt for a menu of `itemCount` items: "Vashe deistvie (vvedite 1,2,...,N): ".
std::string choicePromptText(int itemCount);

#endif  // DATEMENU_CHOICE_H_
