#!/usr/bin/env python3
"""Runs every benchmark at the largest sizes and prints one table: each heavy path with its
time, its rate and the peak memory of the process that ran it, beside the same path done the
literal way (a flush per line, stream formatting, a loop per year, a copy per append) on the
size given, with the rates per element compared.

  bench/report.py [folder of the release build's binaries, default build/release/bin]

Each benchmark runs three times, each time in a process of its own so that its peak resident
memory is its own; the table shows the best time and the highest peak."""
import json
import os
import subprocess
import sys

LARGEST = "52,428,799 elements"
# path, size, binary, benchmark, literal benchmark (binary, name, size) or None
ROWS = [
    ("datemenu: day count", "1.1.0 to 31.12.4294967295", "datemenu_bench",
     "BM_DifferenceLargestSpan", ("datemenu_bench", "BM_DifferenceLiteralMillionYears",
                                  "1,000,000 years")),
    ("arraymenu: creation", LARGEST, "arraymenu_bench", "BM_CreateLargest",
     ("arraymenu_bench", "BM_LiteralCreateMillion", "1,000,000 elements")),
    ("arraymenu: listing to /dev/null", LARGEST, "arraymenu_bench", "BM_PrintLargestToDevNull",
     ("arraymenu_bench", "BM_LiteralPrintMillionToDevNull", "1,000,000 elements")),
    ("arraymenu: listing to a /tmp file", LARGEST, "arraymenu_bench",
     "BM_PrintLargestToTmpFile",
     ("arraymenu_bench", "BM_LiteralPrintMillionToDevNull", "1,000,000 elements")),
    ("arraymenu: one append", LARGEST, "arraymenu_bench", "BM_AppendAtLargest",
     ("arraymenu_bench", "BM_LiteralAppendAtLargest", LARGEST)),
    ("gridstat: create and print", "5000 x 5000", "gridstat_bench", "BM_CreateAndPrint/5000",
     ("gridstat_bench", "BM_CreateAndPrintCellByCell/2000", "2000 x 2000")),
    ("gridstat: create and print", "10000 x 10000", "gridstat_bench", "BM_CreateAndPrint/10000",
     ("gridstat_bench", "BM_CreateAndPrintCellByCell/2000", "2000 x 2000")),
    ("gridstat: statistics", "5000 x 5000", "gridstat_bench", "BM_Statistics/5000",
     ("gridstat_bench", "BM_StatisticsFloatAccumulators/2000", "2000 x 2000")),
    ("gridstat: statistics", "10000 x 10000", "gridstat_bench", "BM_Statistics/10000",
     ("gridstat_bench", "BM_StatisticsFloatAccumulators/2000", "2000 x 2000")),
]
SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
REPEATS = 3


def run(folder, binary, name, cache={}):
    """Best seconds per run, its items per second and the highest peak MiB of one benchmark."""
    key = (binary, name)
    if key not in cache:
        runs = [run_once(folder, binary, name) for _ in range(REPEATS)]
        seconds, items, _ = min(runs)
        cache[key] = (seconds, items, max(peak for _, _, peak in runs))
    return cache[key]


def run_once(folder, binary, name):
    """Seconds per run, items per second and peak MiB of one benchmark in its own process."""
    proc = subprocess.Popen(
        [os.path.join(folder, binary), f"--benchmark_filter=^{name}(/|$)",
         "--benchmark_format=json"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    output = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    if status != 0 or not output:
        sys.exit(f"{binary} {name} failed (status {status}, or no such benchmark)")
    result = json.loads(output)["benchmarks"][0]
    if result.get("error_occurred"):
        sys.exit(f"{binary} {name}: {result.get('error_message')}")
    return (result["real_time"] * SECONDS[result["time_unit"]],
            result.get("items_per_second", 0.0), usage.ru_maxrss / 1024.0)


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
          "element (year, array element, matrix cell; per append for the append)\n")
    print("| path | size | time | rate | peak memory | literal way on | time | rate | "
          "faster per element |")
    print("|---|---|---|---|---|---|---|---|---|")
    for path, size, binary, name, literal in ROWS:
        seconds, items, peak = run(folder, binary, name)
        cells = [path, size, duration(seconds), rate(items), f"{peak:.1f} MiB"]
        if literal:
            l_seconds, l_items, _ = run(folder, literal[0], literal[1])
            ratio = items / l_items if l_items else 0.0
            cells += [literal[2], duration(l_seconds), rate(l_items), f"{ratio:,.0f}x"]
        else:
            cells += ["", "", "", ""]
        print("| " + " | ".join(cells) + " |", flush=True)


if __name__ == "__main__":
    main()
