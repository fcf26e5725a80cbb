"""Helpers for driving a program live, through pipes kept open or on a pseudo-terminal."""
import contextlib
import fcntl
import os
import pty
import select
import signal
import subprocess
import sys
import termios
import time
import traceback
import types

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


def spawn_on_pty(command, env=None, typed_ahead=b""):
    """Starts `command` (a program path or an argument list) with a new pseudo-terminal as its
    standard streams, on which `typed_ahead` has been typed before, and, if given, `env` added
    to its environment; returns the process and the master side. TERM and the locale are left
    out unless `env` names them, so that the programs read plain lines, as on a terminal without
    cursor control, whatever terminal runs the tests."""
    master, slave = open_pty()
    os.write(master, typed_ahead)
    command = [command] if isinstance(command, str) else command
    proc = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave, close_fds=True,
                            env=program_environment(env), start_new_session=True)
    os.close(slave)
    return proc, master


def program_environment(env=None):
    """This environment without TERM and the locale, and with `env` added (see `spawn_on_pty`)."""
    environment = {name: value for name, value in os.environ.items()
                   if name != "TERM" and name != "LANG" and not name.startswith("LC_")}
    return dict(environment, **(env or {}))


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


def wait_for_modes(slave, wanted, timeout=5.0):
    """Waits until the terminal's settings are `wanted`; a timeout names the settings found."""
    deadline = time.monotonic() + timeout
    while termios.tcgetattr(slave) != wanted:
        if time.monotonic() > deadline:
            raise TimeoutError(f"terminal settings {termios.tcgetattr(slave)}, not {wanted}")
        time.sleep(0.02)


def job_control_shell(slave, command, commands, reports, reads_fail=False, env=None,
                      resets_modes=False):
    """In a child process: a minimal job-control shell, the session leader on the terminal with
    `command` as its foreground job. Reports the job's pid, "stopped" when it stops (and takes
    the terminal back; with `resets_modes`, as bash does, it puts back the settings it had before
    the job, then those of its prompt's line editor, no echo and no line mode, until a command
    is entered), and "exited N" at its end; on each byte of `commands` it continues the job in
    the foreground, as `fg` does; on SIGUSR1 it takes the terminal while the job runs on, reporting
    "background". With `reads_fail` the job ignores SIGTTIN and SIGTTOU, so that its reads from
    the terminal in the background fail. Anything that goes wrong is printed, and the reports
    end without "exited"."""
    status = 1
    try:
        os.setsid()
        fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
        signal.signal(signal.SIGTTOU, signal.SIG_IGN)
        own_modes = termios.tcgetattr(slave)
        prompt_modes = termios.tcgetattr(slave)
        prompt_modes[3] &= ~(termios.ECHO | termios.ICANON)
        job = os.fork()
        if job == 0:
            os.setpgid(0, 0)
            os.tcsetpgrp(slave, os.getpid())
            job_signals = signal.SIG_IGN if reads_fail else signal.SIG_DFL
            signal.signal(signal.SIGTTOU, job_signals)
            signal.signal(signal.SIGTTIN, job_signals)
            for fd in (0, 1, 2):
                os.dup2(slave, fd)
            os.execve(command[0], command, program_environment(env))
        try:
            os.setpgid(job, job)
        except PermissionError:
            pass  # the job has exec'd already, in the group it made itself, as shells allow
        os.write(reports, f"{job}\n".encode())

        def take_terminal(*_):
            os.tcsetpgrp(slave, os.getpgrp())
            os.write(reports, b"background\n")
        signal.signal(signal.SIGUSR1, take_terminal)
        while True:
            _, status = os.waitpid(job, os.WUNTRACED)
            if not os.WIFSTOPPED(status):
                os.write(reports, f"exited {os.waitstatus_to_exitcode(status)}\n".encode())
                break
            os.tcsetpgrp(slave, os.getpgrp())
            if resets_modes:
                termios.tcsetattr(slave, termios.TCSANOW, own_modes)
                termios.tcsetattr(slave, termios.TCSANOW, prompt_modes)
            os.write(reports, b"stopped\n")
            os.read(commands, 1)
            if resets_modes:
                termios.tcsetattr(slave, termios.TCSANOW, own_modes)
            os.tcsetpgrp(slave, job)
            os.killpg(job, signal.SIGCONT)
        status = 0
    except BaseException:
        traceback.print_exc()
    finally:
        os._exit(status)


def end_shell_and_job(shell, job):
    """Kills the job's process group and the shell, whatever state the test left them in."""
    for group in (job, shell):
        try:
            os.killpg(group, signal.SIGKILL) if group else None
        except ProcessLookupError:
            pass
    os.waitpid(shell, 0)


# A script that only runs the program: the shell sees the script, not the program, stop.
SCRIPT = ["/bin/sh", "-c", '"$0"; exit $?']


@contextlib.contextmanager
def job_under_shell(name, program, reads_fail=False, env=None, through_script=False):
    """Runs `program` (through a script that only runs it, if `through_script`; the shell then
    resets the terminal's settings when the job stops, as bash does) as the job of a job-control
    shell on a new terminal; yields the terminal, the settings it had before, the shell's pipes
    and the job. A timeout fails check `name`; the job, the shell and the descriptors go at the
    end."""
    master, slave = open_pty()
    before = termios.tcgetattr(slave)
    commands_read, commands = os.pipe()
    reports, reports_write = os.pipe()
    command = SCRIPT + [program] if through_script else [program]
    shell = os.fork()
    if shell == 0:
        job_control_shell(slave, command, commands_read, reports_write, reads_fail, env,
                          resets_modes=through_script)
    os.close(commands_read)
    os.close(reports_write)
    job = None
    try:
        job = int(read_until(reports, b"\n").decode())
        yield types.SimpleNamespace(master=master, slave=slave, before=before,
                                    commands=commands, reports=reports, shell=shell, job=job)
    except TimeoutError as e:
        check(name, False, str(e))
    finally:
        end_shell_and_job(shell, job)
        for fd in (master, slave, commands, reports):
            os.close(fd)


def process_state(pid):
    """The state letter of process `pid` (R, S, T...)."""
    with open(f"/proc/{pid}/stat") as stat:
        return stat.read().rpartition(")")[2].split()[0]


def script_child(run):
    """The pid of the program that the script of `run` runs."""
    with open(f"/proc/{run.job}/task/{run.job}/children") as children:
        return int(children.read().split()[0])


def wait_for_state(pid, state, timeout=5.0):
    """Waits until process `pid` is in `state` (a letter of /proc/PID/stat: S, T...)."""
    deadline = time.monotonic() + timeout
    while process_state(pid) != state:
        if time.monotonic() > deadline:
            raise TimeoutError(f"process {pid} never in state {state}")
        time.sleep(0.01)


def held_then_continued(run, stop):
    """Job control's hard case, with `run` from `job_under_shell(through_script=True)` in a read
    that has the terminal in the program's settings: the program is held (SIGSTOP) when `stop()`
    stops its job, so the script stops at once while the program's own stop never comes; the
    shell takes the terminal and puts its settings back; the program is released (SIGCONT) in
    the background, and then continued in the foreground as `fg` does. By then the program must
    have the terminal in its settings again."""
    own = termios.tcgetattr(run.slave)
    program = script_child(run)
    os.kill(program, signal.SIGSTOP)
    wait_for_state(program, "T")
    stop()
    read_until(run.reports, b"stopped\n")
    os.kill(program, signal.SIGCONT)
    time.sleep(0.2)  # time to take the release in the background; it must pass without as well
    os.write(run.commands, b"c")
    wait_for_modes(run.slave, own)


def stopped_late(run):
    """Job control's other hard case, with `run` as for `held_then_continued`: the program takes
    its stop only once the shell, which saw the script stop, has the terminal in the settings of
    its prompt. The program must leave those as they are and stop; continued in the foreground,
    it must have the terminal in its settings again."""
    own = termios.tcgetattr(run.slave)
    program = script_child(run)
    os.kill(run.job, signal.SIGTSTP)
    read_until(run.reports, b"stopped\n")
    shell_modes = termios.tcgetattr(run.slave)
    os.kill(program, signal.SIGTSTP)
    wait_for_state(program, "T")
    check("stopped late: the shell's settings kept", termios.tcgetattr(run.slave) == shell_modes)
    os.write(run.commands, b"c")
    wait_for_modes(run.slave, own)


def end_of_input_typed_ahead(program, prompt):
    """Ctrl-D typed before the program started, in the terminal's line mode, is the end of input
    at the first prompt of an edited line, as Ctrl-D typed there is."""
    name = "end of input typed ahead"
    proc, master = spawn_on_pty(program, env=EDITING, typed_ahead=b"\x04")
    with running(name, proc, master):
        seen = read_until(master, prompt + b"\r\nKonec vvoda\r\n")
        check(f"{name}: the prompt and the end", seen == prompt + b"\r\nKonec vvoda\r\n", repr(seen))
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
