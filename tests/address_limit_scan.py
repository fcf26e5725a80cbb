#!/usr/bin/env python3
"""A program under every address-space limit (what `ulimit -v` sets) around the smallest one at
which it can hold its data: each run must end in its own way (the statuses given), never by a
signal, and with "Nedostatochno pamyati" on standard error exactly when it ends with status 3.

  address_limit_scan.py <program> <answers> <status...>

<answers> is fed on standard input (a Python bytes literal body, e.g. '1000 10000\\nk\\n'); a
menu choice in it is named by the item's action, `{arraymenu.listArray}`, and stands for the
number of that item in the menu's table, with its line end.
The smallest limit at which the run does not end for want of memory is found by bisection;
then every limit from 64 KiB below it to 256 KiB above it is tried, 1 KiB apart."""
import ast
import re
import subprocess
import sys

from texts import arraymenu_answer, datemenu_answer

ANSWERS = {b"arraymenu": arraymenu_answer, b"datemenu": datemenu_answer}


def run(program, answers, limit_kib):
    result = subprocess.run(["sh", "-c", f'ulimit -v {limit_kib} && exec "$0"', program],
                            input=answers, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            timeout=60)
    return result.returncode, result.stderr


def main():
    program = sys.argv[1]
    answers = re.sub(rb"\{(\w+)\.(\w+)\}", lambda item: ANSWERS[item[1]](item[2].decode()),
                     ast.literal_eval("b'" + sys.argv[2] + "'"))
    statuses = {int(status) for status in sys.argv[3:]}
    low, high = 1024, 16 * 1024 * 1024  # KiB: too little to start; far more than needed
    while high - low > 1:
        middle = (low + high) // 2
        status, _ = run(program, answers, middle)
        if status in (3, 127) or status < 0:  # 127: too little to start at all
            low = middle
        else:
            high = middle
    failures = []
    for limit in range(max(1024, high - 64), high + 257):
        status, err = run(program, answers, limit)
        out_of_memory = err.endswith(b"Nedostatochno pamyati\n")
        if status not in statuses | {3, 127} or (status == 3) != out_of_memory:
            failures.append(f"limit {limit} KiB: status {status}, standard error {err[-80:]!r}")
    print(f"smallest limit that holds the data: {high} KiB; "
          f"{len(failures)} of 321 limits around it failed")
    for failure in failures[:20]:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
