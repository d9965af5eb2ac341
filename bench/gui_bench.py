#!/usr/bin/env python3
"""Tidewire's desktop figures, side by side with a bare Qt 6 window and CuteCom.

Everything runs on one Xvfb display and on pseudo-terminal pairs made by socat; every
process this script starts is ended by its process id when it is done.

Sections (--sections, comma separated):
  compare   start-up to a mapped window, RSS 3 s later, idle CPU with the port open and CPU
            while LINES_PER_S modem-like lines arrive, for Tidewire, the bare window (idle
            only: it has no port) and CuteCom; the X server's CPU beside each.
  latency   Tidewire answering data requests with test data: the time from a request
            written on the far end of the pty to the last byte of the answer read there.
  rss       Tidewire receiving LINES_PER_S lines for --rss-s seconds: RSS after the first
            minute and at the end.

Progress goes to standard error, one line per step; every sample goes to --json; the
summary table is printed on standard output at the end.
"""
import argparse
import glob
import json
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import termios
import threading
import time

TICK = os.sysconf("SC_CLK_TCK")

# CuteCom keeps its sessions in this file under $XDG_CONFIG_HOME; the session below
# opens the pty at 19200 8-N-1. RTS/CTS flow control keeps it from setting DTR/RTS,
# which a pty refuses (CuteCom would then show an error box and close the port).
CUTECOM_SESSION = """[CuteCom]
session=Default

[sessions]
1\\name=Default
1\\BaudRate=19200
1\\DataBits=8
1\\Parity=0
1\\StopBits=1
1\\FlowControl=1
1\\OpenMode=3
1\\Device={device}
1\\showCtrlCharacters=false
1\\showTimestamp=false
1\\autoReconnect=false
size=1
"""

USE_TEST_DATA_ACK = 40109  # menu command: answer data requests with test data


def say(*parts):
    print(time.strftime("%H:%M:%S"), *parts, file=sys.stderr, flush=True)


# ------------------------------------------------------------------ sentences
def with_checksum(body):
    cs = 0
    for b in body.encode("ascii"):
        cs ^= b
    return ("$%s*%02X\r\n" % (body, cs)).encode("ascii")


def stream_line(i):
    """The i-th line of the load stream: modem-like sentences of 15 to 45 bytes."""
    hexdigits = "0123456789ABCDEF" * 2
    kind = i % 4
    if kind == 0:
        body = "CAAGC,%03d" % (i % 1000)
    elif kind == 1:
        body = "CACYC,1,%d,%d,0,1,1" % (i % 16, (i + 3) % 16)
    elif kind == 2:
        body = "CAREV,%02d%02d%02d,AUV,0.93.0.%d" % ((i // 3600) % 24, (i // 60) % 60, i % 60, i % 100)
    else:
        body = "CAXST,%s" % hexdigits[:(i * 7) % 25]
    return with_checksum(body)


def data_request(i, length):
    return with_checksum("CADRQ,%02d%02d%02d,1,0,1,%d" % ((i // 3600) % 24, (i // 60) % 60, i % 60,
                                                        length))


# ------------------------------------------------------------------ /proc
def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime of all threads


def run_ns(pid):
    """Time on a CPU of the process's threads, in ns: finer than the clock ticks."""
    total = 0
    for path in glob.glob("/proc/%d/task/*/schedstat" % pid):
        try:
            with open(path) as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass  # a thread that ended meanwhile
    return total


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for ln in f:
            if ln.startswith("VmRSS:"):
                return int(ln.split()[1])
    return 0


def has_open(pid, path):
    real = os.path.realpath(path)
    for fd in glob.glob("/proc/%d/fd/*" % pid):
        try:
            if os.readlink(fd) == real:
                return True
        except OSError:
            pass
    return False


# ------------------------------------------------------------------ processes
class Processes:
    """Every process started here, so that each can be ended by its id."""

    def __init__(self):
        self.live = []

    def start(self, argv, **kw):
        p = subprocess.Popen(argv, **kw)
        self.live.append(p)
        return p

    def stop(self, p):
        if p.poll() is None:
            try:
                p.send_signal(signal.SIGTERM)
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait(5)
            except ProcessLookupError:
                pass
        if p in self.live:
            self.live.remove(p)

    def stop_all(self):
        for p in reversed(list(self.live)):
            self.stop(p)


class Writer(threading.Thread):
    """Writes RATE lines per second to a pty end on absolute deadlines, so pacing
    does not drift; counts the lines that went out more than one period late."""

    def __init__(self, path, rate, seconds):
        super().__init__(daemon=True)
        self.path, self.rate, self.seconds = path, rate, seconds
        self.sent = 0
        self.late = 0
        self.stop_flag = threading.Event()

    def run(self):
        fd = os.open(self.path, os.O_WRONLY | os.O_NOCTTY)
        period = 1.0 / self.rate
        t0 = time.monotonic()
        n = int(round(self.rate * self.seconds))
        try:
            for i in range(n):
                if self.stop_flag.is_set():
                    break
                due = t0 + i * period
                wait = due - time.monotonic()
                if wait > 0:
                    self.stop_flag.wait(wait)
                elif -wait > period:
                    self.late += 1
                os.write(fd, stream_line(i))
                self.sent += 1
        finally:
            os.close(fd)


class Bench:
    def __init__(self, a):
        self.a = a
        self.procs = Processes()
        self.samples = []
        self.env = dict(os.environ)
        self.env["DISPLAY"] = a.display
        self.env["XDG_CONFIG_HOME"] = os.path.join(a.work, "config")
        self.env["XDG_RUNTIME_DIR"] = os.path.join(a.work, "runtime")
        for k in ("DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR",
                  "QT_STYLE_OVERRIDE", "WAYLAND_DISPLAY"):
            self.env.pop(k, None)
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        os.chmod(self.env["XDG_RUNTIME_DIR"], 0o700)
        self.xvfb = None
        self.socat = None

    def quiet(self, name):
        return open(os.path.join(self.a.work, name + ".log"), "a")

    def x_ok(self):
        return subprocess.run(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    # ---- the X server and the pty pair
    def start_x(self):
        if self.a.display == "auto":
            # The first display from :42 on with neither a lock file nor a socket.
            for n in range(42, 200):
                if not (os.path.exists("/tmp/.X%d-lock" % n) or
                        os.path.exists("/tmp/.X11-unix/X%d" % n)):
                    self.a.display = ":%d" % n
                    break
            self.env["DISPLAY"] = self.a.display
        num = self.a.display.lstrip(":")
        if os.path.exists("/tmp/.X%s-lock" % num):
            sys.exit("display %s is in use; pick another with --display" % self.a.display)
        # -noreset: the server stays as it is between two programs, like a desktop.
        self.xvfb = self.procs.start(["Xvfb", self.a.display, "-screen", "0", "1280x1024x24",
                                      "-noreset"], stdout=subprocess.DEVNULL,
                                     stderr=self.quiet("xvfb"))
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            if self.x_ok():
                return
            time.sleep(0.1)
        sys.exit("Xvfb did not start on %s" % self.a.display)

    def start_pty_pair(self):
        near = os.path.join(self.a.work, "ttyNear")
        far = os.path.join(self.a.work, "ttyFar")
        for p in (near, far):
            if os.path.islink(p):
                os.unlink(p)
        self.socat = self.procs.start(["socat", "pty,raw,echo=0,link=" + near,
                                       "pty,raw,echo=0,link=" + far],
                                      stdout=subprocess.DEVNULL, stderr=self.quiet("socat"))
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            if os.path.exists(near) and os.path.exists(far):
                time.sleep(0.05)
                return near, far
            time.sleep(0.02)
        sys.exit("socat made no pty pair")

    def stop_pty_pair(self):
        if self.socat:
            self.procs.stop(self.socat)
            self.socat = None

    # ---- programs
    def launch(self, argv, wm_class, name):
        """Starts a program; returns it and the seconds until its window was mapped."""
        t0 = time.monotonic()
        p = self.procs.start(argv, env=self.env, stdout=subprocess.DEVNULL,
                             stderr=self.quiet(name))
        deadline = t0 + 30
        while time.monotonic() < deadline:
            r = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", wm_class],
                               env=self.env, capture_output=True, text=True)
            if r.stdout.strip():
                return p, time.monotonic() - t0, r.stdout.split()[0]
            if p.poll() is not None:
                raise RuntimeError("%s ended (code %s) before its window appeared" %
                                   (name, p.returncode))
            time.sleep(0.01)
        self.procs.stop(p)
        raise RuntimeError("%s showed no window within 30 s" % name)

    def tidewire(self, near, extra=()):
        home = os.path.join(self.a.work, "home")
        shutil.rmtree(home, ignore_errors=True)
        argv = [self.a.tidewire, "--home", home, "--com", "1=" + near, "--connect"]
        for m in extra:
            argv += ["--menu", str(m)]
        p, startup, wid = self.launch(argv, "tidewire", "tidewire")
        deadline = time.monotonic() + 5
        while not has_open(p.pid, near):
            if time.monotonic() > deadline:
                raise RuntimeError("Tidewire did not open its port")
            time.sleep(0.05)
        return p, startup, wid

    def cutecom(self, near):
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "CuteCom")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "CuteCom5.conf"), "w") as f:
            f.write(CUTECOM_SESSION.format(device=near))
        p, startup, wid = self.launch(["cutecom"], "cutecom", "cutecom")
        return p, startup, wid

    def cutecom_open_port(self, p, wid, near):
        # CuteCom has no option to open its port at start: press its Open button.
        subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=self.env,
                       capture_output=True)
        subprocess.run(["xdotool", "key", "--clearmodifiers", "alt+o"], env=self.env,
                       capture_output=True)
        deadline = time.monotonic() + 5
        while not has_open(p.pid, near):
            if time.monotonic() > deadline:
                raise RuntimeError("CuteCom did not open its port")
            time.sleep(0.05)
        time.sleep(0.3)
        fd = os.open(near, os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
        try:
            speed = termios.tcgetattr(fd)[4]
        finally:
            os.close(fd)
        if speed != termios.B19200:
            raise RuntimeError("CuteCom opened its port at another speed")

    def cpu_over(self, pid, seconds=None, thread=None):
        """% of one core used by pid and by the X server over a sleep or a writer's run:
        from the scheduler's nanoseconds, and from the clock ticks as a cross-check."""
        x = self.xvfb.pid
        t0 = time.monotonic()
        p0, x0, pt0, xt0 = run_ns(pid), run_ns(x), cpu_ticks(pid), cpu_ticks(x)
        if thread is not None:
            thread.join()
        else:
            time.sleep(seconds)
        p1, x1, pt1, xt1 = run_ns(pid), run_ns(x), cpu_ticks(pid), cpu_ticks(x)
        el = time.monotonic() - t0
        return {"seconds": round(el, 2),
                "cpu_pct": round(100.0 * (p1 - p0) / 1e9 / el, 4),
                "x_cpu_pct": round(100.0 * (x1 - x0) / 1e9 / el, 4),
                "cpu_pct_ticks": round(100.0 * (pt1 - pt0) / TICK / el, 4),
                "x_cpu_pct_ticks": round(100.0 * (xt1 - xt0) / TICK / el, 4)}

    def record(self, **kw):
        self.samples.append(kw)

    # ---- sections
    def one_program(self, name):
        a = self.a
        for kind in ("idle", "load"):
            if name == "bare" and kind == "load":
                continue
            near, far = self.start_pty_pair()
            try:
                if name == "tidewire":
                    p, startup, wid = self.tidewire(near)
                elif name == "cutecom":
                    p, startup, wid = self.cutecom(near)
                else:
                    p, startup, wid = self.launch([a.bare], "bare_window", "bare")
                time.sleep(3.0)
                rss3 = rss_kib(p.pid)
                if name == "cutecom":
                    self.cutecom_open_port(p, wid, near)
                if kind == "idle":
                    self.record(program=name, kind="startup", ms=round(startup * 1000, 1),
                                rss_kib=rss3)
                time.sleep(a.settle_s)
                if kind == "idle":
                    cpu = self.cpu_over(p.pid, seconds=a.idle_s)
                else:
                    w = Writer(far, a.rate, a.load_s)
                    w.start()
                    cpu = self.cpu_over(p.pid, thread=w)
                    cpu.update(lines=w.sent, late=w.late)
                self.record(program=name, kind=kind, rss_end_kib=rss_kib(p.pid), **cpu)
                self.procs.stop(p)
            finally:
                self.stop_pty_pair()

    def warm_up(self, name):
        near, far = self.start_pty_pair()
        try:
            if name == "tidewire":
                p, _, _ = self.tidewire(near)
            elif name == "cutecom":
                p, _, _ = self.cutecom(near)
            else:
                p, _, _ = self.launch([self.a.bare], "bare_window", "bare")
            self.procs.stop(p)
        finally:
            self.stop_pty_pair()

    def compare(self):
        programs = ["tidewire", "bare"] + ([] if self.a.skip_cutecom else ["cutecom"])
        # A first launch of each warms the page cache and font caches; not counted.
        for name in programs:
            self.guarded(name, "warm-up", self.warm_up, name)
        # Rounds run the programs in turn, so that a busy spell of the machine
        # falls on all of them rather than on one.
        for rep in range(1, self.a.reps + 1):
            for name in programs:
                say("compare: %s, round %d of %d (idle %g s, %g lines/s for %g s)" %
                    (name, rep, self.a.reps, self.a.idle_s, self.a.rate, self.a.load_s))
                self.guarded(name, "compare", self.one_program, name)

    def guarded(self, program, section, step, *args):
        """Runs one step; a failure is recorded and shown in the table, and the
        other steps still run."""
        try:
            step(*args)
        except (RuntimeError, OSError, subprocess.SubprocessError) as e:
            say("%s: %s failed: %s" % (section, program, e))
            self.record(program=program, kind="error", section=section, text=str(e))
            # Whatever that step left running is ended before the next one starts.
            for p in list(self.procs.live):
                if p is not self.xvfb:
                    self.procs.stop(p)
            self.socat = None

    def latency(self):
        a = self.a
        say("latency: %d data requests" % a.requests)
        near, far = self.start_pty_pair()
        try:
            p, _, _ = self.tidewire(near, extra=[USE_TEST_DATA_ACK])
            time.sleep(a.settle_s)
            fd = os.open(far, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
            times = []
            missed = 0
            pending = b""
            try:
                for i in range(a.requests):
                    length = 32 if i % 2 == 0 else 256
                    # Requests land at every phase of the program's poll.
                    time.sleep(0.010 + (i * 7 % 23) / 1000.0)
                    t0 = time.monotonic()
                    os.write(fd, data_request(i, length))
                    answer = None
                    deadline = t0 + 2.0
                    while answer is None and time.monotonic() < deadline:
                        ready, _, _ = select.select([fd], [], [], 0.1)
                        if not ready:
                            continue
                        pending += os.read(fd, 65536)
                        start = pending.find(b"$CCTXD")
                        if start >= 0:
                            end = pending.find(b"\r\n", start)
                            if end >= 0:
                                answer = pending[start:end + 2]
                                pending = pending[end + 2:]
                    if answer is None:
                        missed += 1
                        pending = b""
                    else:
                        times.append((time.monotonic() - t0) * 1000.0)
            finally:
                os.close(fd)
            self.procs.stop(p)
        finally:
            self.stop_pty_pair()
        times.sort()
        self.record(program="tidewire", kind="latency", requests=a.requests, answered=len(times),
                    missed=missed, p50_ms=round(percentile(times, 50), 2),
                    p99_ms=round(percentile(times, 99), 2),
                    max_ms=round(times[-1], 2) if times else None)

    def rss(self):
        a = self.a
        say("rss: %g lines/s for %g s" % (a.rate, a.rss_s))
        near, far = self.start_pty_pair()
        try:
            p, _, _ = self.tidewire(near)
            time.sleep(a.settle_s)
            w = Writer(far, a.rate, a.rss_s)
            t0 = time.monotonic()
            w.start()
            series = []
            next_at = 0.0
            while w.is_alive():
                now = time.monotonic() - t0
                if now >= next_at:
                    series.append((round(now, 1), rss_kib(p.pid)))
                    next_at += 60.0
                w.join(min(1.0, max(0.0, next_at - now)))
            if p.poll() is not None:
                raise RuntimeError("Tidewire ended during the RSS run")
            end = rss_kib(p.pid)
            after_minute = next((k for t, k in series if t >= 60.0), None)
            self.procs.stop(p)
        finally:
            self.stop_pty_pair()
        self.record(program="tidewire", kind="rss", seconds=a.rss_s, lines=w.sent, late=w.late,
                    rss_minute_kib=after_minute, rss_end_kib=end, series=series)

    def run(self):
        os.makedirs(self.a.work, exist_ok=True)
        try:
            self.start_x()
            for s in self.a.sections:
                if s == "compare":
                    self.compare()
                else:
                    self.guarded("tidewire", s, getattr(self, s))
        finally:
            self.stop_pty_pair()
            self.procs.stop_all()
            with open(self.a.json, "w") as f:
                json.dump({"args": vars(self.a), "samples": self.samples}, f, indent=1)


def percentile(sorted_values, q):
    if not sorted_values:
        return float("nan")
    k = max(0, min(len(sorted_values) - 1, int(round(q / 100.0 * len(sorted_values) + 0.5)) - 1))
    return sorted_values[k]


def parse():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--tidewire", required=True)
    ap.add_argument("--bare", help="the bare Qt 6 window's binary (compare)")
    ap.add_argument("--sections", default="compare,latency")
    ap.add_argument("--display", default="auto", help=":N, or auto for the first free one")
    ap.add_argument("--work", default="/tmp/tidewire-bench")
    ap.add_argument("--json", help="where the samples go (default WORK/gui.json)")
    ap.add_argument("--rate", type=float, default=50.0, help="lines per second under load")
    ap.add_argument("--idle-s", type=float, default=30.0)
    ap.add_argument("--load-s", type=float, default=30.0)
    ap.add_argument("--settle-s", type=float, default=3.0)
    ap.add_argument("--requests", type=int, default=1000)
    ap.add_argument("--rss-s", type=float, default=3600.0)
    ap.add_argument("--reps", type=int, default=1,
                    help="rounds of the comparison; the table shows medians")
    ap.add_argument("--skip-cutecom", action="store_true")
    a = ap.parse_args()
    a.sections = [s for s in a.sections.split(",") if s]
    for s in a.sections:
        if s not in ("compare", "latency", "rss"):
            ap.error("unknown section '%s'" % s)
    if "compare" in a.sections and not a.bare:
        ap.error("compare needs --bare")
    if a.json is None:
        a.json = os.path.join(a.work, "gui.json")
    return a


if __name__ == "__main__":
    args = parse()
    Bench(args).run()
