// datemenu's menu: its items in the order they are numbered. The menu's text, the choice prompt
// and the range of choices are all made from this one table.
#ifndef DATEMENU_MENU_H_
#define DATEMENU_MENU_H_

#include <array>
#include <string_view>

#include "console/ask/menu.h"

/// What a menu item does.
enum class MenuAction { addDate, dateDifference, enterAgain, printDate, clearConsole, exit };

/// One item: the text written after its number, and what choosing it does.
using MenuItem = console::MenuItem<MenuAction>;

/// The items, numbered from 1 in this order; a choice is one digit, so there are at most nine.
inline constexpr std::array kMenu = {
    MenuItem{"Summirovat s drugoi datoi;", MenuAction::addDate},
    MenuItem{"Naiti raznost s drygoi datoi;", MenuAction::dateDifference},
    MenuItem{"Vvesti datu zanovo;", MenuAction::enterAgain},
    MenuItem{"Vivesti datu;", MenuAction::printDate},
    MenuItem{"Ohistit;", MenuAction::clearConsole},
    MenuItem{"Exit;", MenuAction::exit},
};
static_assert(kMenu.size() <= 9);

/// The menu's title line.
inline constexpr std::string_view kMenuTitle = "Viberete deistvie:";

#endif  // DATEMENU_MENU_H_
