"""The programs' fixed texts that more than one Python test expects, written out once, apart
from the programs' own code."""

# What clearing the console writes on a terminal (datemenu's item 5, arraymenu's item 4).
CLEAR = b"\x1b[H\x1b[2J\x1b[3J"

DATEMENU_DATE_PROMPT = b"vvedite datu v formate 'dd.mm.yyyy': "
DATEMENU_MENU = (b"Viberete deistvie:\n\n1) Summirovat s drugoi datoi;\n"
                 b"2) Naiti raznost s drygoi datoi;\n3) Vvesti datu zanovo;\n4) Vivesti datu;\n"
                 b"5) Ohistit;\n6) Exit;\n\n")
DATEMENU_CHOICE_PROMPT = b"Vashe deistvie (vvedite 1,2,3,4,5,6): "

ARRAYMENU_SIZE_PROMPT = b"vvedite razmer massiva: "
ARRAYMENU_MENU = (b"viberete deistvie:\n\n1) Vivesti massiv\n2) Izmenit element\n"
                  b"3) Dobavit element\n4) Ochistit\n5) Exit\n\n")
ARRAYMENU_CHOICE_PROMPT = b"Vvedite chislo (1..5): "
ARRAYMENU_VALUE_PROMPT = b"Vvedite znachenie elementa: "
