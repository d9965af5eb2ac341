#!/usr/bin/env python3
"""The highest steady rate of 48-byte modem sentences Tidewire keeps with nothing lost.

Tidewire runs without a window (QT_QPA_PLATFORM=offscreen, so the CPU figure is the
receive path's, not a display's) on one side of a pseudo-terminal, its modem port set to
BAUD by a configuration file, connected, with its NMEA log on. For a rate R the far side
writes R numbered "$CAREV" sentences a second (48 bytes each with their checksum and CR LF)
for SECONDS, then the NMEA log is read back. A rate is kept when every sentence is in the
log exactly once and in order, and the log has caught up within LAG seconds (0.25) of the
last write: a backlog that grows would lose sentences in a longer run. (A program that keeps
rate C for ever can pass up to C * (1 + LAG / SECONDS), 5 % more with the defaults.) Each
rate is tried on a fresh program. The search doubles from START while rates are kept, up to
CAP, then bisects between the highest kept and the lowest not kept; the line rate is tried
too if the search did not come to it.

CPU is the program's time on a CPU over the sending (/proc/PID/task/*/schedstat, with the
clock ticks of /proc/PID/stat beside it), as % of one core.

A pseudo-terminal has no baud rate of its own: the port's setting is applied to it (and
checked) but does not pace the bytes, so rates above the line rate can be tried. The line
rate is BAUD / 10 bits a byte / 48 bytes (240 a second at 115,200 baud).

Progress goes to standard error, the results to --json (and a summary to standard output).
"""
import argparse
import glob
import json
import os
import select
import signal
import subprocess
import sys
import termios
import time
import tty

# The CPU readings of the GUI benchmark beside this file.
from gui_bench import cpu_ticks, run_ns

SENTENCE_BYTES = 48
TICK = os.sysconf("SC_CLK_TCK")
CONNECT, NMEA_LOG_START = 256, 40026


def say(*parts):
    print(time.strftime("%H:%M:%S"), *parts, file=sys.stderr, flush=True)


def checksum(body):
    c = 0
    for b in body.encode("ascii"):
        c ^= b
    return c


def sentence(seq):
    """Sentence number `seq`: a revision report carrying `seq` in its time and version
    fields, exactly 48 bytes with its checksum and CR LF."""
    body = "CAREV,%06d,AUV,0.93.0.%018d" % (seq % 1000000, seq)
    text = "$%s*%02X" % (body, checksum(body))
    assert len(text) + 2 == SENTENCE_BYTES
    return text


def speed_constant(baud):
    name = "B%d" % baud
    if not hasattr(termios, name):
        sys.exit("line_rate: no such baud rate %d" % baud)
    return getattr(termios, name)


class LogTail:
    """Counts the records of the NMEA log as they are written, reading only new bytes."""

    def __init__(self, root):
        self.root = root
        self.path = None
        self.offset = 0
        self.records = 0

    def count(self):
        if self.path is None:
            found = sorted(glob.glob(os.path.join(self.root, "Logs", "port1", "NMEA-*.CSV")))
            if not found:
                return 0
            self.path = found[0]
        with open(self.path, "rb") as f:
            f.seek(self.offset)
            data = f.read()
        end = data.rfind(b"\r\n")
        if end >= 0:
            self.records += data[:end + 2].count(b"\r\n")
            self.offset += end + 2
        return self.records

    def received(self):
        """The texts of every record from the modem port, oldest log file first."""
        texts = []
        for name in sorted(glob.glob(os.path.join(self.root, "Logs", "port*", "NMEA-*.CSV"))):
            with open(name, "rb") as f:
                for line in f.read().decode("latin-1").split("\r\n")[:-1]:
                    fields = line.split(",", 4)
                    if fields[0] == "1" and len(fields) == 5:
                        texts.append(fields[4])
        return texts


def write_all(fd, data, deadline):
    while data:
        _, ready, _ = select.select([], [fd], [], max(0.0, deadline - time.monotonic()))
        if not ready:
            return False
        data = data[os.write(fd, data):]
    return True


def drain(fd):
    """Reads what the program wrote to its port, so that its writes never wait."""
    try:
        while select.select([fd], [], [], 0)[0]:
            if not os.read(fd, 65536):
                return
    except OSError:
        pass  # the program has not opened its side yet, or closed it


def stop(proc):
    for sig, grace in ((signal.SIGTERM, 10), (signal.SIGKILL, 10)):
        try:
            proc.send_signal(sig)
            proc.wait(timeout=grace)
            return
        except subprocess.TimeoutExpired:
            pass
        except ProcessLookupError:
            return


def trial(a, rate):
    """Tries one rate on a fresh program; returns its figures."""
    folder = os.path.join(a.work, "rate-%d" % rate)
    root = os.path.join(folder, "root")
    os.makedirs(os.path.join(folder, "home"), exist_ok=True)
    config = os.path.join(folder, "port.twc")
    with open(config, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<tidewire version="1">\n'
                "  <modemBaudRate>%d</modemBaudRate>\n</tidewire>\n" % a.baud)
    master, slave = os.openpty()
    tty.setraw(slave)
    os.set_blocking(master, False)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=os.path.join(folder, "home"))
    argv = [a.tidewire, "--home", root, "--com", "1=" + os.ttyname(slave), "--config", config,
            "--menu", str(CONNECT), "--menu", str(NMEA_LOG_START)]
    proc = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL,
                            stdout=open(os.path.join(folder, "tidewire.out"), "wb"),
                            stderr=subprocess.STDOUT)
    log = LogTail(root)
    result = {"rate": rate}
    try:
        deadline = time.monotonic() + 30
        while log.path is None and proc.poll() is None and time.monotonic() < deadline:
            log.count()
            time.sleep(0.05)
        if log.path is None:
            raise RuntimeError("the program did not connect and start its NMEA log")
        if termios.tcgetattr(slave)[4] != speed_constant(a.baud):
            raise RuntimeError("the program did not set its port to %d baud" % a.baud)
        time.sleep(a.settle_s)  # start-up work done before the CPU is counted
        total = int(round(rate * a.seconds))
        sent = [sentence(i) for i in range(total)]
        wire = [(t + "\r\n").encode("ascii") for t in sent]
        t0 = time.monotonic()
        ns0, ticks0 = run_ns(proc.pid), cpu_ticks(proc.pid)
        i = 0
        late = 0
        while i < total:
            now = time.monotonic()
            due = min(total, int((now - t0) * rate) + 1)
            if due > i:
                if now - (t0 + i / rate) > 0.05:
                    late += 1  # a batch went out more than 50 ms after it was due
                if not write_all(master, b"".join(wire[i:due]), time.monotonic() + 10):
                    raise RuntimeError("the program stopped reading its port at %d/s" % rate)
                i = due
            drain(master)
            if i < total:
                # Pacing; at high rates a few sentences go out together, as they
                # arrive from a serial adapter.
                time.sleep(max(t0 + i / rate - time.monotonic(), 0.004))
        t1 = time.monotonic()
        ns1, ticks1 = run_ns(proc.pid), cpu_ticks(proc.pid)
        # Caught up: the log holds as many records as were sent within LAG.
        while log.count() < total and time.monotonic() < t1 + a.lag_s:
            drain(master)
            time.sleep(0.01)
        lag_ok = log.count() >= total
        # Whatever is still on its way, for an exact count of the lost.
        settle = time.monotonic() + 5
        last = -1
        while log.count() != last and log.count() < total and time.monotonic() < settle:
            last = log.records
            drain(master)
            time.sleep(0.2)
        logged = log.received()
        seconds = t1 - t0
        missing = len(set(sent) - set(logged))
        result.update(sent=total, logged=len(logged), lost=missing,
                      in_order_once=logged == sent, caught_up=lag_ok,
                      kept=logged == sent and lag_ok, seconds=round(seconds, 3),
                      writer_late=late,
                      cpu_pct=round(100.0 * (ns1 - ns0) / 1e9 / seconds, 2),
                      cpu_pct_ticks=round(100.0 * (ticks1 - ticks0) / TICK / seconds, 2))
        if proc.poll() is not None:
            result["kept"] = False
            result["error"] = "the program ended (code %s)" % proc.returncode
    except RuntimeError as e:
        result.update(kept=False, error=str(e))
    finally:
        stop(proc)
        os.close(master)
        os.close(slave)
    return result


def search(a, line_rate):
    trials = []

    def tried(rate):
        r = trial(a, rate)
        trials.append(r)
        say("line rate: %5d/s: %s" % (rate, describe(r)))
        return r["kept"]

    best, worst = 0, None
    rate = a.start
    while True:
        if tried(rate):
            best = rate
            if rate >= a.cap:
                break
            rate = min(rate * 2, a.cap)
        else:
            worst = rate
            break
    if worst is not None:
        while worst - best > max(2, best // 20):
            mid = (best + worst) // 2
            if mid <= best:
                break
            if tried(mid):
                best = mid
            else:
                worst = mid
    if line_rate <= a.cap and all(t["rate"] != line_rate for t in trials):
        tried(line_rate)  # what is lost there, for the table
    return best, trials


def describe(r):
    if "error" in r and "sent" not in r:
        return "FAILED: " + r["error"]
    text = "%d sent, %d lost, %s, %s, CPU %.1f %%" % (
        r["sent"], r["lost"], "all once in order" if r["in_order_once"] else "NOT once in order",
        "caught up" if r["caught_up"] else "log behind", r["cpu_pct"])
    return text + (" (%s)" % r["error"] if "error" in r else "")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--tidewire", required=True)
    ap.add_argument("--work", required=True, help="a folder for the runs' files")
    ap.add_argument("--json", help="where the results go (default WORK/line_rate.json)")
    ap.add_argument("--baud", type=int, default=115200)
    ap.add_argument("--seconds", type=float, default=5.0, help="length of each rate's run")
    ap.add_argument("--start", type=int, default=30, help="first rate tried")
    ap.add_argument("--cap", type=int, default=2400, help="highest rate tried")
    ap.add_argument("--lag-s", type=float, default=0.25,
                    help="how far behind the log may be when the sending ends")
    ap.add_argument("--settle-s", type=float, default=1.0)
    a = ap.parse_args()
    a.tidewire = os.path.realpath(a.tidewire)
    os.makedirs(a.work, exist_ok=True)
    line_rate = a.baud / 10.0 / SENTENCE_BYTES
    say("line rate: searching from %d/s up to %d/s, %g s a rate, %d baud (line rate %g/s)"
        % (a.start, a.cap, a.seconds, a.baud, line_rate))
    best, trials = search(a, int(line_rate))
    at_best = next((t for t in trials if t["rate"] == best and t["kept"]), None)
    at_line = next((t for t in trials if t["rate"] == int(line_rate)), None)
    out = {"baud": a.baud, "sentence_bytes": SENTENCE_BYTES, "line_rate": line_rate,
           "cap": a.cap, "seconds": a.seconds, "best_rate": best,
           "cpu_pct_at_best": at_best["cpu_pct"] if at_best else None,
           "at_line_rate": at_line, "trials": trials}
    with open(a.json or os.path.join(a.work, "line_rate.json"), "w") as f:
        json.dump(out, f, indent=1)
    print("highest rate kept with nothing lost: %d/s (CPU %s %%); at the line rate %g/s: %s"
          % (best, out["cpu_pct_at_best"], line_rate,
             describe(at_line) if at_line else "not tried"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
