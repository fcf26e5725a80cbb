// The check of the word typed at the menu prompt.
#ifndef DATEMENU_CHOICE_H_
#define DATEMENU_CHOICE_H_

#include <string_view>

/// The menu item 1..6 that `word` names, or 0 when it is anything but one of the six
/// one-character words "1" to "6".
int parseChoice(std::string_view word);

#endif  // DATEMENU_CHOICE_H_
