#!/usr/bin/env python3
"""Plays a modem on a pseudo-terminal against a running Tidewire for a while,
then checks what the program made of it.

Tidewire is started on the other side of the pair (under strace, so every
file it writes, creates, renames or removes is seen), connected, with test
data answering data requests and the NMEA log started. The peer sends a mix
of modem sentences at a steady rate, each one carrying its own sequence
number, a quarter of them data requests, and reads everything that comes
back. Once in the run (before the memory's warm-up value is read) it sends
BURST sentences back to back at the line rate of the port (the program sets
it to BAUD from a configuration file), far more than the program's receive
ring holds, then goes on at the steady rate. At the end it checks:

  * every sentence sent, the burst's too, is in the NMEA log once, in order,
    as sent;
  * every data request was answered with a frame of the asked length;
  * the resident memory at the end is within the allowed growth of the
    value after the warm-up (a minute, or a third of a short run);
  * nothing was written outside the data root.

Exit code 0 when every check holds, 1 when one fails, 2 when the run could
not be made. The figures go to standard output.
"""

import argparse
import glob
import os
import select
import signal
import subprocess
import sys
import termios
import threading
import time
import tty

from soak_checks import outside_writes, read_log


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--binary", required=True, help="the tidewire program")
    p.add_argument("--work", required=True, help="an empty folder for this run")
    p.add_argument("--seconds", type=float, default=3600.0)
    p.add_argument("--rate", type=float, default=40.0, help="sentences per second")
    p.add_argument("--rss-slack-kib", type=int, default=1024)
    p.add_argument("--baud", type=int, default=115200, help="the modem port's baud rate")
    p.add_argument("--burst", type=int, default=600,
                   help="sentences sent back to back at the line rate once (0: none)")
    return p.parse_args()


# ------------------------------------------------------------------ traffic

def sentence(seq):
    """Sentence number `seq` of the run, and the data request it makes (as
    (source, destination, length)) or None. Every sentence names `seq`, so a
    lost, doubled or reordered one shows in the log."""
    kind = seq % 8
    if kind in (0, 4):
        src, dst = seq % 16, (seq // 16) % 16
        length = 1 + (seq * 37) % 256
        if seq % 200 == 0:
            length = 1024  # now and then a long answer
        return "$CADRQ,%06d,%d,%d,1,%d" % (seq % 1000000, src, dst, length), (src, dst, length)
    if kind == 1:
        return "$CAREV,%06d,AUV,1.%d" % (seq % 1000000, seq), None
    if kind == 2:
        payload = "".join("%02x" % ((seq + k) % 256) for k in range(32))
        return "$CARXD,1,0,0,%d,%s" % (seq, payload), None
    if kind == 3:
        return "$CACYC,1,0,1,%d,0,1" % seq, None
    if kind == 5:
        return "$CAMSG,SOAK %d,0" % seq, None
    if kind == 6:
        return "$CATXF,1,%d" % seq, None
    return "$CAAGC,%d" % seq, None


# ------------------------------------------------------------------ process

def rss_kib(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def traced_child(strace_pid, binary, timeout=20.0):
    """The pid of the program strace started, once it runs `binary`."""
    end = time.time() + timeout
    while time.time() < end:
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/stat" % entry) as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                if ppid == strace_pid and os.readlink("/proc/%s/exe" % entry) == binary:
                    return int(entry)
            except (OSError, ValueError, IndexError):
                continue
        time.sleep(0.05)
    return None


class Reader(threading.Thread):
    """Collects the sentences the program sends to the modem."""

    def __init__(self, fd):
        super().__init__(daemon=True)
        self.fd = fd
        self.lines = []
        self.stop = False
        self.pending = b""
        self.lock = threading.Lock()

    def run(self):
        while not self.stop:
            ready, _, _ = select.select([self.fd], [], [], 0.2)
            if not ready:
                continue
            try:
                chunk = os.read(self.fd, 65536)
            except OSError:
                time.sleep(0.05)  # nobody has the other side open yet
                continue
            self.pending += chunk
            *complete, self.pending = self.pending.split(b"\n")
            with self.lock:
                self.lines.extend(l.rstrip(b"\r").decode("latin-1") for l in complete)

    def answers(self):
        with self.lock:
            return [l for l in self.lines if l.startswith("$CCTXD,")]


def stop_program(proc, pid):
    """Ends the program (SIGTERM, then SIGKILL after a grace period) and
    waits for strace to finish its trace."""
    for sig, grace in ((signal.SIGTERM, 10), (signal.SIGKILL, 10)):
        try:
            os.kill(pid, sig)
        except OSError:
            pass
        try:
            proc.wait(timeout=grace)
            return sig.name
        except subprocess.TimeoutExpired:
            pass
    proc.kill()
    proc.wait()
    return "kill of strace"


def write_all(fd, data, deadline):
    while data:
        _, ready, _ = select.select([], [fd], [], max(0.0, deadline - time.time()))
        if not ready:
            return False
        n = os.write(fd, data)
        data = data[n:]
    return True


# ------------------------------------------------------------------ the run

def main():
    a = parse_args()
    work = os.path.abspath(a.work)
    root = os.path.join(work, "root")
    home = os.path.join(work, "home")
    cwd = os.path.join(work, "cwd")
    for d in (root, home, cwd):
        os.makedirs(d, exist_ok=True)
    trace = os.path.join(work, "files.trace")
    config = os.path.join(work, "port.twc")
    with open(config, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<tidewire version="1">\n'
                "  <modemBaudRate>%d</modemBaudRate>\n</tidewire>\n" % a.baud)

    master, slave = os.openpty()
    tty.setraw(slave)
    slave_path = os.ttyname(slave)
    os.set_blocking(master, False)

    env = dict(os.environ)
    env.update(HOME=home, QT_QPA_PLATFORM="offscreen", TIDEWIRE_HOME=root)
    os.chmod(home, 0o700)
    command = ["strace", "-f", "-qq", "--seccomp-bpf", "-o", trace, "-e", "trace=%file",
               "-e", "signal=none", a.binary, "--home", root, "--com", "1=" + slave_path,
               "--config", config, "--menu", "256", "--menu", "40109", "--menu", "40026"]
    log_out = open(os.path.join(work, "tidewire.out"), "wb")
    proc = subprocess.Popen(command, cwd=cwd, env=env, stdout=log_out, stderr=subprocess.STDOUT,
                            stdin=subprocess.DEVNULL)
    pid = traced_child(proc.pid, os.path.realpath(a.binary))
    if pid is None:
        print("soak: the program did not start")
        proc.kill()
        return 2

    reader = Reader(master)
    reader.start()
    # Connected and logging: the log file is there.
    end = time.time() + 60
    while time.time() < end and not glob.glob(os.path.join(root, "Logs", "port1", "NMEA-*.CSV")):
        if proc.poll() is not None:
            break
        time.sleep(0.1)
    if not glob.glob(os.path.join(root, "Logs", "port1", "NMEA-*.CSV")):
        print("soak: the program did not connect and start its NMEA log")
        proc.kill()
        return 2
    time.sleep(0.5)
    speed = termios.tcgetattr(slave)[4]
    if speed != getattr(termios, "B%d" % a.baud, None):
        print("soak: the program did not set its port to %d baud" % a.baud)
        stop_program(proc, pid)
        return 2

    warm_at = min(60.0, a.seconds / 3.0)
    # The burst comes halfway to the warm-up, so the memory is judged after it.
    burst_from = int(warm_at / 2 * a.rate) if a.burst > 0 else -1
    burst_end = burst_from + max(a.burst, 0)
    line_bytes_per_s = a.baud / 10.0
    burst_start = burst_seconds = 0.0
    burst_bytes = 0
    sent = []
    requests = []
    rss_warm = None
    rss_max = 0
    late = 0
    start = time.time()
    base, base_seq = start, 0  # the steady schedule: sentence base_seq due at base
    seq = 0
    total = int(a.seconds * a.rate) + max(a.burst, 0)
    while seq < total:
        in_burst = burst_from <= seq < burst_end
        if seq == burst_from:
            burst_start = time.time()
        elif seq == burst_end:
            burst_seconds = time.time() - burst_start
            base, base_seq = time.time(), seq
        due = burst_start + burst_bytes / line_bytes_per_s if in_burst else \
            base + (seq - base_seq) / a.rate
        now = time.time()
        if due > now:
            time.sleep(due - now)
        elif now - due > 1.0 and not in_burst:
            late += 1
        text, request = sentence(seq)
        data = (text + "\r\n").encode()
        if not write_all(master, data, time.time() + 10):
            print("soak: the program stopped reading its port at sentence %d" % seq)
            break
        if in_burst:
            burst_bytes += len(data)
        sent.append(text)
        if request:
            requests.append(request)
        seq += 1
        if seq % int(a.rate) == 0:
            if proc.poll() is not None:
                print("soak: the program ended during the run (code %s)" % proc.returncode)
                break
            r = rss_kib(pid) or 0
            rss_max = max(rss_max, r)
            if rss_warm is None and time.time() - start >= warm_at and seq > burst_end:
                rss_warm = r
    elapsed = time.time() - start
    if seq == burst_end and burst_seconds == 0.0:
        burst_seconds = time.time() - burst_start  # the burst ended the run

    # Let the last sentences through and their answers back.
    end = time.time() + 15
    while time.time() < end and len(reader.answers()) < len(requests):
        time.sleep(0.1)
    time.sleep(1.0)
    rss_end = rss_kib(pid)
    alive = proc.poll() is None
    ended_by = stop_program(proc, pid)
    reader.stop = True

    # ---- checks
    failures = []
    files, records, bad_records = read_log(root)
    incoming = [text for port, text in records if port == 1]
    outgoing = [text for port, text in records if port == 0]
    if incoming != sent:
        missing = len(set(sent) - set(incoming))
        extra = len(incoming) - len(sent)
        first = next((i for i, (x, y) in enumerate(zip(incoming, sent)) if x != y),
                     min(len(incoming), len(sent)))
        failures.append("NMEA log: %d of %d sentences logged, %d missing, first difference at "
                        "%d (%s)" % (len(incoming), len(sent), missing, first,
                                     incoming[first] if first < len(incoming) else "end of log"))
        del extra
    if burst_from >= 0:
        logged = set(incoming)
        burst_lost = sum(1 for t in sent[burst_from:burst_end] if t not in logged)
        burst_line = ("soak: burst: %d sentences, %d bytes at the line rate of %d baud in "
                      "%.2f s; %d of them missing from the NMEA log"
                      % (len(sent[burst_from:burst_end]), burst_bytes, a.baud, burst_seconds,
                         burst_lost))
    if bad_records:
        failures.append("NMEA log: %d records in a broken form" % bad_records)

    answers = reader.answers()
    wrong = 0
    for (src, dst, length), answer in zip(requests, answers):
        parts = answer.split(",")
        if parts[1:4] != [str(src), str(dst), "1"] or len(parts[4]) != 2 * length:
            wrong += 1
    if len(answers) != len(requests) or wrong:
        failures.append("data requests: %d sent, %d answered, %d answers wrong"
                        % (len(requests), len(answers), wrong))
    logged_answers = [t for t in outgoing if t.startswith("$CCTXD,")]
    if len(logged_answers) != len(requests):
        failures.append("NMEA log: %d answers logged for %d requests"
                        % (len(logged_answers), len(requests)))

    if not alive:
        failures.append("the program was not running at the end")
    if rss_warm is None or rss_end is None:
        failures.append("resident memory could not be read")
    elif rss_end - rss_warm > a.rss_slack_kib:
        failures.append("resident memory grew from %d KiB to %d KiB" % (rss_warm, rss_end))

    outside = outside_writes(trace, root, cwd)
    if outside:
        failures.append("written outside the data root: " + "; ".join(outside[:10]))

    print("soak: %.0f s, %d sentences sent (%.1f/s), %d data requests, %d answers, "
          "%d late sends" % (elapsed, len(sent), len(sent) / max(elapsed, 1e-9), len(requests),
                              len(answers), late))
    print("soak: NMEA log: %d files, %d records from the modem, %d to it"
          % (len(files), len(incoming), len(outgoing)))
    if burst_from >= 0:
        print(burst_line)
    print("soak: resident memory: %s KiB after %.0f s, %s KiB at the end, %d KiB at most"
          % (rss_warm, warm_at, rss_end, rss_max))
    print("soak: files changed outside the data root: %d" % len(outside))
    print("soak: the program ended on %s" % ended_by)
    for f in failures:
        print("soak: FAILED: " + f)
    if not failures:
        print("soak: every check held")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
