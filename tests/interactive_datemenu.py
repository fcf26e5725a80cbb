#!/usr/bin/env python3
"""datemenu driven live: through pipes kept open (each prompt must arrive before any answer is
sent, so output is flushed before every read) and on a pseudo-terminal (the clear sequence,
lines typed ahead surviving the dropping of pending input, and line editing).
Exit 0 when all checks pass, 1 on a failure, 77 when no pseudo-terminal can be opened."""
import os
import select
import subprocess
import sys
import termios
import time

from live import EDITING, EDITING_LOCALES, KEYS_KEEPING_THE_ANSWER, check, end_of_input_is_final
from live import end_of_input_typed_ahead, finish, held_then_continued, job_under_shell
from live import read_until, running, send, spawn_on_pty, stopped_late
from texts import CLEAR, DATEMENU_CHOICE_PROMPT as CHOICE_PROMPT, DATEMENU_DATE_PROMPT as DATE_PROMPT
from texts import DATEMENU_NO_ITEM as NO_ITEM, datemenu_answer

ENTER_AGAIN, PRINT, CLEAR_CHOICE, EXIT = (datemenu_answer(action) for action in
                                         ("enterAgain", "printDate", "clearConsole", "exit"))


def pipes(program):
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True)
    out, err, inp = proc.stdout.fileno(), proc.stderr.fileno(), proc.stdin
    with running("pipes", proc):
        seen = read_until(out, DATE_PROMPT)  # nothing typed yet: the prompt came by itself
        send(inp, b"01.01.2011\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        send(inp, NO_ITEM)
        read_until(err, b"Neverniy vvod!!!\n\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        send(inp, CLEAR_CHOICE)
        seen = read_until(out, CHOICE_PROMPT, seen)
        check("no clear sequence on a pipe", b"\x1b" not in seen, repr(seen[-200:]))
        inp.write(EXIT); inp.close()
        check("pipe exit status", proc.wait(timeout=5) == 1, str(proc.returncode))


def terminal(program, term, clear):
    """Clearing clears the screen as the terminal's description says (`clear`); lines typed
    ahead survive."""
    name = f"terminal {term}"
    proc, master = spawn_on_pty(program, env=dict(EDITING, TERM=term))
    with running(name, proc, master):
        seen = read_until(master, DATE_PROMPT)
        os.write(master, b"01.01.2011\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        os.write(master, CLEAR_CHOICE)
        seen = read_until(master, CHOICE_PROMPT, seen)
        echoed = CLEAR_CHOICE.replace(b"\n", b"\r\n")
        tail = seen[seen.index(echoed):]
        check(f"{name}: clearing", tail.startswith(echoed + b"\r\n" + clear + b"\r\nViberete"),
              repr(tail[:60]))
        # Typed ahead in one go: the dropping of pending input must keep the later lines.
        os.write(master, ENTER_AGAIN + b"02.03.2011\n" + PRINT + EXIT)
        seen = read_until(master, b"2.3.2011\r\n", seen)
        check(f"{name}: typed-ahead exit status", proc.wait(timeout=5) == 1, str(proc.returncode))


LEFT, UP = b"\x1b[D", b"\x1b[A"


def edited(program):
    """With TERM set, lines are edited: Left moves back into the date typed, Up recalls the
    last date at the date prompt (not the menu choices typed since), and Ctrl-D on an empty
    line ends the input."""
    name = "line editing"
    proc, master = spawn_on_pty(program, env=EDITING)
    with running(name, proc, master):
        seen = read_until(master, DATE_PROMPT)
        os.write(master, b"15.06.209" + LEFT + b"0\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        os.write(master, PRINT)
        printed = len(seen)
        seen = read_until(master, CHOICE_PROMPT, seen)
        check(f"{name}: Left edits the date", b"\r\n15.6.2009\r\n" in seen[printed:],
              repr(seen[printed:printed + 80]))
        os.write(master, ENTER_AGAIN)
        seen = read_until(master, DATE_PROMPT, seen)
        os.write(master, UP + b"\n")
        recalled = len(seen)
        seen = read_until(master, CHOICE_PROMPT, seen)
        check(f"{name}: Up recalls the date", b"Error" not in seen[recalled:],
              repr(seen[recalled:recalled + 80]))
        os.write(master, PRINT)
        printed = len(seen)
        seen = read_until(master, CHOICE_PROMPT, seen)
        check(f"{name}: the recalled date", b"\r\n15.6.2009\r\n" in seen[printed:],
              repr(seen[printed:printed + 80]))
        os.write(master, b"\x04")
        ended = len(seen)
        seen = read_until(master, b"\r\nKonec vvoda\r\n", seen)
        check(f"{name}: Ctrl-D draws nothing", seen[ended:] == b"\r\nKonec vvoda\r\n",
              repr(seen[ended:]))
        check(f"{name}: Ctrl-D exit status", proc.wait(timeout=5) == 2, str(proc.returncode))


def stopped_from_a_script(program):
    """The line editor in job control's hard cases (see `held_then_continued`, its job stopped by
    Ctrl-Z, and `stopped_late`): back in the foreground it reads on where it was."""
    for name, stop in (
            ("line editor held at a stop",
             lambda run: held_then_continued(run, lambda: os.write(run.master, b"\x1a"))),
            ("line editor stopped late", stopped_late)):
        with job_under_shell(name, program, env=EDITING, through_script=True) as run:
            seen = read_until(run.master, DATE_PROMPT)
            os.write(run.master, b"15.06")
            seen = read_until(run.master, b"15.06", seen)
            stop(run)
            os.write(run.master, b".2009\n")
            seen = read_until(run.master, CHOICE_PROMPT, seen)
            os.write(run.master, b"4\n")
            seen = read_until(run.master, b"\r\n15.6.2009\r\n", seen)
            os.write(run.master, b"6\n")
            ended = read_until(run.reports, b"\n")
            check(f"{name}: exit status", ended == b"exited 1\n", repr(ended))
            check(f"{name}: settings restored at the end",
                  termios.tcgetattr(run.slave) == run.before)


def typed_bytes_reach_the_program(program):
    """A letter outside ASCII or a Tab inside a date is never dropped: the date is refused, with
    editing and on a terminal without a description, where the line is read plainly and nothing
    but the dialogue is written. Lines are edited in every locale, also one that fails to load, and no
    key of KEYS_KEEPING_THE_ANSWER changes the date typed before it."""
    letter_date = "01.01.20\u044f11".encode()
    rows = [(EDITING, letter_date, None), (dict(EDITING, LANG="C"), letter_date, None),
            (dict(EDITING, TERM="foo-bar"), letter_date, None),
            (EDITING, b"15.06.20\t09", None)]  # Tab goes into the line, as typed
    rows += [({"TERM": "xterm", **locale}, b"15.06.209" + LEFT + b"0", b"15.6.2009")
             for locale in ({}, {"LC_ALL": "C"}, {"LC_ALL": "POSIX"}, {"LANG": "en_US.UTF-8"},
                            {"LC_CTYPE": "UTF-8"})]
    rows += [(env, b"15.06.2009" + key, b"15.6.2009")
             for env in EDITING_LOCALES for key in KEYS_KEEPING_THE_ANSWER.values()]
    for env, typed, printed in rows:
        name = f"typed bytes {typed!r} with {env}"
        proc, master = spawn_on_pty(program, env=env)
        with running(name, proc, master):
            seen = read_until(master, DATE_PROMPT)
            check(f"{name}: the prompt alone", seen == DATE_PROMPT, repr(seen))
            os.write(master, typed + b"\n")
            if printed is None:
                seen = read_until(master, b"Error, vvedite verno\r\n" + DATE_PROMPT, seen)
                continue
            seen = read_until(master, CHOICE_PROMPT, seen)
            os.write(master, b"4\n")
            asked = len(seen)
            seen = read_until(master, CHOICE_PROMPT, seen)
            check(f"{name}: the date", b"\r\n" + printed + b"\r\n" in seen[asked:],
                  repr(seen[asked - 100:asked + 40]))


def terminal_gone(program):
    """The terminal goes away while a line is edited (its master side closed, no hang-up signal):
    reading and writing it fail, and the program ends with "Oshibka chteniya" and status 4."""
    name = "terminal gone"
    proc, master = spawn_on_pty(program, env=EDITING)
    with running(name, proc):
        read_until(master, DATE_PROMPT)
        os.write(master, b"15.06")
        time.sleep(0.1)
        os.close(master)
        check(f"{name}: exit status", proc.wait(timeout=5) == 4, str(proc.returncode))


def line_limit(program):
    """An edited line holds 4095 bytes: a date line of exactly that length is taken whole, and
    of one byte more loses its last digit (leading zeros make up the length). Alt and a digit
    repeat no key, which could grow a line past its limit at one stroke. A line cut short in a
    paste rings the bell once."""
    name = "line limit"
    proc, master = spawn_on_pty(program, env=EDITING)
    with running(name, proc, master):
        seen = read_until(master, DATE_PROMPT)
        for typed, printed in ((b"01.01.201\x1b21", b"1.1.2011"),
                               (b"0" * 4086 + b"1.01.2011", b"1.1.2011"),
                               (b"0" * 4087 + b"1.01.2011", b"1.1.201")):
            os.write(master, typed + b"\n")
            seen = read_until(master, CHOICE_PROMPT, seen)
            os.write(master, PRINT)
            asked = len(seen)
            seen = read_until(master, CHOICE_PROMPT, seen)
            check(f"{name}: {typed[-12:]!r} in a line of {len(typed)} bytes", b"\r\n" + printed + b"\r\n" in seen[asked:],
                  repr(seen[asked:asked + 40]))
            os.write(master, ENTER_AGAIN)
            seen = read_until(master, DATE_PROMPT, seen)
        # A line cut short, and the lines pasted behind it taken whole: one bell for the cut.
        os.write(master, b"0" * 5000 + b"\n01.01.2012\n4\n")
        pasted = len(seen)
        seen = read_until(master, b"\r\n1.1.2012\r\n", seen)
        check(f"{name}: one bell for a line cut short", seen[pasted:].count(b"\a") == 1,
              str(seen[pasted:].count(b"\a")))


def memory_kib(pid, field):
    """A memory figure of process `pid` from /proc/PID/status, in KiB."""
    with open(f"/proc/{pid}/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith(field + ":"))


def long_pastes(program):
    """Pastes of 1 MiB at the date prompt take no more memory one after another: after the first
    (which lets the program and a sanitizer's allocator settle), three more add less than 4 MiB
    to the peak resident memory, where a line kept whole would add 4 bytes a character, 12 MiB
    for the three. An edited line holds at most 4095 bytes, and the rest rings the bell."""
    name = "long pastes"
    proc, master = spawn_on_pty(program, env=EDITING)
    with running(name, proc, master):
        seen = read_until(master, DATE_PROMPT)
        settled = 0
        for pasted in range(4):
            paste = b"1" * (1 << 20) + b"\n"
            while paste:
                readable, writable, _ = select.select([master], [master], [], 5)
                if not readable and not writable:
                    raise TimeoutError("the paste stalled")
                if readable:
                    seen = seen[-1000:] + os.read(master, 1 << 16)
                if writable:
                    paste = paste[os.write(master, paste[:4096]):]
            seen = read_until(master, b"Error, vvedite verno\r\n" + DATE_PROMPT, seen)
            if pasted == 0:
                settled = memory_kib(proc.pid, "VmHWM")
        growth = memory_kib(proc.pid, "VmHWM") - settled
        check(f"{name}: peak resident memory grew by {growth} KiB", growth < 4 * 1024)

def main():
    program = sys.argv[1]
    pipes(program)
    terminal(program, "xterm", CLEAR)
    terminal(program, "dumb", b"")
    terminal(program, "vt100", b"\x1b[H\x1b[J")  # its clear without its delay, and no scrollback
    edited(program)
    stopped_from_a_script(program)
    typed_bytes_reach_the_program(program)
    line_limit(program)
    long_pastes(program)
    terminal_gone(program)
    end_of_input_is_final(program, DATE_PROMPT, b"12.3")
    end_of_input_is_final(program, DATE_PROMPT, b"1.1.2000")
    end_of_input_typed_ahead(program, DATE_PROMPT)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
