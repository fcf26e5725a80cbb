#!/usr/bin/env python3
"""Checks the examples of a page against the programs: README.md's example lines and the
EXAMPLES of a manual page. Every example is `printf 'INPUT' | PROGRAM`, and its input is that of
an end-to-end case in tests/e2e/PROGRAM/ (one that gives the program no arguments, no
redirection, no limit and no machine of its own), which holds what the example prints: that case
must pass, and what the page says the example shows must agree with it. So a change to what an
example prints, or to its exit status, fails here as well as in the case.

  run_examples.py BIN_DIR PAGE      PAGE is README.md or man/PROGRAM.1

What a page says of an example:
  README.md   the example's line ends with a comment: the output lines it shows, each in double
              quotes, and "status N": printf '3\\n1\\n5\\n' | arraymenu  # "3    ...", status 1
  man page    in EXAMPLES, a paragraph that says "status N", then a block (.nf to .fi) whose
              first line is the command and whose further lines are lines of its output
A line shown must be a whole line of the case's standard output or error, in the order shown;
against a pattern (.out.glob) it must match the pattern's line.

A manual page's quoted messages (`.RB \(lq "TEXT" \(rq`) must stand in what the program's
end-to-end cases expect it to write (.out, .err, .merged, .out.glob): the transcripts are
rewritten from the program, so a message changed there and not in its page fails here.

Exit status 0 when every example and message holds, 1 otherwise.
"""
import fnmatch
import os
import re
import subprocess
import sys

import run_e2e

PROGRAMS = ("datemenu", "arraymenu", "gridstat")
E2E = os.path.join(os.path.dirname(os.path.abspath(__file__)), "e2e")
COMMAND = re.compile(r"^(printf '[^']*') \| (" + "|".join(PROGRAMS) + r")$")


class Example:
    def __init__(self, where, command, shown, status):
        self.where, self.command, self.shown, self.status = where, command, shown, status


def readme_examples(text):
    """Example lines of README.md: in ```sh blocks, a command with a comment after it."""
    examples, in_block = [], False
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("```"):
            in_block = line.strip() == "```sh"
            continue
        if not in_block or not any(f"| {program}" in line for program in PROGRAMS):
            continue
        command, _, comment = line.partition("#")
        status = re.search(r"\bstatus (\d+)", comment)
        examples.append(Example(f"README.md:{number}", command.strip(),
                                re.findall(r'"([^"]*)"', comment),
                                int(status.group(1)) if status else None))
    return examples


def unescape(roff):
    """The text of a roff line as it reads: the escapes the pages use in examples."""
    for escape, text in ((r"\(aq", "'"), (r"\(dq", '"'), (r"\e", "\\"), (r"\-", "-"),
                         (r"\&", ""), (r"\ ", " ")):
        roff = roff.replace(escape, text)
    return roff


def man_examples(text):
    """Examples of a manual page's EXAMPLES section: a paragraph, then a block."""
    section = text.split("\n.SH EXAMPLES\n", 1)[1].split("\n.SH ", 1)[0]
    examples, paragraph, block = [], [], None
    for line in section.splitlines():
        if line == ".nf":
            block = []
        elif line == ".fi":
            status = re.search(r"\bstatus (\d+)", " ".join(paragraph))
            examples.append(Example(f"EXAMPLES, at {paragraph[-1][:50]!r}",
                                    block[0], block[1:],
                                    int(status.group(1)) if status else None))
            block, paragraph = None, []
        elif block is not None:
            block.append(unescape(line))
        elif not line.startswith((".PP", ".RS", ".RE")):
            paragraph.append(unescape(re.sub(r"^\.B[IR]? ", "", line)))
    return examples


def unwritten_messages(page, text):
    """The messages a manual page quotes that no end-to-end case of its program writes."""
    program = os.path.basename(page)[:-len(".1")]
    written = "".join(
        run_e2e.read(os.path.join(E2E, program, name)).decode("latin-1")
        for name in sorted(os.listdir(os.path.join(E2E, program)))
        if name.endswith((".out", ".err", ".merged", ".out.glob")))
    quoted = [unescape(roff) for roff in
              re.findall(r'^\.RB \\\(lq "((?:[^"\\]|\\.)*)"', text, re.M)]
    if not quoted:
        return ["no quoted messages found"]
    return [f"the page quotes {message!r}, which no case of {program} writes"
            for message in quoted if message not in written]


def input_bytes(printf):
    return subprocess.run(["sh", "-c", printf], stdout=subprocess.PIPE, check=True).stdout


def cases_with_input(program, stdin_bytes):
    """The end-to-end cases of `program` that run it plainly on `stdin_bytes`."""
    folder = os.path.join(E2E, program)
    cases = []
    for name in sorted(os.listdir(folder)):
        case = os.path.join(folder, name[:-len(".in")])
        if (name.endswith(".in") and run_e2e.read(case + ".in") == stdin_bytes
                and not any(os.path.exists(case + extra)
                            for extra in (".args", ".redirect", ".vlimit", ".fake"))):
            cases.append(case)
    return cases


def shown_in_order(shown, lines, match):
    """True when every line of `shown` matches a line of `lines`, in that order."""
    position = 0
    for wanted in shown:
        while position < len(lines) and not match(lines[position], wanted):
            position += 1
        if position == len(lines):
            return False
        position += 1
    return True


def check_against_case(example, case):
    failures = []
    out = run_e2e.read(case + ".out")
    if out is not None:
        lines, match = out.decode().split("\n"), str.__eq__
    else:
        lines = run_e2e.read(case + ".out.glob", b"").decode().split("\n")
        match = fnmatch.fnmatchcase
    lines += run_e2e.read(case + ".err", b"").decode().split("\n")
    if not shown_in_order(example.shown, lines, lambda line, wanted: match(wanted, line)):
        failures.append(f"the lines shown are not the output of {case}: {example.shown}")
    status = int(run_e2e.read(case + ".status", b"0").decode())
    if example.status != status:
        failures.append(f"the page says status {example.status}, {case} ends with {status}")
    return failures


def check(bin_dir, example):
    """The failures of one example."""
    matched = COMMAND.match(example.command)
    if not matched:
        return [f"not an example of the form printf '...' | PROGRAM: {example.command!r}"]
    if example.status is None:
        return ["the page does not say the exit status"]
    printf, program = matched.groups()
    cases = cases_with_input(program, input_bytes(printf))
    if not cases:
        return [f"no end-to-end case of {program} has this input: add one to tests/e2e/"
                f"{program}/ and write its expectations with run_e2e.py --update"]
    failures = []
    for case in cases:
        failures += check_against_case(example, case)
        failures += [f"{case}: {failure}" for failure in
                     run_e2e.check_case(os.path.join(bin_dir, program), case)]
    return failures


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    bin_dir, page = sys.argv[1:]
    with open(page, encoding="utf-8") as f:
        text = f.read()
    examples = readme_examples(text) if page.endswith(".md") else man_examples(text)
    if not examples:
        print(f"FAIL: no examples found in {page}")
        return 1
    failed = 0
    for example in examples:
        failures = check(bin_dir, example)
        failed += bool(failures)
        for failure in failures:
            print(f"FAIL: {page}, {example.where}: {failure}")
    print(f"{len(examples) - failed} of {len(examples)} examples in {page} hold")
    unwritten = [] if page.endswith(".md") else unwritten_messages(page, text)
    for failure in unwritten:
        print(f"FAIL: {page}: {failure}")
    return 1 if failed or unwritten else 0


if __name__ == "__main__":
    sys.exit(main())
