"""The programs' fixed texts that more than one Python test expects, written out once. Each menu,
its choice prompt and the answer that picks each item are read from the program's own table
(datemenu/menu.h, arraymenu/menu.h), so that a change to a menu is made there alone."""
import pathlib
import re

# What clearing the console writes on a terminal (the menus' clearing item).
CLEAR = b"\x1b[H\x1b[2J\x1b[3J"

DATEMENU_DATE_PROMPT = b"vvedite datu v formate 'dd.mm.yyyy': "

ARRAYMENU_SIZE_PROMPT = b"vvedite razmer massiva: "
ARRAYMENU_VALUE_PROMPT = b"Vvedite znachenie elementa: "

_TOP = pathlib.Path(__file__).resolve().parent.parent


def _menu_table(program):
    """(title, [(text, action)]) from the program's menu.h."""
    header = _TOP / program / "menu.h"
    text = header.read_text()
    items = re.findall(r'MenuItem\{"([^"]*)", MenuAction::(\w+)\}', text)
    title = re.search(r'kMenuTitle = "([^"]*)"', text)
    if not items or not title:
        raise SystemExit(f"no menu items or no title found in {header}")
    return title.group(1), items


def _menu_text(title, items):
    return (title + "\n\n" + "".join(
        f"{number}) {text}\n" for number, (text, _) in enumerate(items, 1)) + "\n").encode()


def _answer(program, items, action):
    numbers = [number for number, (_, item) in enumerate(items, 1) if item == action]
    if not numbers:
        raise SystemExit(f"no menu item does {action} in {program}/menu.h")
    return b"%d\n" % numbers[0]


_DATEMENU_TITLE, _DATEMENU_ITEMS = _menu_table("datemenu")
DATEMENU_MENU = _menu_text(_DATEMENU_TITLE, _DATEMENU_ITEMS)
DATEMENU_CHOICE_PROMPT = ("Vashe deistvie (vvedite " + ",".join(
    str(number) for number in range(1, len(_DATEMENU_ITEMS) + 1)) + "): ").encode()
# A choice word of one digit that no item has, with its line end.
DATEMENU_NO_ITEM = b"%d\n" % (len(_DATEMENU_ITEMS) + 1)

_ARRAYMENU_TITLE, _ARRAYMENU_ITEMS = _menu_table("arraymenu")
ARRAYMENU_MENU = _menu_text(_ARRAYMENU_TITLE, _ARRAYMENU_ITEMS)
ARRAYMENU_CHOICE_PROMPT = f"Vvedite chislo (1..{len(_ARRAYMENU_ITEMS)}): ".encode()


def datemenu_answer(action):
    """The choice, with its line end, that picks datemenu's item doing `action` (a MenuAction
    name such as "exit" or "printDate")."""
    return _answer("datemenu", _DATEMENU_ITEMS, action)


def arraymenu_answer(action):
    """The choice, with its line end, that picks arraymenu's item doing `action` (a MenuAction
    name such as "exit" or "listArray")."""
    return _answer("arraymenu", _ARRAYMENU_ITEMS, action)
