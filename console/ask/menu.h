// A numbered menu: the items of a program's table, each its text and what choosing it does.
#ifndef CONSOLE_ASK_MENU_H_
#define CONSOLE_ASK_MENU_H_

#include <array>
#include <cstddef>
#include <iostream>
#include <string_view>

namespace console {

/// One item: the text written after its number, and what choosing it does.
template <typename Action>
struct MenuItem {
  std::string_view text;
  Action action;
};

/// Writes a menu on standard output: `title`, an empty line, "N) text" for each item numbered
/// from 1, an empty line; each line ended with std::endl.
template <typename Action, size_t count>
void writeMenu(std::string_view title, const std::array<MenuItem<Action>, count>& items) {
  std::cout << title << std::endl << std::endl;
  for (size_t i = 0; i < count; ++i) std::cout << i + 1 << ") " << items[i].text << std::endl;
  std::cout << std::endl;
}

}  // namespace console

#endif  // CONSOLE_ASK_MENU_H_
