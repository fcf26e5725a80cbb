#!/usr/bin/env python3
"""datemenu driven live: through pipes kept open (each prompt must arrive before any answer is
sent, so output is flushed before every read) and on a pseudo-terminal (the clear sequence,
and lines typed ahead surviving the dropping of pending input).
Exit 0 when all checks pass, 1 on a failure, 77 when no pseudo-terminal can be opened."""
import os
import pty
import select
import subprocess
import sys
import time

DATE_PROMPT = b"vvedite datu v formate 'dd.mm.yyyy': "
CHOICE_PROMPT = b"Vashe deistvie (vvedite 1,2,3,4,5,6): "
CLEAR = b"\x1b[H\x1b[2J"
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
    if not condition:
        failures.append(f"{name}: {detail}")


def pipes(program):
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    out, err, inp = proc.stdout.fileno(), proc.stderr.fileno(), proc.stdin
    try:
        seen = read_until(out, DATE_PROMPT)  # nothing typed yet: the prompt came by itself
        inp.write(b"01.01.2011\n"); inp.flush()
        seen = read_until(out, CHOICE_PROMPT, seen)
        inp.write(b"7\n"); inp.flush()
        read_until(err, b"Neverniy vvod!!!\n\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        inp.write(b"5\n"); inp.flush()
        seen = read_until(out, CHOICE_PROMPT, seen)
        check("no clear sequence on a pipe", CLEAR not in seen, repr(seen[-200:]))
        inp.write(b"6\n"); inp.close()
        check("pipe exit status", proc.wait(timeout=5) == 1, str(proc.returncode))
    except TimeoutError as e:
        failures.append(f"pipes: {e}")
    finally:
        proc.kill()
        proc.wait()


def terminal(program):
    try:
        master, slave = pty.openpty()
    except OSError:
        print("SKIP: no pseudo-terminal")
        sys.exit(77)
    proc = subprocess.Popen([program], stdin=slave, stdout=slave, stderr=slave, close_fds=True)
    os.close(slave)
    try:
        seen = read_until(master, DATE_PROMPT)
        os.write(master, b"01.01.2011\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        os.write(master, b"5\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        tail = seen[seen.index(b"5\r\n"):]
        check("clear sequence on a terminal", tail.startswith(b"5\r\n\r\n" + CLEAR + b"\x1b[3J\r\nViberete"),
              repr(tail[:60]))
        # Typed ahead in one go: the dropping of pending input must keep the later lines.
        os.write(master, b"3\n02.03.2011\n4\n6\n")
        seen = read_until(master, b"2.3.2011\r\n", seen)
        check("typed-ahead exit status", proc.wait(timeout=5) == 1, str(proc.returncode))
    except (TimeoutError, subprocess.TimeoutExpired) as e:
        failures.append(f"terminal: {e}")
    finally:
        proc.kill()
        proc.wait()
        os.close(master)


def main():
    program = sys.argv[1]
    pipes(program)
    terminal(program)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
