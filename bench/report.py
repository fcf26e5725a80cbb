#!/usr/bin/env python3
"""Runs every benchmark at the largest sizes and prints one table: each heavy path with its
time, its rate and the peak memory of the process that ran it, beside the same path done the
literal way (a flush per line, stream formatting, a loop per year, a copy per append) on the
size given, with the rates per element compared.

  bench/report.py [folder of the release build's binaries, default build/release/bin]

Each benchmark runs three times, each time in a process of its own so that its peak resident
memory is its own; the table shows the best time and the highest peak. Whole runs of a program
are timed the same way, fed their answers on standard input with standard output /dev/null.

The paths that draw random values or fill a large block run both ways: as before each step
(the C library's rand for every value, small pages: the environment variables
CONSOLETOOLS_LIBRARY_RAND=1 and CONSOLETOOLS_SMALL_PAGES=1) and as the programs run. The column
"way" is what the run used, as the benchmark reports it (a whole run: as the benchmark named for
it reports it under the same environment)."""
import json
import os
import subprocess
import sys
import time

LARGEST = "52,428,799 elements"
LARGEST_COUNT = 52428799
RAND = {"CONSOLETOOLS_LIBRARY_RAND": "1"}
SMALL_PAGES = {"CONSOLETOOLS_SMALL_PAGES": "1"}
BEFORE = {**RAND, **SMALL_PAGES}


def bench(binary, name, env=None):
    return ("bench", binary, name, env or {})


def whole(program, answers, items, label_from, env=None):
    """A whole run of `program` fed `answers`; `items` elements or cells; the way it used is the
    label of benchmark `label_from` (binary, name) run under the same environment."""
    return ("whole", program, answers, items, label_from, env or {})


def grid(size):
    return f"{size} x {size}"


LITERAL_CREATE = ("arraymenu_bench", "BM_LiteralCreateMillion", "1,000,000 elements")
LITERAL_LISTING = ("arraymenu_bench", "BM_LiteralPrintMillionToDevNull", "1,000,000 elements")
LITERAL_GRID = ("gridstat_bench", "BM_CreateAndPrintCellByCell/2000", "2000 x 2000")
LITERAL_STATISTICS = ("gridstat_bench", "BM_StatisticsFloatAccumulators/2000", "2000 x 2000")
CREATE = b"%d\n5\n" % LARGEST_COUNT
CREATE_AND_LIST = b"%d\n1\n5\n" % LARGEST_COUNT
ARRAY_LABEL = ("arraymenu_bench", "BM_CreateLargest")


def grid_runs(size):
    """gridstat's rows for one size: the benchmark and the whole run, each both ways."""
    label = ("gridstat_bench", f"BM_CreateAndPrint/{size}")
    answers = b"%d %d\n" % (size, size)
    return [
        ("gridstat: create and print", grid(size), bench(*label, BEFORE), LITERAL_GRID),
        ("gridstat: create and print", grid(size), bench(*label, SMALL_PAGES), LITERAL_GRID),
        ("gridstat: create and print", grid(size), bench(*label), LITERAL_GRID),
        ("gridstat: first touch of the matrix", grid(size),
         bench("gridstat_bench", f"BM_AllocateAndTouch/{size}", SMALL_PAGES), None),
        ("gridstat: first touch of the matrix", grid(size),
         bench("gridstat_bench", f"BM_AllocateAndTouch/{size}"), None),
        ("gridstat: whole run", grid(size),
         whole("gridstat", answers, size * size, label, BEFORE), None),
        ("gridstat: whole run", grid(size), whole("gridstat", answers, size * size, label), None),
    ]


# path, size, run, literal benchmark (binary, name, size) or None
ROWS = [
    ("datemenu: day count", "1.1.0 to 31.12.4294967295",
     bench("datemenu_bench", "BM_DifferenceLargestSpan"),
     ("datemenu_bench", "BM_DifferenceLiteralMillionYears", "1,000,000 years")),
    ("arraymenu: creation", LARGEST, bench(*ARRAY_LABEL, BEFORE), LITERAL_CREATE),
    ("arraymenu: creation", LARGEST, bench(*ARRAY_LABEL, SMALL_PAGES), LITERAL_CREATE),
    ("arraymenu: creation", LARGEST, bench(*ARRAY_LABEL), LITERAL_CREATE),
    ("arraymenu: the generator alone", "104,857,598 values",
     bench("arraymenu_bench", "BM_LibraryRandLargest"), None),
    ("arraymenu: the generator alone", "104,857,598 values",
     bench("arraymenu_bench", "BM_InlineRandLargest"), None),
    ("arraymenu: first touch of the block", LARGEST,
     bench("arraymenu_bench", "BM_TouchLargestBlock", SMALL_PAGES), None),
    ("arraymenu: first touch of the block", LARGEST,
     bench("arraymenu_bench", "BM_TouchLargestBlock"), None),
    ("arraymenu: listing to /dev/null", LARGEST,
     bench("arraymenu_bench", "BM_PrintLargestToDevNull"), LITERAL_LISTING),
    ("arraymenu: listing to a /tmp file", LARGEST,
     bench("arraymenu_bench", "BM_PrintLargestToTmpFile"), LITERAL_LISTING),
    ("arraymenu: one append", LARGEST, bench("arraymenu_bench", "BM_AppendAtLargest"),
     ("arraymenu_bench", "BM_LiteralAppendAtLargest", LARGEST)),
    ("arraymenu: whole run, create", LARGEST,
     whole("arraymenu", CREATE, LARGEST_COUNT, ARRAY_LABEL, BEFORE), None),
    ("arraymenu: whole run, create", LARGEST,
     whole("arraymenu", CREATE, LARGEST_COUNT, ARRAY_LABEL), None),
    ("arraymenu: whole run, create and list to /dev/null", LARGEST,
     whole("arraymenu", CREATE_AND_LIST, LARGEST_COUNT, ARRAY_LABEL, BEFORE), None),
    ("arraymenu: whole run, create and list to /dev/null", LARGEST,
     whole("arraymenu", CREATE_AND_LIST, LARGEST_COUNT, ARRAY_LABEL), None),
    *grid_runs(5000),
    *grid_runs(10000),
    ("gridstat: statistics", "5000 x 5000", bench("gridstat_bench", "BM_Statistics/5000"),
     LITERAL_STATISTICS),
    ("gridstat: statistics", "10000 x 10000", bench("gridstat_bench", "BM_Statistics/10000"),
     LITERAL_STATISTICS),
]
SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
REPEATS = 3


def best_of(key, run_once, cache={}):
    """Best seconds, its items per second, the highest peak MiB and the label of `run_once`."""
    if key not in cache:
        runs = [run_once() for _ in range(REPEATS)]
        seconds, items, _, label = min(runs)
        cache[key] = (seconds, items, max(run[2] for run in runs), label)
    return cache[key]


def environment(extra):
    env = {k: v for k, v in os.environ.items() if k not in BEFORE}
    env.update(extra)
    return env


def run_bench(folder, binary, name, env):
    return best_of(("bench", binary, name, tuple(sorted(env.items()))),
                   lambda: bench_once(folder, binary, name, env))


def bench_once(folder, binary, name, env):
    """Seconds per run, items per second, peak MiB and label of one benchmark in its own
    process."""
    proc = subprocess.Popen(
        [os.path.join(folder, binary), f"--benchmark_filter=^{name}(/|$)",
         "--benchmark_format=json"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
        env=environment(env))
    output = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    if status != 0 or not output:
        sys.exit(f"{binary} {name} failed (status {status}, or no such benchmark)")
    result = json.loads(output)["benchmarks"][0]
    if result.get("error_occurred"):
        sys.exit(f"{binary} {name}: {result.get('error_message')}")
    return (result["real_time"] * SECONDS[result["time_unit"]],
            result.get("items_per_second", 0.0), usage.ru_maxrss / 1024.0,
            result.get("label", ""))


def run_whole(folder, program, answers, items, env):
    return best_of(("whole", program, answers, tuple(sorted(env.items()))),
                   lambda: whole_once(folder, program, answers, items, env))


def whole_once(folder, program, answers, items, env):
    """Wall seconds, items per second and peak MiB of one run of `program`."""
    started = time.perf_counter()
    with open(os.devnull, "wb") as null:
        proc = subprocess.Popen([os.path.join(folder, program)], stdin=subprocess.PIPE,
                                stdout=null, stderr=subprocess.DEVNULL, env=environment(env))
        proc.stdin.write(answers)
        proc.stdin.close()
        _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.perf_counter() - started
    # arraymenu ends by its Exit item (1), gridstat when input ends at the key wait (0).
    if os.waitstatus_to_exitcode(status) not in (0, 1):
        sys.exit(f"{program} ended with status {status}")
    return seconds, items / seconds, usage.ru_maxrss / 1024.0, ""


def measure(folder, run):
    """Best seconds, items per second, peak MiB and the way of one row's run."""
    if run[0] == "bench":
        _, binary, name, env = run
        return run_bench(folder, binary, name, env)
    _, program, answers, items, label_from, env = run
    seconds, per_second, peak, _ = run_whole(folder, program, answers, items, env)
    return seconds, per_second, peak, run_bench(folder, *label_from, env)[3]


def duration(seconds):
    if seconds >= 1:
        return f"{seconds:.2f} s"
    if seconds >= 1e-3:
        return f"{seconds * 1e3:.1f} ms"
    if seconds >= 1e-6:
        return f"{seconds * 1e6:.1f} µs"
    return f"{seconds * 1e9:.1f} ns"


def rate(per_second):
    for factor, suffix in ((1e18, "E"), (1e15, "P"), (1e12, "T"), (1e9, "G"), (1e6, "M"),
                           (1e3, "k")):
        if per_second >= factor:
            return f"{per_second / factor:.3g} {suffix}/s"
    return f"{per_second:.3g} /s"


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "build/release/bin"
    print(f"load average {os.getloadavg()[0]:.2f}, {os.cpu_count()} cores; rates are per "
          "element (year, array element, random value, matrix cell; per append for the append)\n")
    print("| path | size | way | time | rate | peak memory | literal way on | time | rate | "
          "faster per element |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for path, size, run, literal in ROWS:
        seconds, items, peak, way = measure(folder, run)
        cells = [path, size, way, duration(seconds), rate(items), f"{peak:.1f} MiB"]
        if literal:
            l_seconds, l_items, _, _ = run_bench(folder, literal[0], literal[1], {})
            ratio = items / l_items if l_items else 0.0
            cells += [literal[2], duration(l_seconds), rate(l_items), f"{ratio:,.0f}x"]
        else:
            cells += ["", "", "", ""]
        print("| " + " | ".join(cells) + " |", flush=True)
    print(f"\nload average {os.getloadavg()[0]:.2f} at the end")


if __name__ == "__main__":
    main()
