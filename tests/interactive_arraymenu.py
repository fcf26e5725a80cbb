#!/usr/bin/env python3
"""arraymenu driven live: through pipes kept open (every prompt must arrive before its answer
is sent, so output is flushed before every read, and messages on standard error come after the
prompt they answer) and on a pseudo-terminal (the clear sequence of item 4, and signals during
the creation of the largest array).
Exit 0 when all checks pass, 1 on a failure, 77 when no pseudo-terminal can be opened."""
import os
import select
import signal
import subprocess
import sys
import termios
import time

from live import EDITING, EDITING_LOCALES, KEYS_KEEPING_THE_ANSWER, check, end_of_input_is_final
from live import finish, job_under_shell, read_until, running, send, spawn_on_pty
from texts import ARRAYMENU_CHOICE_PROMPT as CHOICE_PROMPT, ARRAYMENU_MENU as MENU
from texts import ARRAYMENU_SIZE_PROMPT as SIZE_PROMPT, ARRAYMENU_VALUE_PROMPT as VALUE_PROMPT
from texts import CLEAR, arraymenu_answer

LIST, APPEND, CLEAR_CHOICE, EXIT = (arraymenu_answer(action) for action in
                                    ("listArray", "appendElement", "clearConsole", "exit"))


def pipes(program):
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True)
    out, err = proc.stdout.fileno(), proc.stderr.fileno()
    with running("pipes", proc):
        seen = read_until(out, SIZE_PROMPT)  # nothing typed yet: the prompt came by itself
        send(proc.stdin, b"x\n")
        read_until(err, b"Error vvoda, vvedi pravilnor znachenie\n")
        seen = read_until(out, SIZE_PROMPT, seen)
        send(proc.stdin, b"2\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        send(proc.stdin, APPEND)
        seen = read_until(out, VALUE_PROMPT, seen)
        send(proc.stdin, b"4.5\n")
        seen = read_until(out, CHOICE_PROMPT, seen)
        send(proc.stdin, LIST)
        seen = read_until(out, b"3       4.5\n\n" + MENU + CHOICE_PROMPT, seen)
        send(proc.stdin, CLEAR_CHOICE)
        seen = read_until(out, CHOICE_PROMPT, seen)
        check("no clear sequence on a pipe", b"\x1b" not in seen, repr(seen[-200:]))
        proc.stdin.write(EXIT)
        proc.stdin.close()
        check("pipe exit status", proc.wait(timeout=5) == 1, str(proc.returncode))


def terminal(program):
    proc, master = spawn_on_pty(program)
    with running("terminal", proc, master):
        seen = read_until(master, SIZE_PROMPT)
        os.write(master, b"3\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        os.write(master, CLEAR_CHOICE)
        seen = read_until(master, CHOICE_PROMPT, seen)
        echoed = CLEAR_CHOICE.replace(b"\n", b"\r\n")
        tail = seen[seen.rindex(echoed):]
        check("clear sequence on a terminal", tail.startswith(echoed + CLEAR + MENU[:8]),
              repr(tail[:60]))
        os.write(master, EXIT)
        check("terminal exit status", proc.wait(timeout=5) == 1, str(proc.returncode))


def two_answers_on_an_edited_line(program):
    """With TERM set, a line from the line editor is taken answer by answer: a choice and the
    value it asks for typed on one line append that value."""
    name = "two answers on an edited line"
    proc, master = spawn_on_pty(program, env=EDITING)
    with running(name, proc, master):
        seen = read_until(master, SIZE_PROMPT)
        os.write(master, b"3\n")
        seen = read_until(master, CHOICE_PROMPT, seen)
        os.write(master, APPEND.rstrip(b"\n") + b" 7\n")
        seen = read_until(master, b"Znacenie dobavleno\r\n\r\n" + MENU.replace(b"\n", b"\r\n")
                          + CHOICE_PROMPT, seen)
        os.write(master, LIST)
        read_until(master, b"\r\n4         7\r\n", seen)


INPUT_ERROR = b"Error vvoda, vvedi pravilnor znachenie"


LEFT = b"\x1b[D"


def typed_bytes_reach_the_program(program):
    """Letters outside ASCII are never dropped: "1\u044f5" at the value prompt appends 1 and
    leaves the letter to the choice prompt, which refuses it, as a plain terminal does; with
    editing, Backspace takes back the letter whole, and in KOI8-R a byte of it. No key of
    KEYS_KEEPING_THE_ANSWER changes the value typed before it, in any locale."""
    letter = "\u044f".encode()
    rows = [(EDITING, b"1" + letter + b"5\n", b"1", True),
            (dict(EDITING, LANG="C"), b"1" + letter + b"5\n", b"1", True),
            (EDITING, b"12" + letter + b"\x7f\n", b"12", False),
            (dict(EDITING, LANG="ru_RU.KOI8-R"), b"12\xd1" + LEFT + b"\x7f\n", b"1", True)]
    rows += [(env, b"12" + key + b"\n", b"12", False)
             for env in EDITING_LOCALES for key in KEYS_KEEPING_THE_ANSWER.values()]
    for env, typed, appended, refused in rows:
        name = f"typed bytes {typed!r} with {env}"
        proc, master = spawn_on_pty(program, env=env)
        with running(name, proc, master):
            seen = read_until(master, SIZE_PROMPT)
            os.write(master, b"1\n")
            seen = read_until(master, CHOICE_PROMPT, seen)
            os.write(master, APPEND)
            seen = read_until(master, VALUE_PROMPT, seen)
            os.write(master, typed)
            answered = len(seen)
            refusal = INPUT_ERROR + b"\r\n" + CHOICE_PROMPT if refused else CHOICE_PROMPT
            seen = read_until(master, refusal, seen)
            os.write(master, LIST)
            listed = len(seen)
            seen = read_until(master, CHOICE_PROMPT, seen)
            check(f"{name}: refused", (INPUT_ERROR in seen[answered:]) == refused,
                  repr(seen[answered:listed]))
            check(f"{name}: the value appended", b"\r\n2" + b" " * (10 - len(appended)) + appended
                  + b"\r\n" in seen[listed:], repr(seen[listed:listed + 200]))


def history_after_an_empty_line(program):
    """Each prompt keeps its own history also when its answer comes on a bare line after an
    empty Enter: Up at the menu never recalls the size typed so. Ctrl-L on that bare line draws
    the question too."""
    name = "history after an empty line"
    proc, master = spawn_on_pty(program, env=EDITING)
    with running(name, proc, master):
        seen = read_until(master, SIZE_PROMPT)
        os.write(master, b"\n\x0c")  # Ctrl-L on the bare line draws the question above it
        seen = read_until(master, b"\x1b[H\x1b[2J" + SIZE_PROMPT + b"\r\n", seen)
        os.write(master, APPEND)  # the size, on a bare line: the number of the append item
        seen = read_until(master, CHOICE_PROMPT, seen)
        os.write(master, b"\n")
        os.write(master, b"\x1b[A\n")
        os.write(master, LIST)
        seen = read_until(master, CHOICE_PROMPT, seen)
        check(f"{name}: no choice recalled", VALUE_PROMPT not in seen, repr(seen[-300:]))


def reader_gone(program):
    """`arraymenu | head`: once the reader has gone, the next write ends the program quietly
    by SIGPIPE, as in any pipeline."""
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True)
    with running("reader gone", proc):
        read_until(proc.stdout.fileno(), SIZE_PROMPT)
        proc.stdout.close()
        proc.stdin.write(b"1000\n" + LIST + EXIT)
        proc.stdin.close()
        status = proc.wait(timeout=5)
        check("reader gone: ended by SIGPIPE", status == -signal.SIGPIPE, str(status))
        check("reader gone: nothing on standard error", proc.stderr.read() == b"")


def thread_states(pid):
    """The state letter of each thread of `pid` ("R", "S", "T" for stopped...)."""
    states = []
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/stat") as stat:
            states.append(stat.read().rsplit(")", 1)[1].split()[0])
    return states


def wait_mid_creation(pid, timeout=20.0):
    """Waits until creation is under way: worker threads have started, or (one core) the block
    is being filled. Returns the number of threads then."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        threads = len(os.listdir(f"/proc/{pid}/task"))
        with open(f"/proc/{pid}/status") as status:
            rss = next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
        if threads > 1 or rss > 64 * 1024:
            return threads
        time.sleep(0.0005)
    raise TimeoutError("creation never got under way")


def signals_during_creation(program):
    """Ctrl-C and Ctrl-Z (as signals from another process) while the largest array is being
    created, by worker threads where there are several cores, under a job-control shell:
    SIGINT ends the program by that signal before the array is reported; SIGTSTP stops every
    thread, and once continued in the foreground the creation completes and the menu comes.
    The terminal's settings are as they were before the program, throughout."""
    for signo in (signal.SIGINT, signal.SIGTSTP):
        name = f"{signal.Signals(signo).name} during creation"
        with job_under_shell(name, program) as run:
            seen = read_until(run.master, SIZE_PROMPT)
            os.write(run.master, b"52428799\n")
            threads = wait_mid_creation(run.job)
            os.kill(run.job, signo)
            if signo == signal.SIGINT:
                ended = read_until(run.reports, b"\n", timeout=10)
                check(f"{name}: ended by the signal", ended == b"exited -2\n", repr(ended))
                while select.select([run.master], [], [], 0.2)[0]:
                    try:
                        chunk = os.read(run.master, 4096)
                    except OSError:  # the terminal reports EIO once nothing holds it open
                        break
                    if not chunk:
                        break
                    seen += chunk
            else:
                read_until(run.reports, b"stopped\n", timeout=10)
                states = thread_states(run.job)
                check(f"{name}: every thread stopped", set(states) == {"T"}
                      and len(states) >= threads, repr(states))
                check(f"{name}: settings while stopped", termios.tcgetattr(run.slave) == run.before)
                os.write(run.commands, b"c")
                seen = read_until(run.master, b"Massiv sozdan\r\n\r\n"
                                  + MENU.replace(b"\n", b"\r\n") + CHOICE_PROMPT, seen, timeout=30)
                os.write(run.master, EXIT)
                ended = read_until(run.reports, b"\n", timeout=10)
                check(f"{name}: Exit after continuing", ended == b"exited 1\n", repr(ended))
            check(f"{name}: created only after continuing",
                  seen.count(b"Massiv sozdan") == (signo == signal.SIGTSTP), repr(seen[-200:]))
            check(f"{name}: settings at the end", termios.tcgetattr(run.slave) == run.before)

def main():
    program = sys.argv[1]
    pipes(program)
    terminal(program)
    two_answers_on_an_edited_line(program)
    typed_bytes_reach_the_program(program)
    history_after_an_empty_line(program)
    reader_gone(program)
    signals_during_creation(program)
    end_of_input_is_final(program, SIZE_PROMPT, b"abc")
    end_of_input_is_final(program, SIZE_PROMPT, b"3")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
