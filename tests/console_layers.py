#!/usr/bin/env python3
"""Fails when a file of the console layer includes a header of a layer above its own.

  console_layers.py SOURCE_DIR

The layers, from the top: console/ask, console/terminal, console/system. A file may include
headers of its own layer and of those below it, never of one above."""
import pathlib
import re
import sys

LAYERS = ["ask", "terminal", "system"]
INCLUDE = re.compile(r'^#include "console/([a-z]+)/', re.M)

source = pathlib.Path(sys.argv[1])
wrong = []
for rank, layer in enumerate(LAYERS):
    for path in sorted((source / "console" / layer).iterdir()):
        for included in INCLUDE.findall(path.read_text()):
            if included not in LAYERS or LAYERS.index(included) < rank:
                wrong.append(f"{path.relative_to(source)} includes a header of console/{included}")
print("\n".join(wrong) or "every console file includes only its own layer and those below")
sys.exit(1 if wrong else 0)
