#!/usr/bin/env python3
"""Times whole runs of gridstat and measures their peak memory against the matrix they hold.

  bench/gridstat_bench.py build/release-gridstat/bin/gridstat [SIZE ...]

For each size S (default 5000 and 10000) the program is run three times with "S S" on standard
input, standard output to /dev/null and standard input ending at the key wait; the best wall
time and the peak resident size of the run are printed with the heap the matrix needs (the row
table of S pointers and S rows of S floats)."""
import os
import subprocess
import sys
import time


def run_once(program, size):
    started = time.perf_counter()
    with open(os.devnull, "wb") as devnull:
        proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=devnull)
        proc.stdin.write(f"{size} {size}\n".encode())
        proc.stdin.close()
        _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - started
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"gridstat {size} x {size} ended with status {status}")
    return elapsed, usage.ru_maxrss / 1024.0  # MiB


def main():
    program = sys.argv[1]
    sizes = [int(s) for s in sys.argv[2:]] or [5000, 10000]
    print(f"load: {os.getloadavg()}")
    for size in sizes:
        runs = [run_once(program, size) for _ in range(3)]
        best = min(elapsed for elapsed, _ in runs)
        peak = max(rss for _, rss in runs)
        matrix = (size * 8 + size * size * 4) / 2**20
        print(f"{size} x {size}: best of 3 {best:.3f} s, peak {peak:.1f} MiB, "
              f"matrix {matrix:.1f} MiB, above it {peak - matrix:.1f} MiB")


if __name__ == "__main__":
    main()
