"""The programs' fixed texts that more than one Python test expects, written out once. arraymenu's
menu, its choice prompt and the answer that picks each item are read from the program's own table
in arraymenu/menu.h, so that a change to that menu is made there alone."""
import pathlib
import re

# What clearing the console writes on a terminal (datemenu's item 5, arraymenu's item 4).
CLEAR = b"\x1b[H\x1b[2J\x1b[3J"

DATEMENU_DATE_PROMPT = b"vvedite datu v formate 'dd.mm.yyyy': "
DATEMENU_MENU = (b"Viberete deistvie:\n\n1) Summirovat s drugoi datoi;\n"
                 b"2) Naiti raznost s drygoi datoi;\n3) Vvesti datu zanovo;\n4) Vivesti datu;\n"
                 b"5) Ohistit;\n6) Exit;\n\n")
DATEMENU_CHOICE_PROMPT = b"Vashe deistvie (vvedite 1,2,3,4,5,6): "

ARRAYMENU_SIZE_PROMPT = b"vvedite razmer massiva: "
ARRAYMENU_VALUE_PROMPT = b"Vvedite znachenie elementa: "

_MENU_HEADER = pathlib.Path(__file__).resolve().parent.parent / "arraymenu" / "menu.h"
_MENU_TEXT = _MENU_HEADER.read_text()
_MENU_ITEMS = re.findall(r'MenuItem\{"([^"]*)", MenuAction::(\w+)\}', _MENU_TEXT)
if not _MENU_ITEMS:
    raise SystemExit(f"no menu items found in {_MENU_HEADER}")
_MENU_TITLE = re.search(r'kMenuTitle = "([^"]*)"', _MENU_TEXT).group(1)

ARRAYMENU_MENU = (_MENU_TITLE + "\n\n" + "".join(
    f"{number}) {text}\n" for number, (text, _) in enumerate(_MENU_ITEMS, 1)) + "\n").encode()
ARRAYMENU_CHOICE_PROMPT = f"Vvedite chislo (1..{len(_MENU_ITEMS)}): ".encode()


def arraymenu_answer(action):
    """The choice, with its line end, that picks arraymenu's item doing `action` (a MenuAction
    name such as "exit" or "listArray")."""
    numbers = [number for number, (_, item) in enumerate(_MENU_ITEMS, 1) if item == action]
    if not numbers:
        raise SystemExit(f"no menu item does {action} in {_MENU_HEADER}")
    return b"%d\n" % numbers[0]
