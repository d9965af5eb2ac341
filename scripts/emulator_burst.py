#!/usr/bin/env python3
"""Writes a burst of host command lines at once into `tidewire --emulate` on a
pseudo-terminal and checks that the emulator took every one of them.

The lines are numbered configuration commands ("$CCCFG,SRC,<n>*hh"), each
answered with "$CACFG,SRC,<n>". The burst is far more than the program's
receive ring holds. The checks:

  * every line is in the emulator's NMEA log once, in order, as sent;
  * every line got its answer once, in order;
  * no line drew an NMEA error (a line glued to a piece of another one draws
    error 20, "Bad talker ID", or 11, "Bad Checksum").

Answers are awaited until every one has come, or until none has come for
QUIET seconds (a generous bound that turns a lost line into a failure, not a
hang). Exit code 0 when every check holds, 1 when one fails, 2 when the run
could not be made.
"""

import argparse
import glob
import os
import re
import select
import signal
import subprocess
import sys
import time
import tty

from soak_checks import read_log

ANSWER = re.compile(rb"^\$CACFG,SRC,(\d+)")
ERROR = re.compile(rb"^\$CAERR,[^,]*,NMEA,(\d+)")


def host_line(n):
    body = "CCCFG,SRC,%d" % n
    c = 0
    for b in body.encode("ascii"):
        c ^= b
    return "$%s*%02X" % (body, c)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--binary", required=True, help="the tidewire program")
    p.add_argument("--work", required=True, help="an empty folder for this run")
    p.add_argument("--lines", type=int, default=560)
    p.add_argument("--quiet", type=float, default=10.0,
                   help="seconds without a new answer before the run is given up")
    a = p.parse_args()
    root = os.path.join(os.path.abspath(a.work), "emulator-root")
    os.makedirs(root, exist_ok=True)

    master, slave = os.openpty()
    tty.setraw(slave)
    os.set_blocking(master, False)
    env = dict(os.environ, TIDEWIRE_HOME=root)
    out = open(os.path.join(a.work, "emulator.out"), "wb")
    proc = subprocess.Popen([a.binary, "--emulate", "--home", root, "--com",
                             "1=" + os.ttyname(slave)], env=env, stdout=out,
                            stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    logs = os.path.join(root, "Logs", "port1", "NMEA-*.CSV")
    end = time.time() + 30
    while time.time() < end and proc.poll() is None and not glob.glob(logs):
        time.sleep(0.05)
    if not glob.glob(logs):
        print("emulator burst: the emulator did not open its port and its NMEA log")
        proc.kill()
        proc.wait()
        return 2

    sent = [host_line(n) for n in range(1, a.lines + 1)]
    pending = "".join(t + "\r\n" for t in sent).encode("ascii")
    received = b""
    answers, errors = [], {}
    last_news = time.time()
    # Everything is written as fast as the pseudo-terminal takes it, and what
    # comes back is read meanwhile so that the emulator's writes never wait.
    while len(answers) < a.lines and time.time() - last_news < a.quiet:
        if proc.poll() is not None:
            break
        readable, writable, _ = select.select([master], [master] if pending else [], [], 0.2)
        if writable:
            pending = pending[os.write(master, pending):]
        if readable:
            try:
                received += os.read(master, 65536)
            except OSError:
                continue
            *lines, received = received.split(b"\n")
            for line in lines:
                m = ANSWER.match(line)
                if m:
                    answers.append(int(m.group(1)))
                    last_news = time.time()
                m = ERROR.match(line)
                if m:
                    errors[int(m.group(1))] = errors.get(int(m.group(1)), 0) + 1
    alive = proc.poll() is None
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()

    _, records, _ = read_log(root)
    logged = [text for _, text in records if text.startswith("$CC")]
    failures = []
    if pending:
        failures.append("%d bytes of the burst were never taken by the emulator" % len(pending))
    if logged != sent:
        failures.append("NMEA log: %d of %d host lines logged, %d missing"
                        % (len(logged), len(sent), len(set(sent) - set(logged))))
    if answers != list(range(1, a.lines + 1)):
        failures.append("answers: %d for %d host lines, %d of the lines unanswered"
                        % (len(answers), a.lines,
                           a.lines - len(set(answers) & set(range(1, a.lines + 1)))))
    if errors:
        failures.append("NMEA errors for well-formed lines: " + ", ".join(
            "%d of error %d" % (count, code) for code, count in sorted(errors.items())))
    if not alive:
        failures.append("the emulator was not running at the end")
    print("emulator burst: %d host lines written at once, %d answered, %d logged, "
          "%d NMEA errors" % (a.lines, len(answers), len(logged), sum(errors.values())))
    for f in failures:
        print("emulator burst: FAILED: " + f)
    if not failures:
        print("emulator burst: every check held")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
