#!/usr/bin/env python3
"""An independent reference of the chain's time step, written straight from the formulas
in plain Python floats (IEEE doubles, correctly rounded sqrt, no fused operations).

It runs the 41-node chain through the session of nudges and centre-mass changes in
session_events.txt and prints the final state of every node as hexadecimal doubles, which
tests/model_reference_test.cpp compares bit for bit. The session stays in the stable
regime, where no operation faults, so the fault rules play no part here.

    python3 tests/reference/chain_reference.py > tests/reference/session_41.txt
"""

import math
import os

LAST = 40
PASSES = 12000


def read_events():
    """pass number -> (what, value), from session_events.txt beside this script: events
    happen after that pass's drawing, before the next."""
    events = {}
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "session_events.txt")) as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                done, what, value = line.split()
                events[int(done)] = (what, float(value))
    return events


class Node:
    def __init__(self):
        self.x = self.y = self.vx = self.vy = self.ax = self.ay = self.fx = self.fy = 0.0
        self.mass = self.k = self.rest = 0.0
        self.prev = self.next = None


def dist_next(n):
    if n.next is None:
        return 0.0
    dx = n.x - n.next.x
    dy = n.y - n.next.y
    return math.sqrt(dx * dx + dy * dy)


def compute(n):
    if n.prev is None or n.next is None:
        return
    p, q = n.prev, n.next
    ln, lp = dist_next(n), dist_next(p)
    sn = 1.0 if n.rest < ln else -1.0
    sp = 1.0 if p.rest < lp else -1.0
    en = abs(ln - n.rest) / n.rest
    ep = abs(lp - p.rest) / p.rest
    fxn = (((q.x - n.x) * en) * n.k) * sn
    fyn = (((q.y - n.y) * en) * n.k) * sn
    fxp = (((p.x - n.x) * ep) * p.k) * sp
    fyp = (((p.y - n.y) * ep) * p.k) * sp
    n.fx = fxn + fxp
    n.fy = (fyn + fyp) + n.mass * 9.80665
    n.ax = n.fx / n.mass
    n.ay = n.fy / n.mass
    n.vx = (n.vx + n.ax * 0.3) * 0.998
    n.vy = (n.vy + n.ay * 0.3) * 0.998


def move(n):
    if n.prev is None or n.next is None:
        return
    n.x = n.x + n.vx * 0.3
    n.y = n.y + n.vy * 0.3


def main():
    nodes = [Node() for _ in range(LAST + 1)]
    for i, n in enumerate(nodes):
        if i > 0:
            n.prev = nodes[i - 1]
        if i < LAST:
            n.next = nodes[i + 1]
        n.x, n.y, n.mass, n.k = float(i * 200 + 200), 2000.0, 1.0, 1.0
    for n in nodes:
        n.rest = dist_next(n)
    centre = nodes[math.floor(LAST / 2)]
    events = read_events()
    for done in range(1, PASSES + 1):
        for n in nodes:
            compute(n)
        for n in nodes:
            move(n)
        what, value = events.get(done, (None, None))
        if what == "vx":
            centre.vx = value
        elif what == "mass":
            centre.mass = value
    print(f"# {LAST + 1} nodes, {PASSES} passes: xPos yPos Vx Vy of every node")
    for n in nodes:
        print(n.x.hex(), n.y.hex(), n.vx.hex(), n.vy.hex())


if __name__ == "__main__":
    main()
