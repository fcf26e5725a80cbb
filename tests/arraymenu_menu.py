"""arraymenu's menu as the test and benchmark harnesses need it, read from the program's own
table in arraymenu/menu.h: a change to the menu is made there alone.

  MENU           the menu as written: title, empty line, "N) text" per item, empty line
  CHOICE_PROMPT  the prompt after it, which names the range 1..N
  answer(action) the line that chooses the item of that MenuAction, e.g. answer("exit")"""
import pathlib
import re

_HEADER = pathlib.Path(__file__).resolve().parent.parent / "arraymenu" / "menu.h"
_TEXT = _HEADER.read_text()
_ITEMS = re.findall(r'MenuItem\{"([^"]*)", MenuAction::(\w+)\}', _TEXT)
_TITLE = re.search(r'kMenuTitle = "([^"]*)"', _TEXT).group(1)
if not _ITEMS:
    raise SystemExit(f"no menu items found in {_HEADER}")

MENU = (_TITLE + "\n\n" + "".join(f"{number}) {text}\n"
                                  for number, (text, _) in enumerate(_ITEMS, 1)) + "\n").encode()
CHOICE_PROMPT = f"Vvedite chislo (1..{len(_ITEMS)}): ".encode()


def answer(action):
    """The choice, with its line end, that picks the item doing `action`."""
    numbers = [number for number, (_, item) in enumerate(_ITEMS, 1) if item == action]
    if not numbers:
        raise SystemExit(f"no menu item does {action} in {_HEADER}")
    return b"%d\n" % numbers[0]
