#!/usr/bin/env python3
"""Runs one end-to-end case: feeds <case>.in to the program through a pipe and compares
standard output, standard error and the exit status with the case's files, byte for byte.

  <case>.in          bytes for standard input (required)
  <case>.out         exact standard output
  <case>.out.glob    or: standard output line by line against shell patterns (fnmatch)
  <case>.err         exact standard error (missing: empty)
  <case>.status      exit status (missing: 0)
  <case>.merged      optional: both streams through one pipe, exact, to check their order

Exit status 0 when everything matches, 1 otherwise, with a unified diff of each stream.
"""
import difflib
import fnmatch
import os
import subprocess
import sys

TIMEOUT = float(os.environ.get("E2E_TIMEOUT", "30"))


def read(path, default=None):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return default


def diff(name, expected, actual):
    lines = difflib.unified_diff(
        expected.decode("latin-1").splitlines(keepends=True),
        actual.decode("latin-1").splitlines(keepends=True),
        fromfile=f"expected {name}", tofile=f"actual {name}")
    text = "".join(line if line.endswith("\n") else line + "\\ no line end\n" for line in lines)
    return text or f"{name}: same lines, different bytes\n{expected!r}\n{actual!r}\n"


def glob_matches(pattern, actual):
    want = pattern.decode("latin-1").split("\n")
    got = actual.decode("latin-1").split("\n")
    return len(want) == len(got) and all(fnmatch.fnmatchcase(g, w) for w, g in zip(want, got))


def run(program, stdin_bytes, merged=False):
    result = subprocess.run([program], input=stdin_bytes, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT if merged else subprocess.PIPE,
                            timeout=TIMEOUT)
    return result.stdout, result.stderr or b"", result.returncode


def main():
    program, case = sys.argv[1], sys.argv[2]
    stdin_bytes = read(case + ".in")
    try:
        out, err, status = run(program, stdin_bytes)
    except subprocess.TimeoutExpired:
        print(f"FAIL: no exit within {TIMEOUT} s (hang)")
        return 1

    failures = []
    expected_out = read(case + ".out")
    if expected_out is not None:
        if out != expected_out:
            failures.append(diff("stdout", expected_out, out))
    else:
        pattern = read(case + ".out.glob")
        if pattern is None:
            failures.append("case has neither .out nor .out.glob\n")
        elif not glob_matches(pattern, out):
            failures.append(diff("stdout (against the pattern)", pattern, out))
    expected_err = read(case + ".err", b"")
    if err != expected_err:
        failures.append(diff("stderr", expected_err, err))
    expected_status = int(read(case + ".status", b"0").decode().strip())
    if status != expected_status:
        failures.append(f"exit status: expected {expected_status}, got {status}\n")

    expected_merged = read(case + ".merged")
    if expected_merged is not None:
        merged, _, _ = run(program, stdin_bytes, merged=True)
        if merged != expected_merged:
            failures.append(diff("stdout+stderr", expected_merged, merged))

    for failure in failures:
        sys.stdout.write(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
