#!/usr/bin/env python3
"""datemenu driven live: through pipes kept open (each prompt must arrive before any answer is
sent, so output is flushed before every read) and on a pseudo-terminal (the clear sequence,
and lines typed ahead surviving the dropping of pending input).
Exit 0 when all checks pass, 1 on a failure, 77 when no pseudo-terminal can be opened."""
import os
import subprocess
import sys

from live import check, end_of_input_is_final, finish, read_until, running, send, spawn_on_pty
from texts import CLEAR, DATEMENU_CHOICE_PROMPT as CHOICE_PROMPT, DATEMENU_DATE_PROMPT as DATE_PROMPT


def pipes(program):
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True)
    out, err, inp = proc.stdout.fileno(), proc.stderr.fileno(), proc.stdin
    with running("pipes", proc):
        seen = read_until(out, DATE_PROMPT)  # nothing typed yet: the prompt came by itself
        send(inp, b"01.01.2011\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        send(inp, b"7\n")
        read_until(err, b"Neverniy vvod!!!\n\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        send(inp, b"5\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        check("no clear sequence on a pipe", b"\x1b" not in seen, repr(seen[-200:]))
        inp.write(b"6\n"); inp.close()
        check("pipe exit status", proc.wait(timeout=5) == 1, str(proc.returncode))


def terminal(program, term):
    """Choice 5 clears the screen unless TERM is dumb; lines typed ahead survive."""
    name = f"terminal {term}"
    proc, master = spawn_on_pty(program, env={"TERM": term})
    with running(name, proc, master):
        seen = read_until(master, DATE_PROMPT)
        os.write(master, b"01.01.2011\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        os.write(master, b"5\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        tail = seen[seen.index(b"5\r\n"):]
        clear = b"" if term == "dumb" else CLEAR
        check(f"{name}: clearing", tail.startswith(b"5\r\n\r\n" + clear + b"\r\nViberete"),
              repr(tail[:60]))
        # Typed ahead in one go: the dropping of pending input must keep the later lines.
        os.write(master, b"3\n02.03.2011\n4\n6\n")
        seen = read_until(master, b"2.3.2011\r\n", seen)
        check(f"{name}: typed-ahead exit status", proc.wait(timeout=5) == 1, str(proc.returncode))


def main():
    program = sys.argv[1]
    pipes(program)
    terminal(program, "xterm")
    terminal(program, "dumb")
    end_of_input_is_final(program, DATE_PROMPT, b"12.3")
    end_of_input_is_final(program, DATE_PROMPT, b"1.1.2000")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
