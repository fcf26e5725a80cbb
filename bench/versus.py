#!/usr/bin/env python3
"""Times one program as built from several commits, in turns, on the same answers.

  bench/versus.py [--runs N] PROGRAM CASE BIN_FOLDER...

CASE is one of the names below. Each round runs the program from every BIN_FOLDER once, the
order turned by one each round, so that no build always runs first on a machine another
warmed; standard output goes to /dev/null. Prints the load average at the start and, per
folder, the median and the 90th percentile of the wall time (default 10 runs each).

Build each commit's programs with: cmake --preset release -B build/rel && cmake --build build/rel"""
import os
import sys

from report import LARGEST, median, p90, run_once, duration, arraymenu_answer  # noqa: E402

APPEND, EXIT = arraymenu_answer("appendElement"), arraymenu_answer("exit")
CASES = {
    # A script that appends to a small array, one value a choice.
    "appends": b"1\n" + (APPEND + b"1.5\n") * 100000 + EXIT,
    "create": b"%d\n" % LARGEST + EXIT,
    "matrix": b"3000 3000\n",
}


def main():
    arguments = sys.argv[1:]
    runs = 10
    if arguments[:1] == ["--runs"]:
        runs, arguments = int(arguments[1]), arguments[2:]
    if len(arguments) < 3 or arguments[1] not in CASES:
        sys.exit(__doc__)
    program, answers, folders = arguments[0], CASES[arguments[1]], arguments[2:]
    print(f"{arguments[1]}: {runs} runs each, load average {os.getloadavg()[0]:.2f} at the start")
    seconds = {folder: [] for folder in folders}
    for turn in range(runs):
        shift = turn % len(folders)
        for folder in folders[shift:] + folders[:shift]:
            seconds[folder].append(run_once(os.path.join(folder, program), answers)[0])
    for folder in folders:
        print(f"{folder}: median {duration(median(seconds[folder]))}, "
              f"p90 {duration(p90(seconds[folder]))}")


if __name__ == "__main__":
    sys.exit(main())
