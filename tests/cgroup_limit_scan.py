#!/usr/bin/env python3
"""A program in a real memory cgroup, at every size of a band around the largest block its limit
can hold: each run must be refused ("Nedostatochno pamyati", status 3) or complete, never be
killed by the kernel.

  cgroup_limit_scan.py arraymenu PROGRAM   arrays of 32,700,000 to 33,500,000 elements, 20,000
                                           apart, under 256 MiB, each created, listed to
                                           /dev/null, and left
  cgroup_limit_scan.py gridstat PROGRAM    matrices of 1900 to 2048 rows, 4 apart, of 32,768
                                           columns (rows of 128 KiB, which the allocator maps
                                           as whole pages) and 6500 to 6750 rows, 10 apart, of
                                           10,000, under 256 MiB
  cgroup_limit_scan.py page_cache PROGRAM  arraymenu in a cgroup of 1 GiB that has written and
                                           read an 800 MB file: 40,000,000 elements are created;
                                           and arrays of 31,900,000 to 32,400,000 elements,
                                           100,000 apart, under 256 MiB, each just after the
                                           cgroup wrote and read a 200 MB file

The cgroup is a new child of the process's own memory cgroup (cgroup v1 under
/sys/fs/cgroup/memory, v2 under /sys/fs/cgroup), removed afterwards; no other cgroup is touched.
Each size and its status are printed. Needs root and a memory cgroup that can have children:
otherwise exit 77 with the reason."""
import contextlib
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from texts import arraymenu_answer  # noqa: E402

SKIPPED = 77
MiB = 1 << 20
NO_MEMORY = b"Nedostatochno pamyati\n"
KILLED = -9


def own_memory_cgroup():
    """(folder of the process's memory cgroup, name of its limit file), or a reason it has
    none."""
    with open("/proc/self/cgroup") as f:
        lines = [line.rstrip("\n").split(":", 2) for line in f]
    for _, controllers, path in lines:
        if "memory" in controllers.split(","):
            return "/sys/fs/cgroup/memory" + path.rstrip("/"), "memory.limit_in_bytes"
    for number, controllers, path in lines:
        if number == "0" and controllers == "":
            folder = "/sys/fs/cgroup" + path.rstrip("/")
            if os.path.exists(folder + "/memory.max") or path == "/":
                return folder, "memory.max"
    return "no memory cgroup in /proc/self/cgroup", None


class NoCgroup(Exception):
    """The child cgroup cannot be made here; the message says why."""


@contextlib.contextmanager
def child_cgroup(limit_bytes):
    """A new child of the own memory cgroup with the limit; yields its folder, or raises
    NoCgroup."""
    parent, limit_file = own_memory_cgroup()
    if limit_file is None:
        raise NoCgroup(parent)
    folder = os.path.join(parent, f"limit-scan-{os.getpid()}")
    try:
        os.mkdir(folder)
    except OSError as error:
        raise NoCgroup(error) from error
    try:
        try:
            with open(os.path.join(folder, limit_file), "w") as f:
                f.write(str(limit_bytes))
        except OSError as error:
            raise NoCgroup(error) from error
        yield folder
    finally:
        os.rmdir(folder)


def run_in(folder, command, stdin_bytes):
    """Runs `command` inside the cgroup at `folder`; returns its status and standard error."""
    def enter():
        with open(os.path.join(folder, "cgroup.procs"), "w") as f:
            f.write(str(os.getpid()))
    result = subprocess.run(command, input=stdin_bytes, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, preexec_fn=enter, timeout=300)
    return result.returncode, result.stderr


def arraymenu_input(size):
    return b"%d\n" % size + arraymenu_answer("listArray") + arraymenu_answer("exit")


def scan(folder, program, sizes, stdin_for, done_status):
    """Runs each size; returns the lines of the record and the failures."""
    record, failures, statuses = [], [], set()
    for size in sizes:
        status, err = run_in(folder, [program], stdin_for(size))
        statuses.add(status)
        record.append(f"{size}: {'killed' if status == KILLED else status}")
        refused = status == 3 and err == NO_MEMORY
        if not (refused or (status == done_status and err == b"")):
            failures.append(f"{size}: status {status}, standard error {err[-80:]!r}")
    # The band must straddle the bound, or it tests nothing.
    if not ({3, done_status} <= statuses):
        failures.append(f"the band did not reach both sides of the bound: {sorted(statuses)}")
    return record, failures


def arraymenu_scan(program):
    with child_cgroup(256 * MiB) as folder:
        return scan(folder, program, range(32_700_000, 33_500_001, 20_000), arraymenu_input, 1)


def gridstat_scan(program):
    def matrix(columns):
        return lambda rows: b"%d %d\nk\n" % (rows, columns)
    with child_cgroup(256 * MiB) as folder:
        wide = scan(folder, program, range(1900, 2051, 4), matrix(32768), 0)
        narrow = scan(folder, program, range(6500, 6751, 10), matrix(10000), 0)
    return wide[0] + narrow[0], wide[1] + narrow[1]


def fill_cache(folder, path, megabytes):
    """Writes a file of `megabytes` MB from inside the cgroup and reads it back; returns the
    failure, or None."""
    write = ["dd", "if=/dev/zero", f"of={path}", "bs=1000000", f"count={megabytes}",
             "status=none"]
    read = ["dd", f"if={path}", "of=/dev/null", "bs=1000000", "status=none"]
    for command in (write, read):
        status, err = run_in(folder, command, b"")
        if status != 0:
            return f"{command[0]} failed: {err!r}"
    return None


def inactive_file(folder):
    with open(os.path.join(folder, "memory.stat")) as f:
        stat = dict(line.split() for line in f)
    return int(stat.get("total_inactive_file", stat.get("inactive_file", 0)))


def page_cache_case(program):
    record, failures = [], []
    with tempfile.TemporaryDirectory(dir="/var/tmp") as temp:
        path = os.path.join(temp, "cache")
        with child_cgroup(1024 * MiB) as folder:
            failure = fill_cache(folder, path, 800)
            if failure:
                return [], [failure]
            record.append(f"1 GiB, after an 800 MB file, inactive_file {inactive_file(folder)}")
            status, err = run_in(folder, [program], b"40000000\n" + arraymenu_answer("exit"))
            record.append(f"40000000: {'killed' if status == KILLED else status}")
            if (status, err) != (1, b""):
                failures.append(f"40000000: status {status}, {err[-80:]!r}")
        # Near the bound of 256 MiB the kernel must take back fresh, still dirty cache as the
        # array is filled.
        with child_cgroup(256 * MiB) as folder:
            def after_a_file(size):
                failure = fill_cache(folder, path, 200)
                if failure:
                    failures.append(failure)
                return arraymenu_input(size)
            band = scan(folder, program, range(31_900_000, 32_400_001, 100_000), after_a_file, 1)
            record += ["256 MiB, each after a 200 MB file:"] + band[0]
            failures += band[1]
    return record, failures


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("arraymenu", "gridstat", "page_cache"):
        sys.stderr.write(__doc__)
        return 2
    if os.geteuid() != 0:
        print("SKIP: needs root to make a memory cgroup")
        return SKIPPED
    which = {"arraymenu": arraymenu_scan, "gridstat": gridstat_scan,
             "page_cache": page_cache_case}[sys.argv[1]]
    try:
        record, failures = which(sys.argv[2])
    except NoCgroup as error:
        print(f"SKIP: cannot make a child memory cgroup here: {error}")
        return SKIPPED
    print("\n".join(record))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
