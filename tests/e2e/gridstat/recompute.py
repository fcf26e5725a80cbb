"""Independent check of one gridstat run's random output, run by tests/run_e2e.py for each case
of this folder that has a <case>.recompute marker.

Reads the run's standard output from standard input and the wall-clock seconds around the run
from the arguments. Checks that the matrix is rows of equally many six-character fields, that it is the
sequence the C library's rand() gives after srand() of a clock second within the run (low 32
bits), and that the printed mean and sample variance are those of the printed cells, computed
exactly with fractions. Exit 0 when all holds; otherwise prints what failed and exits 1.
"""
import ctypes
import ctypes.util
import math
import re
import struct
import sys
from fractions import Fraction

FIELD = re.compile(r" *(\d)(?:\.(\d{1,3}))?")


def fail(message):
    print(message)
    sys.exit(1)


def as_float32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def float32_neighbours(x):
    """x (a float32 value) and the float32 values just below and above it."""
    bits = struct.unpack("<i", struct.pack("<f", x))[0]
    return [struct.unpack("<f", struct.pack("<i", b))[0] for b in (bits - 1, bits, bits + 1)]


def parse_cell(field):
    """The k of a six-character field holding k / 1000, written without trailing zeros."""
    match = FIELD.fullmatch(field)
    if len(field) != 6 or not match or not field.startswith(" "):
        fail(f"bad field {field!r}")
    whole, fraction = match.group(1), match.group(2) or ""
    if fraction.endswith("0"):
        fail(f"trailing zero in {field!r}")
    return int(whole) * 1000 + int(fraction.ljust(3, "0"))


def parse(text):
    lines = text.split("\n")
    try:
        start = lines.index("zadan massiv") + 1
        blank = lines.index("", start)
    except ValueError:
        fail("no matrix between 'zadan massiv' and an empty line")
    rows = lines[start:blank]
    if len(lines) != blank + 3 or not rows:
        fail(f"expected the matrix, one empty line and two statistics lines: {lines[blank:]!r}")
    widths = {len(row) for row in rows}
    if len(widths) != 1 or widths.pop() % 6:
        fail("rows differ in length or are not whole fields")
    cells = [[parse_cell(row[j:j + 6]) for j in range(0, len(row), 6)] for row in rows]
    mean_line, variance_line = lines[blank + 1], lines[blank + 2]
    if not mean_line.startswith("Srednee ") or not variance_line.startswith("Dispersia "):
        fail(f"statistics lines: {mean_line!r}, {variance_line!r}")
    return cells, mean_line[len("Srednee "):], variance_line[len("Dispersia "):]


def check_seed(ks, started, ended):
    libc = ctypes.CDLL(ctypes.util.find_library("c"))
    libc.srand.argtypes = [ctypes.c_uint]
    for second in range(int(started) - 1, int(ended) + 2):
        libc.srand(second & 0xFFFFFFFF)
        if all(libc.rand() % 10000 == k for k in ks):
            return
    fail(f"matrix is not rand() % 10000 after srand of any second in [{started}, {ended}]")


def expect_printed(name, printed, exact):
    """The printed text must be the %g form (6 significant digits) of the float nearest the
    exact value, or of a float next to it (the program rounds a double result)."""
    allowed = {"%g" % v for v in float32_neighbours(as_float32(float(exact)))}
    if printed not in allowed:
        fail(f"{name}: printed {printed!r}, exact {float(exact)!r}, allowed {sorted(allowed)}")


def main():
    started, ended = float(sys.argv[1]), float(sys.argv[2])
    text = sys.stdin.buffer.read().decode("ascii")
    cells, mean_text, variance_text = parse(text)
    ks = [k for row in cells for k in row]
    check_seed(ks, started, ended)

    values = [Fraction(as_float32(k / 1000.0)) for k in ks]
    count = len(values)
    mean = sum(values) / count
    expect_printed("mean", mean_text, mean)
    if count == 1:
        if variance_text != "-nan":
            fail(f"variance of one cell: printed {variance_text!r}, expected '-nan'")
        return
    variance = sum((v - mean) ** 2 for v in values) / (count - 1)
    expect_printed("variance", variance_text, variance)
    if not math.isfinite(float(variance_text)):
        fail("variance not finite")


if __name__ == "__main__":
    main()
