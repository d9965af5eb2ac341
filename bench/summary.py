#!/usr/bin/env python3
"""One table from the benchmark's result files (any of them may be missing).

    summary.py [--sentence sentence.json] [--gui gui.json] [--rss rss.json]
               [--linerate linerate.json]
"""
import argparse
import json
import os
import statistics


def load(path):
    if not path or not os.path.exists(path):
        return None
    with open(path) as f:
        return json.load(f)


def pick(gui, program, kind):
    """Every sample of one program and kind (one per round), or None."""
    if not gui:
        return None
    found = [s for s in gui["samples"] if s["program"] == program and s["kind"] == kind]
    return found or None


def val(samples, key, scale=1.0):
    """The median over the rounds."""
    values = [s[key] * scale for s in samples or [] if s.get(key) is not None]
    return statistics.median(values) if values else None


def fmt(v, pattern):
    return "—" if v is None else pattern % v


def ratio(a, b):
    if a is None or b is None or b == 0:
        return "—"
    return "%.2f" % (a / b)


def verdict(ok):
    return "" if ok is None else ("met" if ok else "NOT met")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sentence")
    ap.add_argument("--gui")
    ap.add_argument("--rss")
    ap.add_argument("--linerate")
    a = ap.parse_args()
    sentence, gui, rss = load(a.sentence), load(a.gui), load(a.rss)
    linerate = load(a.linerate)
    rows = []

    def row(figure, tw, bare, cute, rat, goal, ok):
        rows.append((figure, tw, bare, cute, rat, goal, verdict(ok)))

    if sentence:
        ipc = sentence.get("instructions_per_sentence")
        row("instructions per sentence (callgrind)", fmt(ipc, "%.0f"), "", "", "", "≤ 5800",
            None if ipc is None else ipc <= 5800)
        row("time per sentence", fmt(sentence.get("ns_per_sentence"), "%.0f ns"), "", "", "", "",
            None)
    if gui:
        mib = 1.0 / 1024.0
        S = {(p, k): pick(gui, p, k) for p in ("tidewire", "bare", "cutecom")
             for k in ("startup", "idle", "load", "latency")}
        have_compare = any(S[(p, "startup")] for p in ("tidewire", "bare", "cutecom"))
        if have_compare:
            t, b, c = (val(S[(p, "startup")], "ms") for p in ("tidewire", "bare", "cutecom"))
            row("start-up to mapped window", fmt(t, "%.0f ms"), fmt(b, "%.0f ms"),
                fmt(c, "%.0f ms"), ratio(t, b) + " × bare", "≤ bare",
                None if t is None or b is None else t <= b)
            t, b, c = (val(S[(p, "startup")], "rss_kib", mib) for p in ("tidewire", "bare", "cutecom"))
            row("RSS 3 s after start", fmt(t, "%.1f MiB"), fmt(b, "%.1f MiB"), fmt(c, "%.1f MiB"),
                ratio(t, b) + " × bare", "≤ 1.1 × bare",
                None if t is None or b is None else t <= 1.1 * b)
            t, b, c = (val(S[(p, "idle")], "cpu_pct") for p in ("tidewire", "bare", "cutecom"))
            row("idle CPU, port open", fmt(t, "%.3f %%"), fmt(b, "%.3f %%"), fmt(c, "%.3f %%"),
                ratio(t, b) + " × bare", "≤ 1.1 × bare",
                None if t is None or b is None else t <= 1.1 * b)
            t, b, c = (val(S[(p, "idle")], "x_cpu_pct") for p in ("tidewire", "bare", "cutecom"))
            row("idle, X server CPU", fmt(t, "%.3f %%"), fmt(b, "%.3f %%"), fmt(c, "%.3f %%"),
                ratio(t, b) + " × bare", "", None)
            rate = gui["args"]["rate"]
            reps = gui["args"].get("reps", 1)
            if reps > 1:
                rows.append(("(medians of %d rounds)" % reps, "", "", "", "", "", ""))
            t, c = (val(S[(p, "load")], "cpu_pct") for p in ("tidewire", "cutecom"))
            row("%g lines/s, program CPU" % rate, fmt(t, "%.2f %%"), "", fmt(c, "%.2f %%"),
                ratio(t, c) + " × CuteCom", "≤ CuteCom",
                None if t is None or c is None else t <= c)
            t, c = (val(S[(p, "load")], "x_cpu_pct") for p in ("tidewire", "cutecom"))
            row("%g lines/s, X server CPU" % rate, fmt(t, "%.2f %%"), "", fmt(c, "%.2f %%"),
                ratio(t, c) + " × CuteCom", "≤ CuteCom",
                None if t is None or c is None else t <= c)
        lat = S[("tidewire", "latency")]
        if lat:
            lat = lat[0]
            row("data request → answer, p50 (%d of %d answered)" % (lat["answered"], lat["requests"]),
                fmt(lat.get("p50_ms"), "%.1f ms"), "", "", "", "", None)
            p99 = lat.get("p99_ms")
            row("data request → answer, p99", fmt(p99, "%.1f ms"), "", "", "", "≤ 25 ms",
                None if p99 is None else (p99 <= 25.0 and lat["missed"] == 0))
    if rss:
        s = (pick(rss, "tidewire", "rss") or [None])[0]
        if s and s.get("rss_minute_kib") is not None:
            d = (s["rss_end_kib"] - s["rss_minute_kib"]) / 1024.0
            row("RSS after 1 min → after %.3g min" % (s["seconds"] / 60.0),
                "%.1f → %.1f MiB (%+.2f)" % (s["rss_minute_kib"] / 1024.0, s["rss_end_kib"] / 1024.0, d),
                "", "", "", "within 1 MiB", abs(d) <= 1.0)

    if linerate:
        line = linerate["line_rate"]
        best, cpu = linerate["best_rate"], linerate.get("cpu_pct_at_best")
        at = linerate.get("at_line_rate")
        cpu_line = at.get("cpu_pct") if at and at.get("kept") else None
        row("48-byte sentences, %d baud pty, no window: highest steady rate with nothing "
            "lost (tried up to %d/s)" % (linerate["baud"], linerate["cap"]),
            "%d/s at %s CPU" % (best, fmt(cpu, "%.1f %%")), "", "", "",
            "line rate at < 20 % of one core", best >= int(line) and cpu_line is not None
            and cpu_line < 20.0)
        row("… at the line rate, %d/s: sentences lost, CPU" % int(line),
            "—" if not at or "sent" not in at else "%d lost%s, %s" % (
                at["lost"], "" if at["caught_up"] else " (log behind)", fmt(at["cpu_pct"], "%.1f %%")),
            "", "", "", "", None)
        for t in linerate["trials"]:
            if "error" in t:
                row("FAILED: line rate at %d/s" % t["rate"], t["error"], "", "", "", "", None)

    for result in (gui, rss):
        for e in (result or {}).get("samples", []):
            if e.get("kind") == "error":
                row("FAILED: %s, %s" % (e["section"], e["program"]), e["text"], "", "", "", "", None)

    head = ("figure", "Tidewire", "bare Qt 6 window", "CuteCom", "ratio", "goal", "")
    print("| " + " | ".join(head) + " |")
    print("|" + "---|" * len(head))
    for r in rows:
        print("| " + " | ".join(r) + " |")


if __name__ == "__main__":
    main()
