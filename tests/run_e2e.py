#!/usr/bin/env python3
"""Runs one end-to-end case: feeds <case>.in to the program through a pipe and compares
standard output, standard error and the exit status with the case's files, byte for byte.

  run_e2e.py PROGRAM CASE                 check the case (what ctest runs)
  run_e2e.py --update PROGRAM CASE...     rewrite the cases' .out, .err, .status and .merged
                                          from the program, then check each case
  run_e2e.py --renumber PROGRAM PROMPT OLD=NEW[,OLD=NEW...] INPUT...
                                          rewrite the menu choices in the inputs (cases,
                                          memcheck sessions, fuzz seeds)

CASE is the path of the case without extension (tests/e2e/datemenu/add_dates); with --update
a path ending in .in is taken as well, so that a shell pattern can name the cases.

  <case>.in          bytes for standard input (required)
  <case>.out         exact standard output
  <case>.out.glob    or: standard output line by line against shell patterns (fnmatch)
  <case>.err         exact standard error (missing: empty)
  <case>.status      exit status (missing: 0)
  <case>.merged      optional: both streams through one pipe, exact, to check their order
  <case>.vlimit      optional: the program's address-space limit in KiB (as `ulimit -v`)
  <case>.args        optional: the program's arguments, one per line
  <case>.redirect    optional: lines `stdin PATH`, `stdin closed` or `stdout PATH`: that stream
                     is the file PATH (a directory, /dev/full) or closed instead of a pipe; a
                     redirected standard input needs an empty .in, a redirected standard
                     output is not compared (the case has no .out)
  <case>.fake        optional: lines `PATH TEXT`, each adding the line TEXT to the file PATH as
                     the program sees it. The program runs as root in a private mount and
                     cgroup namespace (`unshare -m -C`) over an empty tmpfs at /sys/fs/cgroup,
                     which holds the fake files under it; any other fake file is bound over
                     its path there. The machine's own files are never touched. Without root
                     or namespaces the case is skipped (exit 77) with the reason.
  <case>.unused      optional: `COUNT WHY` for a case that ends early on purpose: it passes
                     without the input's last COUNT lines, and WHY says why (--help reads
                     nothing, an error ends the program first, text typed ahead is left for
                     what runs next, blank lines are skipped without a word)
  <case>.recompute   optional, empty: also check the random output with the program's own
                     recompute.py in the case's folder, run with python3 as `recompute.py
                     <started> <ended>` (wall-clock seconds around the run) with the standard
                     output on its standard input; exit 0 = pass, else its output is the failure

Every case whose input has line ends runs twice: as it is, and with each line end written as
CRLF, which must give the same results.

A case must need its whole input: when it still passes with its input's last line left out, the
program has stopped reading before it (or reads it without a sign the case could see), and the
case fails naming the last line that counts. A case that ends early on purpose gives the exact
count of lines it passes without in its .unused, and fails as well when it needs more or fewer.
The programs read their input in blocks, so no file offset says how far they read; leaving
lines out asks exactly what the case can tell.

Exit status 0 when everything matches, 1 otherwise, with a unified diff of each stream.

--update runs the program once on each case's input as it is and writes what it gave: .out
(not when the case has a hand-written .out.glob or redirects standard output), .err and
.status (created only when not empty and not 0), and .merged when the case has one. Then it
checks the case as usual, CRLF run and recomputation included, and reports what still fails.
Every rewritten expectation must be read in `git diff` before it is committed.

--renumber is for a menu whose items are numbered anew (an item added before Exit, say). Run it
with the program as it was before the change: for each line of a case's input it runs the
program on the input before that line, and when the program then waits at PROMPT (its output
ends with PROMPT and the line end written at end of input), the line answers that prompt and its
first word, if it is an OLD number, becomes the NEW one. An INPUT is a case (its .in), any other
input file with a .in (a memcheck session), or a fuzz seed (a file with no .in, whose leading
fault, when it has one, is kept). It refuses, writing nothing, when an input answers PROMPT with
a NEW number that is no OLD one: after the change that answer would choose another item (a
rejected 7 become Exit). Then change the program and --update the expectations.
"""
import contextlib
import difflib
import fnmatch
import operator
import os
import re
import resource
import shutil
import subprocess
import sys
import tempfile
import time

TIMEOUT = float(os.environ.get("E2E_TIMEOUT", "30"))
SKIPPED = 77

# Run in the private namespaces with `FAKE_SCRIPT PATH COPY ... -- PROGRAM ARGS`: the fake
# files go in place, then the program replaces the shell.
FAKE_SCRIPT = r"""set -e
mount -t tmpfs fake-cgroups /sys/fs/cgroup
while [ "$1" != -- ]; do
  case "$1" in
  /sys/fs/cgroup/*) mkdir -p "${1%/*}" && cp "$2" "$1" ;;
  *) mount --bind "$2" "$1" ;;
  esac
  shift 2
done
shift
exec "$@"
"""


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


def address_limit(kib):
    """A function that limits the address space of the child it runs in, or None."""
    if kib is None:
        return None
    limit = int(kib.decode().strip()) * 1024
    return lambda: resource.setrlimit(resource.RLIMIT_AS, (limit, limit))


def redirections(text):
    """{stream: path or None for closed} from the lines of a .redirect file."""
    streams = {}
    for line in (text or b"").decode().splitlines():
        stream, target = line.split(maxsplit=1)
        assert stream in ("stdin", "stdout"), line
        streams[stream] = None if target == "closed" else target
    return streams


def child_setup(vlimit, streams):
    """What the child runs before the program: its memory limit and the streams it redirects."""
    limit = address_limit(vlimit)

    def setup():
        if limit:
            limit()
        for stream, path in streams.items():
            fd = 0 if stream == "stdin" else 1
            if path is None:
                os.close(fd)
            else:
                os.dup2(os.open(path, os.O_RDONLY if fd == 0 else os.O_WRONLY), fd)
    return setup


def run(command, stdin_bytes, merged=False, vlimit=None, streams=None):
    streams = streams or {}
    result = subprocess.run(command, input=stdin_bytes, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT if merged else subprocess.PIPE,
                            timeout=TIMEOUT, preexec_fn=child_setup(vlimit, streams))
    return result.stdout, result.stderr or b"", result.returncode


def recompute(case, out, started, ended):
    """Runs the folder's recompute.py on the output when the case has a .recompute marker;
    returns a failure text or None."""
    if not os.path.exists(case + ".recompute"):
        return None
    script = os.path.join(os.path.dirname(case), "recompute.py")
    if not os.path.exists(script):
        return f"the case asks for {script}, which does not exist\n"
    result = subprocess.run([sys.executable, script, repr(started), repr(ended)], input=out,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=TIMEOUT)
    if result.returncode == 0:
        return None
    return f"recompute.py failed:\n{result.stdout.decode('latin-1')}\n"


def check_run(case, command, stdin_bytes, vlimit, streams):
    """Runs the program once on `stdin_bytes` and returns the failures against the case."""
    started = time.time()
    try:
        out, err, status = run(command, stdin_bytes, vlimit=vlimit, streams=streams)
        ended = time.time()
    except subprocess.TimeoutExpired:
        return [f"no exit within {TIMEOUT} s (hang)\n"]

    failures = []
    expected_out = read(case + ".out")
    if "stdout" in streams:
        if expected_out is not None or out:
            failures.append("standard output is redirected: the case has no .out\n")
    elif expected_out is not None:
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

    checked = recompute(case, out, started, ended)
    if checked is not None:
        failures.append(checked)

    expected_merged = read(case + ".merged")
    if expected_merged is not None:
        merged, _, _ = run(command, stdin_bytes, merged=True, vlimit=vlimit, streams=streams)
        if merged != expected_merged:
            failures.append(diff("stdout+stderr", expected_merged, merged))
    return failures


def input_lines(stdin_bytes):
    """The input's lines, each with its line end; the last one may have none."""
    return re.findall(rb"[^\n]*\n|[^\n]+\Z", stdin_bytes)


def unused_failures(case, command, stdin_bytes, vlimit, streams):
    """Fails the case when it passes without more of its input's last lines than its .unused
    counts (none without one): the program then stops reading before the end of its input."""
    lines = input_lines(stdin_bytes)
    marker = read(case + ".unused")
    left = int(marker.split(maxsplit=1)[0]) if marker else 0
    if left > len(lines):
        return [f"{case}.unused counts {left} lines, but the input has {len(lines)}\n"]
    kept = len(lines) - left
    if left and check_run(case, command, b"".join(lines[:kept]), vlimit, streams):
        return [f"{case}.unused counts the last {left} lines unused, but the case fails without "
                f"them: the program reads further now\n"]
    last = kept  # the number of the last line the program reads
    while last > 0 and not check_run(case, command, b"".join(lines[:last - 1]), vlimit, streams):
        last -= 1
    if last == kept:
        return []
    stop = f"at line {last} ({lines[last - 1]!r})" if last else "before its first line"
    return [f"the program stops reading {stop} of {len(lines)}: the case passes without lines "
            f"{last + 1} to {len(lines)} (line {last + 1}: {lines[last]!r}); a case that ends "
            f"early on purpose says so in its .unused: `{len(lines) - last} WHY`\n"]


def fake_files(text):
    """{path: contents} from the lines of a .fake file."""
    files = {}
    for line in text.decode().splitlines():
        path, _, contents = line.partition(" ")
        assert path.startswith("/"), line
        files[path] = files.get(path, "") + contents + "\n"
    return files


def namespaces_missing():
    """Why the program cannot run in private namespaces here, or None when it can."""
    if os.geteuid() != 0:
        return "needs root for a private mount namespace"
    if shutil.which("unshare") is None:
        return "needs unshare (util-linux)"
    tried = subprocess.run(["unshare", "-m", "-C", "--propagation", "private", "mount", "-t",
                            "tmpfs", "probe", "/sys/fs/cgroup"], capture_output=True,
                           timeout=TIMEOUT)
    if tried.returncode != 0:
        return ("no tmpfs at /sys/fs/cgroup in a private namespace: "
                + tried.stderr.decode(errors="replace").strip())
    return None


@contextlib.contextmanager
def on_fake_machine(command, fake):
    """The command that runs `command` over the files of a .fake text, or `command` itself."""
    if fake is None:
        yield command
        return
    with tempfile.TemporaryDirectory(prefix="e2e-fake-") as folder:
        arguments = []
        for number, (path, contents) in enumerate(fake_files(fake).items()):
            copy = os.path.join(folder, str(number))
            with open(copy, "w") as f:
                f.write(contents)
            arguments += [path, copy]
        yield (["unshare", "-m", "-C", "--propagation", "private", "sh", "-c", FAKE_SCRIPT, "sh"]
               + arguments + ["--"] + command)


def load(program, case):
    """The case's input, command, address-space limit and redirections."""
    stdin_bytes = read(case + ".in")
    command = [program] + read(case + ".args", b"").decode().splitlines()
    return stdin_bytes, command, read(case + ".vlimit"), redirections(read(case + ".redirect"))


def skip_reason(case):
    """Why the case cannot run here, or None."""
    return namespaces_missing() if os.path.exists(case + ".fake") else None


def check_case(program, case):
    """Runs the case as it is and, when its input has line ends, with CRLF ones; returns the
    failures."""
    stdin_bytes, command, vlimit, streams = load(program, case)
    if "stdin" in streams and stdin_bytes:
        return ["FAIL: the case redirects standard input but its .in is not empty\n"]

    with on_fake_machine(command, read(case + ".fake")) as command:
        failures = check_run(case, command, stdin_bytes, vlimit, streams)
        # A script saved with CRLF line ends must run exactly as with LF ones.
        if b"\n" in stdin_bytes and b"\r" not in stdin_bytes and not failures:
            crlf = stdin_bytes.replace(b"\n", b"\r\n")
            failures = [f"with CRLF line ends: {failure}"
                        for failure in check_run(case, command, crlf, vlimit, streams)]
        if not failures:
            failures = unused_failures(case, command, stdin_bytes, vlimit, streams)
    return failures


def write_expectation(path, actual, default, same=operator.eq):
    """Writes `actual` to `path` unless the file already says the same, or is missing and
    `actual` is what a missing file means; returns what it did, or None."""
    old = read(path)
    if (old is not None and same(old, actual)) or (old is None and actual == default):
        return None
    with open(path, "wb") as f:
        f.write(actual)
    return ("rewrote " if old is not None else "wrote ") + os.path.basename(path)


def update_case(program, case):
    """Rewrites the case's exact expectations from one run of the program on its input as it
    is; returns what it did and what went wrong, as lines."""
    stdin_bytes, command, vlimit, streams = load(program, case)
    if stdin_bytes is None:
        return [], [f"{case}.in does not exist"]
    if "stdin" in streams and stdin_bytes:
        return [], ["the case redirects standard input but its .in is not empty"]
    reason = skip_reason(case)
    if reason:
        return [], [f"skipped: {reason}"]
    try:
        with on_fake_machine(command, read(case + ".fake")) as command:
            out, err, status = run(command, stdin_bytes, vlimit=vlimit, streams=streams)
            merged = None
            if os.path.exists(case + ".merged"):
                merged, _, _ = run(command, stdin_bytes, merged=True, vlimit=vlimit,
                                   streams=streams)
    except subprocess.TimeoutExpired:
        return [], [f"no exit within {TIMEOUT} s (hang): nothing rewritten"]

    done = []
    if os.path.exists(case + ".out.glob"):
        done.append("left .out.glob as it is (its patterns are written by hand)")
    elif "stdout" not in streams:
        done.append(write_expectation(case + ".out", out, None))
    done.append(write_expectation(case + ".err", err, b""))
    done.append(write_expectation(case + ".status", b"%d\n" % status, b"0\n",
                                  lambda old, new: int(old.decode().strip()) == int(new)))
    if merged is not None:
        done.append(write_expectation(case + ".merged", merged, None))
    return [line for line in done if line], []


def update(program, cases):
    """The --update mode: rewrites and then checks each case; 0 when all pass afterwards."""
    failed = 0
    for case in cases:
        case = case[:-len(".in")] if case.endswith(".in") else case
        done, problems = update_case(program, case)
        print(f"{case}: {', '.join(done) or 'unchanged'}")
        problems = problems or check_case(program, case)
        if problems:
            failed += 1
            print("  still failing:")
            for problem in problems:
                sys.stdout.write("".join(f"    {line}\n" for line in problem.splitlines()))
    print(f"{len(cases) - failed} of {len(cases)} cases pass; read every change in `git diff`")
    return 1 if failed else 0


def renumber_input(program, path):
    """What --renumber reads at `path`: (file, bytes kept before the input, input, command,
    address-space limit, fake files), or a text saying why it leaves the path alone. A path
    ending in .in, or naming a case, is a case's input (its arguments and the rest apply); any
    other file is a fuzz seed, whose input follows the fault it asks for when it starts with
    0xFF (the byte, r or w, an offset in two bytes)."""
    if path.endswith(".in") or os.path.exists(path + ".in"):
        case = path[:-len(".in")] if path.endswith(".in") else path
        stdin_bytes, command, vlimit, streams = load(program, case)
        if stdin_bytes is None or streams:
            return "left alone (no input, or a redirected stream)"
        reason = skip_reason(case)
        if reason:
            return f"left alone ({reason})"
        return case + ".in", b"", stdin_bytes, command, vlimit, read(case + ".fake")
    data = read(path)
    if data is None:
        return "left alone (no such file)"
    kept = data[:4] if data.startswith(b"\xff") else b""
    return path, kept, data[len(kept):], [program], None, None


def answers_at(program, prompt, source):
    """The input's lines and, for each line answering `prompt`, its index and its words split
    as (blanks, first word, rest)."""
    _, _, stdin_bytes, command, vlimit, fake = source
    lines = input_lines(stdin_bytes)
    found = []
    with on_fake_machine(command, fake) as command:
        for i, line in enumerate(lines):
            out, _, _ = run(command, b"".join(lines[:i]), vlimit=vlimit)
            answer = re.match(rb"(\s*)(\S+)(.*)", line, re.S)
            if out.endswith(prompt + b"\n") and answer:
                found.append((i, answer.groups()))
    return lines, found


def renumber(program, prompt, mapping, paths):
    """The --renumber mode: 0 when the inputs are rewritten, 1 (and nothing written) when an
    input answers the prompt with a new number that the mapping does not move away: once the
    program is changed that answer would choose an item it does not choose now (a rejected
    choice turned into Exit, say)."""
    numbers = dict(pair.encode().split(b"=") for pair in mapping.split(","))
    plans, refused = [], []
    for path in paths:
        source = renumber_input(program, path)
        if isinstance(source, str):
            print(f"{path}: {source}")
            continue
        lines, found = answers_at(program, prompt.encode(), source)
        changed = 0
        for i, (blanks, word, rest) in found:
            if word in numbers:
                lines[i] = blanks + numbers[word] + rest
                changed += 1
            elif word in numbers.values():
                old = next(key for key, value in numbers.items() if value == word).decode()
                refused.append(f"{source[0]}: line {i + 1} answers with {word.decode()}, the "
                               f"number {old} takes: after the change it would choose the item "
                               f"{old} chooses now; map {word.decode()} as well, to a number no "
                               f"item will have")
        plans.append((source, lines, changed))
    if refused:
        print("refused, nothing written:\n" + "\n".join(refused))
        return 1
    for (file, kept, *_), lines, changed in plans:
        if changed:
            with open(file, "wb") as f:
                f.write(kept + b"".join(lines))
        print(f"{file}: {changed} choices renumbered")
    print("now change the program, then --update the cases; read every change in `git diff`")
    return 0


def main():
    if sys.argv[1:2] == ["--update"] and len(sys.argv) >= 4:
        return update(sys.argv[2], sys.argv[3:])
    if sys.argv[1:2] == ["--renumber"] and len(sys.argv) >= 6:
        return renumber(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])
    if len(sys.argv) != 3:
        sys.stderr.write("usage:\n" + __doc__.split("\n\n")[1] + "\n")
        return 2
    reason = skip_reason(sys.argv[2])
    if reason:
        print(f"SKIP: {os.path.basename(sys.argv[2])}: {reason}")
        return SKIPPED
    failures = check_case(sys.argv[1], sys.argv[2])
    for failure in failures:
        sys.stdout.write(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
