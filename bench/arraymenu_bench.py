#!/usr/bin/env python3
"""Whole runs of the arraymenu program on its largest array (52428799 elements): wall time and
peak resident memory of the process for creation alone, creation plus one listing to /dev/null
or to a file in /tmp, and creation plus one append. The time of a step is the run's time less
that of the run which only creates. Each run is repeated and the best time is kept.

  python3 bench/arraymenu_bench.py build/release-arraymenu/bin/arraymenu [repeats]"""
import os
import subprocess
import sys
import tempfile
import time

LARGEST = 52428799


def run(program, script, stdout):
    """Wall seconds and peak resident MiB of one run fed `script`."""
    start = time.perf_counter()
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=stdout,
                            stderr=subprocess.DEVNULL)
    proc.stdin.write(script)
    proc.stdin.close()
    _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 1:
        sys.exit(f"unexpected exit status {proc.returncode}")
    return seconds, usage.ru_maxrss / 1024.0


def best(program, script, target, repeats):
    runs = []
    for _ in range(repeats):
        if target == "file":
            os.sync()  # no dirty pages of earlier runs for this one to wait on
            with tempfile.NamedTemporaryFile(dir="/tmp", prefix="arraymenu_bench_") as f:
                runs.append(run(program, script, f))
        else:
            with open(os.devnull, "wb") as null:
                runs.append(run(program, script, null))
    return min(r[0] for r in runs), max(r[1] for r in runs)


def main():
    program = sys.argv[1]
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    size = b"%d\n" % LARGEST
    create, create_mem = best(program, size + b"5\n", "null", repeats)
    null, null_mem = best(program, size + b"1\n5\n", "null", repeats)
    tmp, tmp_mem = best(program, size + b"1\n5\n", "file", repeats)
    append, append_mem = best(program, size + b"3\n1.5\n5\n", "null", repeats)
    block = LARGEST * 8 / 2**20
    print(f"load: {os.getloadavg()[0]:.2f}   block: {block:.1f} MiB   best of {repeats}")
    print("step: the run's time less that of the run which only creates (differences below")
    print("about 0.1 s are within the noise of creation)")
    print(f"{'run':34} {'whole s':>8} {'step s':>8} {'target':>7} {'peak MiB':>9} {'above block':>12}")
    rows = [("create, exit", create, create, 2.0, create_mem),
            ("create, list to /dev/null, exit", null, null - create, 1.0, null_mem),
            ("create, list to /tmp file, exit", tmp, tmp - create, 1.5, tmp_mem),
            ("create, append one, exit", append, append - create, 1.5, append_mem)]
    for name, whole, step, target, mem in rows:
        print(f"{name:34} {whole:8.3f} {step:8.3f} {target:7.1f} {mem:9.1f} {mem - block:12.1f}")


if __name__ == "__main__":
    main()
