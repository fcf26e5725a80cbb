"""Helpers for driving a program live, through pipes kept open or on a pseudo-terminal."""
import contextlib
import os
import pty
import select
import signal
import subprocess
import sys
import time

failures = []


def read_until(fd, wanted, seen=b"", timeout=5.0):
    """Reads fd until `wanted` has appeared after what was `seen`; returns all read."""
    data = seen
    deadline = time.monotonic() + timeout
    while wanted not in data[len(seen):]:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise TimeoutError(f"waited for {wanted!r}, got {data[len(seen):]!r}")
        try:
            chunk = os.read(fd, 4096)
        except OSError:  # a pty reports EIO once the program has gone
            chunk = b""
        if not chunk:
            raise TimeoutError(f"output ended before {wanted!r}: {data[len(seen):]!r}")
        data += chunk
    return data


def check(name, condition, detail=""):
    """Records a failure unless `condition` holds."""
    if not condition:
        failures.append(f"{name}: {detail}")


def send(pipe, text):
    pipe.write(text)
    pipe.flush()


def open_pty():
    """A (master, slave) pair; exits with 77 (skipped) where none can be opened."""
    try:
        return pty.openpty()
    except OSError:
        print("SKIP: no pseudo-terminal")
        sys.exit(77)


# The environment of a terminal where lines are edited: one with a description, in a UTF-8 locale.
EDITING = {"TERM": "xterm", "LANG": "C.UTF-8"}

# Lines are edited in every locale: a UTF-8 one, C, and none set at all.
EDITING_LOCALES = (EDITING, {"TERM": "xterm", "LC_ALL": "C"}, {"TERM": "xterm"})

# Keys that leave the answer as it was typed: they move the cursor, or do nothing at all. None
# may leave a tail of its escape sequence in the line, or make the next key literal.
KEYS_KEEPING_THE_ANSWER = {
    "Ctrl-Left": b"\x1b[1;5D", "Ctrl-Right": b"\x1b[1;5C", "Ctrl-Up": b"\x1b[1;5A",
    "Ctrl-Home": b"\x1b[1;5H", "Shift-Left": b"\x1b[1;2D", "Alt-Left": b"\x1b[1;3D",
    "Ctrl-Delete": b"\x1b[3;5~", "F12": b"\x1b[24~", "F5": b"\x1b[15~", "Insert": b"\x1b[2~",
    "PgUp": b"\x1b[5~", "PgDn": b"\x1b[6~", "Ctrl-Space": b"\x00",
}


def spawn_on_pty(command, env=None):
    """Starts `command` (a program path or an argument list) with a new pseudo-terminal as its
    standard streams and, if given, `env` added to its environment; returns the process and
    the master side. TERM and the locale are left out unless `env` names them, so that the
    programs read plain lines, as on a terminal without cursor control, whatever terminal runs
    the tests."""
    master, slave = open_pty()
    command = [command] if isinstance(command, str) else command
    environment = {name: value for name, value in os.environ.items()
                   if name != "TERM" and name != "LANG" and not name.startswith("LC_")}
    proc = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave, close_fds=True,
                            env=dict(environment, **(env or {})), start_new_session=True)
    os.close(slave)
    return proc, master


def end_of_input_is_final(program, prompt, typed):
    """On a terminal, types `typed` at the first `prompt` and then Ctrl-D twice: the first hands
    over the unterminated line, the second is the end of input. The program must not read
    again: at its next prompt it ends with "Konec vvoda" and status 2."""
    name = f"end of input after {typed!r} on a terminal"
    proc, master = spawn_on_pty(program)
    with running(name, proc, master):
        seen = read_until(master, prompt)
        os.write(master, typed + b"\x04\x04")
        read_until(master, b"Konec vvoda\r\n", seen)
        check(f"{name}: exit status", proc.wait(timeout=5) == 2, str(proc.returncode))


def finish():
    """Prints the failures recorded; returns the exit status for them."""
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


def kill_group(proc):
    """Kills `proc` and, when it leads a process group (started in a session of its own), every
    process of that group: a program started by a shell must not outlive a failed test."""
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        proc.kill()
    proc.wait()


@contextlib.contextmanager
def running(name, proc, *fds):
    """Records a timeout inside the block as a failure of `name`; then, on every way out, ends
    `proc` with its process group and closes `fds`."""
    try:
        yield
    except (TimeoutError, subprocess.TimeoutExpired) as e:
        failures.append(f"{name}: {e}")
    finally:
        kill_group(proc)
        for fd in fds:
            os.close(fd)
