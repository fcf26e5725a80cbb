#!/usr/bin/env python3
"""The end-to-end runner's own checks, on datemenu: a case whose input goes on after Exit fails
and names the last line read, unless its .unused counts exactly those lines; --renumber refuses
a mapping whose new number already answers the choice prompt, and writes nothing.
  run_e2e_test.py DATEMENU
Exit 0 when all checks pass."""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

from live import check, finish
from texts import DATEMENU_CHOICE_PROMPT, DATEMENU_NO_ITEM, datemenu_answer

HERE = pathlib.Path(__file__).resolve().parent
RUNNER = [sys.executable, str(HERE / "run_e2e.py")]


def runner(*arguments):
    result = subprocess.run(RUNNER + [str(argument) for argument in arguments],
                            capture_output=True, timeout=120)
    return result.returncode, result.stdout.decode(errors="replace")


def input_after_exit(program, folder):
    """print_date's case with two lines typed after its Exit."""
    case = folder / "print_date"
    for path in (HERE / "e2e" / "datemenu").glob("print_date.*"):
        shutil.copy(path, folder)
    lines = case.with_suffix(".in").read_bytes().count(b"\n")
    with open(case.with_suffix(".in"), "ab") as f:
        f.write(b"4\n" + datemenu_answer("exit"))
    status, text = runner(program, case)
    check("two lines after Exit fail the case", status == 1, text)
    check("the failure names the last line read", f"stops reading at line {lines} " in text, text)
    for count, wanted in ((2, 0), (1, 1), (3, 1)):
        case.with_suffix(".unused").write_text(f"{count} typed ahead\n")
        status, text = runner(program, case)
        check(f".unused counting {count} of the 2 lines: status {wanted}", status == wanted, text)


def renumbering_refused(program, folder):
    """Moving Exit to the number that is rejected now would turn that rejection into Exit."""
    session = folder / "session.in"
    exit_answer = datemenu_answer("exit")
    original = b"01.01.2011\n" + DATEMENU_NO_ITEM + exit_answer
    session.write_bytes(original)
    mapping = f"{exit_answer.decode().strip()}={DATEMENU_NO_ITEM.decode().strip()}"
    status, text = runner("--renumber", program, DATEMENU_CHOICE_PROMPT.decode(), mapping, session)
    check("--renumber refuses", status == 1 and "line 2 answers with" in text, text)
    check("--renumber refusing writes nothing", session.read_bytes() == original)
    past = int(DATEMENU_NO_ITEM) + 1
    status, text = runner("--renumber", program, DATEMENU_CHOICE_PROMPT.decode(),
                          f"{mapping},{DATEMENU_NO_ITEM.decode().strip()}={past}", session)
    check("--renumber moving the rejected choice too", status == 0, text)
    check("both choices moved", session.read_bytes() == b"01.01.2011\n%d\n%s" % (
        past, DATEMENU_NO_ITEM), repr(session.read_bytes()))


def main():
    program = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="e2e-runner-") as folder:
        input_after_exit(program, pathlib.Path(folder))
        renumbering_refused(program, pathlib.Path(folder))
    return finish()


if __name__ == "__main__":
    sys.exit(main())
