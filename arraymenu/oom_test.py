#!/usr/bin/env python3
"""arraymenu when memory runs out, under a limit on its address space (what `ulimit -v` sets).

  creation_does_not_fit  the largest array cannot be created: "Nedostatochno pamyati" on
                         standard error, exit status 3, nothing but the size prompt on output.
  long_values            values of 64 MiB of digits, one valid and one too large for a double,
                         under a limit far below their length: each is read in constant
                         memory as a valid or an invalid value, and only the valid one is
                         stored.
  append_does_not_fit    an array is created and listed, then the limit is lowered to what
                         the process holds at that moment: appends go on until one cannot get
                         its larger block, which is reported while the array stays as it was;
                         the listing afterwards shows the old elements and the appended ones.

Expected listings are computed here from the C library's srand/rand. Exit 0 when all holds."""
import ctypes
import os
import resource
import select
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from texts import ARRAYMENU_CHOICE_PROMPT as CHOICE, ARRAYMENU_MENU as MENU  # noqa: E402
from texts import ARRAYMENU_SIZE_PROMPT as SIZE, ARRAYMENU_VALUE_PROMPT as ZNACH  # noqa: E402
from texts import arraymenu_answer  # noqa: E402

LIST, CHANGE, APPEND, EXIT = (arraymenu_answer(action) for action in
                              ("listArray", "changeElement", "appendElement", "exit"))
ADDED = b"Znacenie dobavleno\n\n"
NO_MEMORY = b"Nedostatochno pamyati\n"


def created(n):
    libc = ctypes.CDLL("libc.so.6")
    libc.srand(0)
    values = []
    for _ in range(n):
        fraction = (libc.rand() % 1000) / 1000.0
        values.append(libc.rand() % 1000 + fraction)
    return values


def listing(values):
    return "".join("%d%10g\n" % (i + 1, v) for i, v in enumerate(values)).encode() + b"\n"


def fail(message):
    print("FAIL: " + message)
    return 1


def creation_does_not_fit(program):
    # 52428799 doubles take 400 MiB; the program itself needs a few tens of MiB at most.
    result = subprocess.run(["sh", "-c", 'ulimit -v 204800 && exec "$0"', program],
                            input=b"52428799\n" + EXIT, capture_output=True, timeout=60)
    expected = (SIZE + b"\n", NO_MEMORY, 3)
    actual = (result.stdout, result.stderr, result.returncode)
    return 0 if actual == expected else fail(f"expected {expected!r}, got {actual!r}")


def long_values(program):
    digits = 64 << 20
    script = (b"2\n" + APPEND + b"1." + b"0" * digits + b"5\n"  # reads as 1
              + CHANGE + b"1 " + b"9" * digits + b"\n"          # beyond any double: refused
              + b"2 0.25\n" + LIST)
    result = subprocess.run(["sh", "-c", 'ulimit -v 32768 && exec "$0"', program],
                            input=script, capture_output=True, timeout=120)
    expected_err = b"Error vvoda, vvedi pravilnor znachenie\nKonec vvoda\n"
    expected_tail = listing(created(2)[:1] + [0.25, 1.0]) + MENU + CHOICE + b"\n"
    if (result.returncode, result.stderr) != (2, expected_err):
        return fail(f"status {result.returncode}, standard error {result.stderr[-200:]!r}")
    if (result.stdout.count(ADDED), result.stdout.count(b"Znacenie izmeneno")) != (1, 1):
        return fail("a value was stored that was not read whole")
    if not result.stdout.endswith(expected_tail):
        return fail(f"listing {result.stdout[-200:]!r}")
    return 0


def read_until(fd, wanted, data, timeout=30.0):
    deadline = time.monotonic() + timeout
    while not data.endswith(wanted):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise TimeoutError(f"waited for {wanted!r}")
        chunk = os.read(fd, 1 << 16)
        if not chunk:
            raise TimeoutError(f"output ended before {wanted!r}")
        data += chunk
    return data


def vm_size_bytes(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmSize:"):
                return int(line.split()[1]) * 1024
    raise RuntimeError("no VmSize")


def append_does_not_fit(program):
    size = 100000  # 800 kB: a block of its own mapping, which an append must grow
    values = created(size)
    tries = 1000   # more than one page of doubles: at least one append needs a new page
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    try:
        proc.stdin.write(b"%d\n" % size + LIST)
        proc.stdin.flush()
        first = read_until(proc.stdout.fileno(), MENU + CHOICE + listing(values) + MENU + CHOICE,
                           b"")
        # From here on the process cannot map a single page more than it holds.
        resource.prlimit(proc.pid, resource.RLIMIT_AS, (vm_size_bytes(proc.pid), resource.RLIM_INFINITY))
        typed = [0.5 + i for i in range(tries)]
        script = b"".join(APPEND + b"%g\n" % v for v in typed) + LIST + EXIT
        rest, err = proc.communicate(script, timeout=60)
    finally:
        proc.kill()
        proc.wait()

    if proc.returncode != 1:
        return fail(f"exit status {proc.returncode}, stderr {err[-200:]!r}")
    appended = rest.count(ADDED)
    failed = tries - appended
    if failed == 0:
        return fail("every append found memory: the limit did not bite")
    if err != NO_MEMORY * failed:
        return fail(f"stderr: expected {failed} x {NO_MEMORY!r}, got {err[:200]!r}")
    expected = ((ZNACH + b"\n" + ADDED + MENU + CHOICE) * appended
                + (ZNACH + b"\n" + MENU + CHOICE) * failed
                + listing(values + typed[:appended]) + MENU + CHOICE)
    if rest != expected:
        return fail(f"output after the limit differs ({appended} appended, {failed} refused)")
    if not first.startswith(SIZE + b"\nMassiv sozdan\n\n"):
        return fail("creation output")
    print(f"{appended} appends fitted, {failed} refused; listing intact")
    return 0


if __name__ == "__main__":
    program, case = sys.argv[1], sys.argv[2]
    sys.exit({"creation_does_not_fit": creation_does_not_fit,
              "append_does_not_fit": append_does_not_fit,
              "long_values": long_values}[case](program))
