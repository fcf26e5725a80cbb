#!/usr/bin/env python3
"""Times the heavy paths as users meet them and prints one Markdown table per kind.

  bench/report.py [folder of a release build's binaries, default build/bench/bin] [--runs N]

Whole runs: each program is run N times (default 10) in its own process on every core it may
use, held to one core (`taskset -c 0`), and beside the same dialogue done the literal way
(bench/literal_<program>.cc), in turns, with standard output /dev/null. The table gives the
median and the 90th percentile of the wall time of each, their ratios, and the highest peak
resident memory. Before timing, each pair is checked to write the same bytes for a small run,
and so is each program on one core against itself on all.

  --only TEXT       only the whole runs whose path and size contain TEXT, and no steps
  --before FOLDER   also the programs of another build (the code before a change), held to
                    one core, to tell what the change costs on one core

Steps: each Google benchmark runs N repetitions in one process; the table gives the median and
the 90th percentile of the repetitions.

Build: cmake --preset release -B build/bench -DBUILD_BENCHMARKS=ON && cmake --build build/bench"""
import hashlib
import json
import math
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from texts import arraymenu_answer  # noqa: E402

LARGEST = 52428799
LIST, EXIT = arraymenu_answer("listArray"), arraymenu_answer("exit")

# path, size, program, answers; the literal program is literal_<program>.
WHOLE_RUNS = [
    ("arraymenu: create, exit", f"{LARGEST:,} elements", "arraymenu", b"%d\n" % LARGEST + EXIT),
    ("arraymenu: create, list, exit", "5,000,000 elements", "arraymenu",
     b"5000000\n" + LIST + EXIT),
    ("arraymenu: create, list, exit", f"{LARGEST:,} elements", "arraymenu",
     b"%d\n" % LARGEST + LIST + EXIT),
    *[("gridstat: whole run", f"{n} x {n}", "gridstat", b"%d %d\n" % (n, n))
      for n in (3000, 5000, 10000)],
]
# A small run of each program whose output the literal way must match byte for byte, and one
# large enough for several threads whose output one core must match.
SAME_OUTPUT = {"arraymenu": b"1000\n" + LIST + EXIT, "gridstat": b"300 300\n"}
SAME_ON_ONE_CORE = {"arraymenu": b"300000\n" + LIST + EXIT, "gridstat": b"1000 1000\n"}
ONE_CORE = ["taskset", "-c", "0"]

STEPS = [("arraymenu_bench", "BM_CreateLargest"), ("arraymenu_bench", "BM_LiteralCreateMillion"),
         ("arraymenu_bench", "BM_LibraryRandLargest"), ("arraymenu_bench", "BM_InlineRandLargest"),
         ("arraymenu_bench", "BM_TouchLargestBlock"),
         ("arraymenu_bench", "BM_PrintLargestToDevNull"),
         ("arraymenu_bench", "BM_LiteralPrintMillionToDevNull"),
         ("arraymenu_bench", "BM_AppendAtLargest"), ("arraymenu_bench", "BM_LiteralAppendAtLargest"),
         ("gridstat_bench", "BM_CreateAndPrint/5000"),
         ("gridstat_bench", "BM_CreateAndPrintCellByCell/2000"),
         ("gridstat_bench", "BM_AllocateAndTouch/5000"), ("gridstat_bench", "BM_Statistics/5000"),
         ("gridstat_bench", "BM_StatisticsFloatAccumulators/2000"),
         ("datemenu_bench", "BM_DifferenceLargestSpan"),
         ("datemenu_bench", "BM_DifferenceLiteralMillionYears")]
SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def median(values):
    return statistics.median(values)


def p90(values):
    """The 90th percentile, nearest rank: the 9th slowest of 10."""
    ordered = sorted(values)
    return ordered[math.ceil(0.9 * len(ordered)) - 1]


def run_once(binary, answers, out=subprocess.DEVNULL, prefix=()):
    """Wall seconds and peak resident MiB of one run of `binary` fed `answers`, started through
    `prefix` (taskset) when given."""
    started = time.perf_counter()
    proc = subprocess.Popen([*prefix, binary], stdin=subprocess.PIPE, stdout=out,
                            stderr=subprocess.DEVNULL)
    proc.stdin.write(answers)
    proc.stdin.close()
    _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.perf_counter() - started
    if os.waitstatus_to_exitcode(status) not in (0, 1):  # gridstat ends with 0, Exit with 1
        sys.exit(f"{binary} ended with status {os.waitstatus_to_exitcode(status)}")
    return seconds, usage.ru_maxrss / 1024.0


def output_digest(binary, answers, prefix=()):
    result = subprocess.run([*prefix, binary], input=answers, capture_output=True, check=False)
    return hashlib.sha256(result.stdout + b"\0" + result.stderr).hexdigest()


def check_same_on_one_core(folder, program):
    """The program held to one core writes what it writes on all (same clock second)."""
    answers = SAME_ON_ONE_CORE[program]
    binary = os.path.join(folder, program)
    for _ in range(5):
        if output_digest(binary, answers) == output_digest(binary, answers, ONE_CORE):
            return
    sys.exit(f"{program} writes different output on one core for {answers!r}")


def check_same_output(folder, program):
    """The literal way writes what the program writes; gridstat's seed is the clock's second,
    so a pair that straddles a second is tried again."""
    answers = SAME_OUTPUT[program]
    for _ in range(5):
        ours = output_digest(os.path.join(folder, program), answers)
        literal = output_digest(os.path.join(folder, "literal_" + program), answers)
        if ours == literal:
            return
    sys.exit(f"literal_{program} and {program} write different output for {answers!r}")


def time_in_turns(folder, program, answers, runs, before=None):
    """Seconds of `runs` runs of the program on all its cores, held to one, of its literal way
    and, given a `before` folder, of the program there held to one core, in turns: the order
    rotates, so that none always runs on a machine another warmed. Also the program's highest
    peak memory."""
    ways = [("all", folder, program, ()), ("one", folder, program, ONE_CORE),
            ("literal", folder, "literal_" + program, ())]
    if before:
        ways.append(("before", before, program, ONE_CORE))
    seconds = {way[0]: [] for way in ways}
    peaks = []
    for turn in range(runs):
        start = turn % len(ways)
        for way, place, binary, prefix in ways[start:] + ways[:start]:
            wall, peak = run_once(os.path.join(place, binary), answers, prefix=prefix)
            seconds[way].append(wall)
            if way == "all":
                peaks.append(peak)
    return seconds, max(peaks)


def step_seconds(folder, binary, name, runs):
    """Seconds per iteration of each repetition of one Google benchmark."""
    result = subprocess.run(
        [os.path.join(folder, binary), f"--benchmark_filter=^{name}(/iterations:[0-9]+)?$",
         f"--benchmark_repetitions={runs}", "--benchmark_format=json"],
        capture_output=True, text=True, check=False)
    if result.returncode != 0 or not result.stdout:
        sys.exit(f"{binary} {name} failed or matched no benchmark: {result.stderr[-300:]}")
    repetitions = [b for b in json.loads(result.stdout)["benchmarks"]
                   if b.get("run_type") == "iteration"]
    if not repetitions or any(b.get("error_occurred") for b in repetitions):
        sys.exit(f"{binary} {name}: no result or an error")
    return [b["real_time"] * SECONDS[b["time_unit"]] for b in repetitions]


def duration(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if seconds >= scale:
            return f"{seconds / scale:.3f} s" if unit == "s" else f"{seconds / scale:.1f} {unit}"
    return f"{seconds / 1e-9:.0f} ns"


def main():
    args = sys.argv[1:]
    runs = 10
    only = None
    if "--runs" in args:
        at = args.index("--runs")
        runs = int(args[at + 1])
        del args[at:at + 2]
    if "--only" in args:
        at = args.index("--only")
        only = args[at + 1]
        del args[at:at + 2]
    before = None
    if "--before" in args:
        at = args.index("--before")
        before = args[at + 1]
        del args[at:at + 2]
    folder = args[0] if args else "build/bench/bin"
    for program in SAME_OUTPUT:
        check_same_output(folder, program)
        check_same_on_one_core(folder, program)
    print(f"{time.strftime('%Y-%m-%d %H:%M')}, {os.cpu_count()} cores, "
          f"{len(os.sched_getaffinity(0))} in the affinity mask, load average "
          f"{os.getloadavg()[0]:.2f} at the start; {runs} runs of each, in turns\n")
    print("| path | size | all cores median | p90 | one core median | p90 | all vs one at the "
          "median | literal median | p90 | faster than literal at the median | at p90 "
          "| peak memory |" + (" before, one core median | p90 | one core vs before |"
                               if before else ""))
    print("|---" * (15 if before else 12) + "|")
    for path, size, program, answers in WHOLE_RUNS:
        if only is not None and only not in f"{path} {size}":
            continue
        seconds, peak = time_in_turns(folder, program, answers, runs, before)
        ours, one, literal = seconds["all"], seconds["one"], seconds["literal"]
        cells = [path, size, duration(median(ours)), duration(p90(ours)),
                 duration(median(one)), duration(p90(one)), f"{median(one) / median(ours):.2f}x",
                 duration(median(literal)), duration(p90(literal)),
                 f"{median(literal) / median(ours):.1f}x", f"{p90(literal) / p90(ours):.1f}x",
                 f"{peak:.0f} MiB"]
        if before:
            earlier = seconds["before"]
            cells += [duration(median(earlier)), duration(p90(earlier)),
                      f"{median(one) / median(earlier):.3f}"]
        print("| " + " | ".join(cells) + " |", flush=True)
    if only is None:
        print("\n| step | median | p90 |")
        print("|---|---|---|")
        for binary, name in STEPS:
            seconds = step_seconds(folder, binary, name, runs)
            print(f"| {name} | {duration(median(seconds))} | {duration(p90(seconds))} |",
                  flush=True)
    print(f"\nload average {os.getloadavg()[0]:.2f} at the end")


if __name__ == "__main__":
    main()
