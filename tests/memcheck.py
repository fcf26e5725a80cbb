#!/usr/bin/env python3
"""One scripted session of a program under valgrind's memcheck: the session must end with its
usual status, with no memory error and no block definitely or indirectly lost, and must need its
whole input (without its last line the program, run plainly, ends otherwise), so that a menu
numbered anew cannot make it stop early unnoticed. A session that ends early on purpose has a
<session>.unused beside its input, `COUNT WHY`, as an end-to-end case does; then the program
must end otherwise without the last COUNT + 1 lines.
  memcheck.py <program> <input file> <expected status>
Prints valgrind's summary lines either way."""
import re
import subprocess
import sys
import tempfile

from run_e2e import input_lines, read


def plain_run(program, stdin):
    result = subprocess.run([program], input=stdin, capture_output=True, timeout=60)
    return result.stdout, result.stderr, result.returncode


def main():
    program, input_path, expected = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with open(input_path, "rb") as f:
        stdin = f.read()
    lines = input_lines(stdin)
    marker = read(input_path[:-len(".in")] + ".unused")
    unused = int(marker.split(maxsplit=1)[0]) if marker else 0
    with tempfile.NamedTemporaryFile("r") as log:
        result = subprocess.run(
            ["valgrind", "--tool=memcheck", "--leak-check=full",
             "--errors-for-leak-kinds=definite,indirect", "--error-exitcode=99",
             f"--log-file={log.name}", program],
            input=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        text = log.read()
    summary = [line.split("== ", 1)[-1] for line in text.splitlines()
               if re.search(r"ERROR SUMMARY|definitely lost|indirectly lost|in use at exit|"
                            r"All heap blocks", line)]
    print("\n".join(summary))
    errors = re.search(r"ERROR SUMMARY: (\d+) errors", text)
    # No summary: valgrind stopped before the program did (on debug information that it cannot
    # read, for one) and checked nothing.
    if errors is None:
        failure = "valgrind gave up before the session ended"
    elif errors.group(1) != "0":
        failure = f"valgrind found {errors.group(1)} errors"
    elif result.returncode != expected:
        failure = f"status {result.returncode}, expected {expected}"
    elif plain_run(program, b"".join(lines[:-1 - unused])) == plain_run(program, stdin):
        failure = (f"the session ends the same without its lines from {len(lines) - unused} "
                   f"({lines[-1 - unused]!r}) on: the program stops reading before them")
    else:
        return 0
    print(f"FAIL: {failure}")
    print(text[-4000:])
    return 1


if __name__ == "__main__":
    sys.exit(main())
