#!/usr/bin/env python3
"""arraymenu driven live: through pipes kept open (every prompt must arrive before its answer
is sent, so output is flushed before every read, and messages on standard error come after the
prompt they answer) and on a pseudo-terminal (the clear sequence of item 4).
Exit 0 when all checks pass, 1 on a failure, 77 when no pseudo-terminal can be opened."""
import os
import pty
import select
import subprocess
import sys
import time

SIZE_PROMPT = b"vvedite razmer massiva: "
CHOICE_PROMPT = b"Vvedite chislo (1..5): "
VALUE_PROMPT = b"Vvedite znachenie elementa: "
MENU = (b"viberete deistvie:\n\n1) Vivesti massiv\n2) Izmenit element\n3) Dobavit element\n"
        b"4) Ochistit\n5) Exit\n\n")
CLEAR = b"\x1b[H\x1b[2J\x1b[3J"
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


def send(pipe, text):
    pipe.write(text)
    pipe.flush()


def pipes(program):
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    out, err = proc.stdout.fileno(), proc.stderr.fileno()
    try:
        seen = read_until(out, SIZE_PROMPT)  # nothing typed yet: the prompt came by itself
        send(proc.stdin, b"x\n")
        read_until(err, b"Error vvoda, vvedi pravilnor znachenie\n")
        seen = read_until(out, SIZE_PROMPT, seen)
        send(proc.stdin, b"2\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        send(proc.stdin, b"3\n")
        seen = read_until(out, VALUE_PROMPT, seen)
        send(proc.stdin, b"4.5\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        send(proc.stdin, b"1\n")
        seen = read_until(out, b"3       4.5\n\n" + MENU + CHOICE_PROMPT, seen)
        send(proc.stdin, b"4\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        check("no clear sequence on a pipe", b"\x1b" not in seen, repr(seen[-200:]))
        proc.stdin.write(b"5\n")
        proc.stdin.close()
        check("pipe exit status", proc.wait(timeout=5) == 1, str(proc.returncode))
    except (TimeoutError, subprocess.TimeoutExpired) as e:
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
        seen = read_until(master, SIZE_PROMPT)
        os.write(master, b"3\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        os.write(master, b"4\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        tail = seen[seen.rindex(b"4\r\n"):]
        check("clear sequence on a terminal", tail.startswith(b"4\r\n" + CLEAR + b"viberete"),
              repr(tail[:60]))
        os.write(master, b"5\n")
        check("terminal exit status", proc.wait(timeout=5) == 1, str(proc.returncode))
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
