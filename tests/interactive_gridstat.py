#!/usr/bin/env python3
"""gridstat driven live: through pipes kept open (each prompt arrives before its answer is sent,
and the final wait takes one character) and on a pseudo-terminal that is the program's
controlling terminal (the key wait reads one key without Enter and without echo, Ctrl-C is a
key, and the terminal's settings are the same afterwards, also when SIGTERM or SIGHUP ends the
wait). Exit 0 when all checks pass, 1 on a failure, 77 when no pseudo-terminal can be opened."""
import contextlib
import fcntl
import os
import select
import signal
import subprocess
import sys
import termios
import time

from live import (EDITING, check, end_of_input_is_final, finish, held_then_continued,
                  job_under_shell, kill_group, open_pty, read_until, running, spawn_on_pty)

ROWS_PROMPT = b"Vvedite kol-vo stroc"
COLUMNS_PROMPT = b"Vvedite kol-vo stolbcov"




def read_available(fd, timeout=0.3):
    data = b""
    while select.select([fd], [], [], timeout)[0]:
        try:
            chunk = os.read(fd, 4096)
        except OSError:
            break
        if not chunk:
            break
        data += chunk
    return data




def still_running(proc, seconds=0.3):
    try:
        proc.wait(timeout=seconds)
        return False
    except subprocess.TimeoutExpired:
        return True


def pipes(program):
    proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True)
    out, inp = proc.stdout.fileno(), proc.stdin
    with running("pipes", proc):
        seen = read_until(out, ROWS_PROMPT)  # nothing typed yet: the prompt came by itself
        inp.write(b"2\n"); inp.flush()
        seen = read_until(out, COLUMNS_PROMPT, seen)
        inp.write(b"3 rest\n"); inp.flush()
        seen = read_until(out, b"Dispersia ", seen)
        seen += read_available(out)
        check("nothing after the variance", not seen.endswith(b"\n"), repr(seen[-40:]))
        check("pipe: waits for a character", still_running(proc), "ended before one was sent")
        inp.write(b"k"); inp.flush()  # the rest of the count's line was dropped already
        check("pipe: one character ends the wait", proc.wait(timeout=5) == 0,
              str(proc.returncode))


def make_controlling_terminal():
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


def wait_for_raw_mode(slave, timeout=5.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        lflag = termios.tcgetattr(slave)[3]
        if not lflag & termios.ECHO:
            return lflag
        time.sleep(0.02)
    raise TimeoutError("the terminal never left echo mode")


def terminal(program, name, action, expected_status):
    """Runs a 1 x 2 matrix on a pty, then `action(master, proc)` during the key wait."""
    master, slave = open_pty()
    before = termios.tcgetattr(slave)
    proc = subprocess.Popen([program], stdin=slave, stdout=slave, stderr=slave,
                            preexec_fn=make_controlling_terminal)
    with running(name, proc, master, slave):
        seen = read_until(master, ROWS_PROMPT)
        os.write(master, b"1 2\n")
        seen = read_until(master, b"Dispersia ", seen)
        lflag = wait_for_raw_mode(slave)
        check(f"{name}: no line mode and no signal keys while waiting",
              not lflag & (termios.ICANON | termios.ISIG), hex(lflag))
        seen += read_available(master, 0.1)
        action(master, proc)
        status = proc.wait(timeout=5)
        check(f"{name}: exit status", status == expected_status, str(status))
        after = read_available(master)
        # A key ends the line for the shell's prompt; a signal ends the program as it stands.
        expected_after = b"" if status < 0 else b"\r\n"
        check(f"{name}: a line end and no echo of the key", after == expected_after, repr(after))
        check(f"{name}: terminal settings restored", termios.tcgetattr(slave) == before,
              f"{termios.tcgetattr(slave)} != {before}")
        check(f"{name}: echo on afterwards", termios.tcgetattr(slave)[3] & termios.ECHO)


# Keys of one byte, escape sequences (Up, F1, Ctrl-Right), a UTF-8 character and Ctrl-C.
KEYS = [b"k", b"\x1b[A", b"\x1bOP", b"\x1b[1;5C", "\u00e9".encode(), b"\x03"]


def key_taken_alone(program, key):
    """The key wait takes the key's bytes and nothing after them: a line pasted right behind
    the key is read whole by what reads the terminal next."""
    name = f"key {key!r} then a pasted line"
    master, slave = open_pty()
    proc = subprocess.Popen(["sh", "-c", '"$0"; read line; echo "got:$line"', program],
                            stdin=slave, stdout=slave, stderr=slave, start_new_session=True)
    with running(name, proc, master, slave):
        seen = read_until(master, ROWS_PROMPT)
        os.write(master, b"1 2\n")
        seen = read_until(master, b"Dispersia ", seen)
        wait_for_raw_mode(slave)
        os.write(master, key + b"echo one two three four five\n")
        read_until(master, b"got:echo one two three four five\r\n", seen)
        check(f"{name}: exit status", proc.wait(timeout=5) == 0, str(proc.returncode))


@contextlib.contextmanager
def job_in_the_key_wait(name, program, reads_fail=False, through_script=False):
    """Runs `program` as the job of a job-control shell (see `job_under_shell`) and answers it up
    to the key wait; yields what `job_under_shell` does and the output seen."""
    with job_under_shell(name, program, reads_fail=reads_fail,
                         through_script=through_script) as run:
        seen = read_until(run.master, ROWS_PROMPT)
        os.write(run.master, b"1 2\n")
        run.seen = read_until(run.master, b"Dispersia ", seen)
        wait_for_raw_mode(run.slave)
        yield run


def stopped_and_continued(program):
    """SIGTSTP from another process during the key wait stops the program with the terminal's
    settings restored; continued in the foreground, it waits for one key in raw mode again."""
    name = "SIGTSTP then fg"
    with job_in_the_key_wait(name, program) as run:
        os.kill(run.job, signal.SIGTSTP)
        read_until(run.reports, b"stopped\n")
        now = termios.tcgetattr(run.slave)
        check(f"{name}: settings restored while stopped", now == run.before,
              f"{now} != {run.before}")
        os.write(run.commands, b"c")
        wait_for_raw_mode(run.slave)
        os.write(run.master, b"q")
        ended = read_until(run.reports, b"\n", timeout=5)
        check(f"{name}: one key ends the wait", ended == b"exited 0\n", repr(ended))
        check(f"{name}: settings restored at the end",
              termios.tcgetattr(run.slave) == run.before)


def held_in_the_key_wait(program):
    """The key wait in job control's hard case (see `held_then_continued`), its job stopped by
    SIGTSTP as `kill -TSTP` sends it (Ctrl-Z is a key here): back in the foreground it waits for
    one key in raw mode, and the key ends it with the terminal's settings as before."""
    name = "key wait held at a stop"
    with job_in_the_key_wait(name, program, through_script=True) as run:
        held_then_continued(run, lambda: os.killpg(run.job, signal.SIGTSTP))
        os.write(run.master, b"q")
        ended = read_until(run.reports, b"\n")
        check(f"{name}: one key ends the wait", ended == b"exited 0\n", repr(ended))
        check(f"{name}: settings restored at the end", termios.tcgetattr(run.slave) == run.before)


def read_fails_in_the_background(program):
    """A read from the terminal that fails during the key wait (here: the job was put in the
    background and ignores SIGTTIN, so its read gets EIO) ends the program with "Oshibka
    chteniya" and status 4, the terminal's settings restored."""
    name = "read error during the key wait"
    with job_in_the_key_wait(name, program, reads_fail=True) as run:
        os.kill(run.shell, signal.SIGUSR1)
        read_until(run.reports, b"background\n")
        os.write(run.master, b"q")
        read_until(run.master, b"\r\nOshibka chteniya\r\n", run.seen)
        ended = read_until(run.reports, b"\n", timeout=5)
        check(f"{name}: status 4", ended == b"exited 4\n", repr(ended))
        check(f"{name}: settings restored", termios.tcgetattr(run.slave) == run.before)


# The ioctl that hangs a terminal up at once, as the kernel does when its session ends.
TIOCVHANGUP = 0x5437


def hung_up(program):
    """The terminal hangs up during the key wait while SIGHUP is ignored (as under nohup): the
    read meets the end of input, which ends the wait, and the program ends with status 0.
    Hanging up needs CAP_SYS_ADMIN; without it the check is left out."""
    name = "hang-up during the key wait"
    master, slave = open_pty()

    def controlling_terminal_without_hangup_signal():
        make_controlling_terminal()
        signal.signal(signal.SIGHUP, signal.SIG_IGN)
    proc = subprocess.Popen([program], stdin=slave, stdout=slave, stderr=slave,
                            preexec_fn=controlling_terminal_without_hangup_signal)
    try:
        seen = read_until(master, ROWS_PROMPT)
        os.write(master, b"1 2\n")
        read_until(master, b"Dispersia ", seen)
        wait_for_raw_mode(slave)
        try:
            fcntl.ioctl(slave, TIOCVHANGUP)
        except PermissionError:
            print(f"SKIP: {name}: hanging up a terminal is not permitted here")
            return
        status = proc.wait(timeout=5)
        check(f"{name}: exit status", status == 0, str(status))
    except (TimeoutError, subprocess.TimeoutExpired) as e:
        check(name, False, str(e))
    finally:
        kill_group(proc)
        os.close(slave)
        os.close(master)


def history_per_prompt(program):
    """With TERM set, the rows and the columns, both asked by a whole line, keep histories of
    their own: after text refused at the columns prompt, Up at the rows prompt recalls the rows
    typed before, not that text. Ctrl-L draws the question, a line of its own, again."""
    name = "history per prompt"
    proc, master = spawn_on_pty(program, env=EDITING)
    with running(name, proc, master):
        seen = read_until(master, ROWS_PROMPT)
        os.write(master, b"2\x0c")
        seen = read_until(master, b"\x1b[H\x1b[2J" + ROWS_PROMPT + b"\r\n2", seen)
        os.write(master, b"\n")
        seen = read_until(master, COLUMNS_PROMPT, seen)
        os.write(master, b"x\n")
        seen = read_until(master, ROWS_PROMPT, seen)
        os.write(master, b"\x1b[A\n")
        seen = read_until(master, COLUMNS_PROMPT, seen)
        os.write(master, b"3\n")
        seen = read_until(master, b"Dispersia ", seen)
        check(f"{name}: the rows recalled", seen.count(b"Vvedite tolko chisla!") == 1,
              repr(seen[-400:]))


def main():
    program = sys.argv[1]
    pipes(program)
    for key in KEYS:
        key_taken_alone(program, key)
    stopped_and_continued(program)
    held_in_the_key_wait(program)
    read_fails_in_the_background(program)
    hung_up(program)
    history_per_prompt(program)
    end_of_input_is_final(program, ROWS_PROMPT, b"3")
    terminal(program, "a key without Enter", lambda m, p: os.write(m, b"q"), 0)
    terminal(program, "Ctrl-C", lambda m, p: os.write(m, b"\x03"), 0)
    terminal(program, "SIGTERM", lambda m, p: p.send_signal(signal.SIGTERM), -signal.SIGTERM)
    terminal(program, "SIGHUP", lambda m, p: p.send_signal(signal.SIGHUP), -signal.SIGHUP)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
