// arraymenu's menu: its items in the order they are numbered. The choice prompt, its range and
// the menu's text are all made from this one table, and the fuzzer and the test harnesses read
// it from here.
#ifndef ARRAYMENU_MENU_H_
#define ARRAYMENU_MENU_H_

#include <array>
#include <string_view>

#include "console/ask/menu.h"

/// What a menu item does.
enum class MenuAction { listArray, changeElement, appendElement, clearConsole, exit };

/// One item: the text written after its number, and what choosing it does.
using MenuItem = console::MenuItem<MenuAction>;

/// The items, numbered from 1 in this order.
inline constexpr std::array kMenu = {
    MenuItem{"Vivesti massiv", MenuAction::listArray},
    MenuItem{"Izmenit element", MenuAction::changeElement},
    MenuItem{"Dobavit element", MenuAction::appendElement},
    MenuItem{"Ochistit", MenuAction::clearConsole},
    MenuItem{"Exit", MenuAction::exit},
};

/// The menu's title line.
inline constexpr std::string_view kMenuTitle = "viberete deistvie:";

#endif  // ARRAYMENU_MENU_H_
