#!/usr/bin/env python3
"""datemenu under an address-space limit far below the length of what it is fed: a date line
and a choice word of 150 MB each are judged as they stream in, never stored whole.
Exit 0 when the transcript is exact."""
import subprocess
import sys
import threading

from texts import DATEMENU_CHOICE_PROMPT as CHOICE, DATEMENU_DATE_PROMPT as DATE_PROMPT
from texts import DATEMENU_MENU as MENU, datemenu_answer

PRINT, EXIT = datemenu_answer("printDate"), datemenu_answer("exit")

LIMIT_KIB = 65536
RUN = 150 * 1024 * 1024


def feed(pipe):
    chunk = 1024 * 1024
    try:
        for _ in range(RUN // chunk):  # leading zeros of any length are allowed
            pipe.write(b"0" * chunk)
        pipe.write(b"31.12.2011\n" + PRINT)
        for _ in range(RUN // chunk):  # a choice word of 150 MB is no choice
            pipe.write(b"1" * chunk)
        pipe.write(b"\n" + EXIT)
    finally:
        pipe.close()


def main():
    proc = subprocess.Popen(["sh", "-c", f'ulimit -v {LIMIT_KIB} && exec "$0"', sys.argv[1]],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    streams = {}
    threads = [threading.Thread(target=feed, args=(proc.stdin,))] + [
        threading.Thread(target=lambda name, pipe: streams.__setitem__(name, pipe.read()),
                         args=(name, pipe)) for name, pipe in (("out", proc.stdout), ("err", proc.stderr))]
    for thread in threads:
        thread.start()
    proc.wait(timeout=120)
    for thread in threads:
        thread.join()
    out, err = streams["out"], streams["err"]
    start = DATE_PROMPT + b"\n" + MENU + CHOICE + b"\n"
    expected = (start + b"31.12.2011\n\n" + MENU + CHOICE + b"\n" + CHOICE + b"\n",
                b"Neverniy vvod!!!\n\n", 1)
    actual = (out, err, proc.returncode)
    if actual != expected:
        print(f"FAIL: expected {expected!r}\n got {actual!r}"[:2000])
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
