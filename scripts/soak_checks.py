"""What the soak runs check after the run: the NMEA log's records, and the
files the program changed according to its strace trace."""

import glob
import os
import re

RECORD = re.compile(r"^(\d+),\d\d/\d\d/\d{4},\d\d:\d\d:\d\d,0x0,(.*)$")


def read_log(root):
    """(port, text) of every NMEA log record, oldest file first."""
    files = sorted(glob.glob(os.path.join(root, "Logs", "port*", "NMEA-*.CSV")))
    records = []
    bad = 0
    for name in files:
        with open(name, "rb") as f:
            data = f.read().decode("latin-1")
        for line in data.split("\r\n")[:-1]:
            m = RECORD.match(line)
            if m:
                records.append((int(m.group(1)), m.group(2)))
            else:
                bad += 1
    return files, records, bad


WRITE_CALLS = re.compile(
    r"^(?:\d+\s+)?(open|openat|openat2|creat|mkdir|mkdirat|rmdir|unlink|unlinkat|rename|"
    r"renameat|renameat2|link|linkat|symlink|symlinkat|truncate|chmod|fchmodat|chown|"
    r"fchownat|mknod|mknodat|utimensat)\((.*)$")
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def outside_writes(trace_file, root, cwd):
    """Paths the program changed outside `root`. Reads are fine; so are the
    pseudo-terminal itself and the null device."""
    root = os.path.realpath(root)
    # The serial port's lock file (QSerialPort's, named after the device) is
    # the one file outside the root a serial program is expected to make.
    allowed = [root, "/dev/pts/", "/dev/null", "/dev/tty", "/proc/"]
    lock = re.compile(r"^/(var/lock|run/lock)/LCK\.\.[^/]+$")
    found = set()
    with open(trace_file, errors="replace") as f:
        for line in f:
            m = WRITE_CALLS.match(line)
            if not m:
                continue
            call, rest = m.group(1), m.group(2)
            if call in ("open", "openat", "openat2") and not re.search(
                    r"O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND", rest):
                continue
            if re.search(r"= -1 E", rest) and "O_CREAT" not in rest and call.startswith("open"):
                continue  # a failed open changed nothing
            if re.search(r"= -1 E", rest):
                continue
            for path in QUOTED.findall(rest)[:2 if call.startswith(("rename", "link", "symlink")) else 1]:
                path = path.encode().decode("unicode_escape")
                full = os.path.normpath(path if path.startswith("/") else os.path.join(cwd, path))
                if lock.match(full):
                    continue
                if not any(full == a.rstrip("/") or full.startswith(a.rstrip("/") + "/")
                           or (a.endswith("/") and full.startswith(a)) for a in allowed):
                    found.add("%s %s" % (call, full))
    return sorted(found)
