#!/usr/bin/env python3
"""Inclusive instructions per call of one function, from a callgrind output file.

Adds up every call of the functions whose name contains NAME: the call counts
("calls=" lines) and the inclusive cost written on the line after each of them.
Prints one JSON object: calls, instructions, per_call.

    callgrind_per_call.py callgrind.out.1234 ModemInterpreter::InterpretModemLine
"""
import json
import re
import sys


def per_call(path, name):
    names = {}          # compressed id -> function name, for "cfn=(12) name" and "cfn=(12)"
    callee = None
    events = None
    calls = 0
    cost = 0
    take_next = False
    with open(path, errors="replace") as f:
        for ln in f:
            if take_next:
                take_next = False
                parts = ln.split()
                # "<position> <Ir> [more events]": Ir is the first event.
                if len(parts) >= 2:
                    cost += int(parts[1])
                continue
            if ln.startswith("events:"):
                events = ln.split()[1:]
            elif ln.startswith("cfn="):
                callee = resolve(names, ln[4:].strip())
            elif ln.startswith("fn="):
                resolve(names, ln[3:].strip())
            elif ln.startswith("calls="):
                if callee is not None and name in callee:
                    calls += int(ln[6:].split()[0])
                    take_next = True
    if events and events[0] != "Ir":
        raise SystemExit("the first event is %s, not Ir" % events[0])
    return calls, cost


def resolve(names, text):
    m = re.match(r"\((\d+)\)\s*(.*)", text)
    if not m:
        return text
    if m.group(2):
        names[m.group(1)] = m.group(2)
    return names.get(m.group(1), text)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    calls, cost = per_call(sys.argv[1], sys.argv[2])
    if calls == 0:
        raise SystemExit("no call of %s in %s" % (sys.argv[2], sys.argv[1]))
    print(json.dumps({"calls": calls, "instructions": cost, "per_call": round(cost / calls, 1)}))
