#!/usr/bin/env python3
"""Writes the fuzz target's seed corpus (fuzz/seeds/): small chains that start
the fuzzer off at the cases that matter. Run it again after changing the input
format of chain_fuzz.cpp."""
import math
import os
import struct

SPECIAL = [0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 200.0, 2000.0, 50.0, -50.0, 0.0125, 9.80665, 0.3,
           1e-310, 2.2250738585072014e-308, 1.7976931348623157e308, -1.7976931348623157e308,
           1e154, -1e154, 1.4e154, 1e200, -1e200, 1e300, math.inf, -math.inf, math.nan, -math.nan,
           16777215.0, 245.0, 244.9, 255.0, 1e10, -1e10, 2e300, 5.6e2, 1e-300]
INF = math.inf
NAN = math.nan


def number(v):
    if isinstance(v, bytes):  # eight raw bytes, as they come
        return bytes([0]) + v
    if isinstance(v, str):  # a table entry by its index, for NaN and -0
        return bytes([2, int(v)])
    if math.isfinite(v) and v == int(v) and -32768 <= v <= 32767 and not (v == 0 and math.copysign(1, v) < 0):
        return bytes([1]) + struct.pack(">h", int(v))
    for i, s in enumerate(SPECIAL):
        if (s == v and math.copysign(1, s) == math.copysign(1, v)) or (math.isnan(s) and math.isnan(v)):
            return bytes([2, i])
    return bytes([0]) + struct.pack(">d", v)


def node(x=0, y=2000, vx=0, vy=0, ax=0, ay=0, fx=0, fy=0, mass=1, k=1, rest=200, col=1):
    return b"".join(number(v) for v in (x, y, vx, vy, ax, ay, fx, fy, mass, k, rest, col))


def chain(nodes, passes=4, links=None, tail=b""):
    head = bytes([len(nodes) - 1, passes - 1])
    if links is None:
        head += bytes([0])
    else:
        head += bytes([1]) + b"".join(bytes(p) for p in links)
    return head + b"".join(nodes) + tail


def start_up(n, over=None):
    over = over or {}
    out = []
    for i in range(n):
        f = dict(x=200 * i + 200, rest=200 if i < n - 1 else 0)
        f.update(over.get(i, {}))
        out.append(node(**f))
    return out


SEEDS = {
    "start_up": chain(start_up(5)),
    "stretched_and_compressed": chain(start_up(5, {1: dict(x=500, y=2300), 2: dict(x=520, y=1900)})),
    "nudged_heavy_centre": chain(start_up(5, {2: dict(vx=50, mass=2000)})),
    "zero_mass": chain(start_up(5, {2: dict(mass=0)})),
    "zero_rest_length": chain(start_up(5, {1: dict(rest=0)})),
    "square_overflows": chain(start_up(5, {2: dict(x=1e200, y=-1e200)})),
    # Raw signalling NaNs (the target quiets them) where Compute, Move and Draw read them.
    "signalling_nan": chain(start_up(4, {1: dict(x=b"\x7f\xf0\x00\x00\x00\x00\x00\x01"),
                                         2: dict(y=b"\xff\xf4\x00\x00\x00\x00\x00\x00",
                                                 vx=b"\x7f\xf0\x00\x00\x00\x00\x00\x01")})),
    "not_finite": chain(start_up(5, {1: dict(x=NAN), 2: dict(vy=INF), 3: dict(y=-INF)})),
    "move_overflows": chain(start_up(4, {1: dict(x=1.7976931348623157e308, vx=1.7976931348623157e308),
                                           2: dict(y=-1.7976931348623157e308, vy=-1e308)})),
    "colour_scales": chain(start_up(5, {1: dict(col=0), 2: dict(col=-1, k=-1), 3: dict(col=1e300)})),
    "strain_at_the_cap": chain(start_up(3, {1: dict(x=644.9), 2: dict(x=889.9)})),
    "odd_links": chain(start_up(4), links=[(1, 1), (0, 0), (4, 2), (2, 4)]),
    "lone_node": chain([node(mass=1000)], passes=1),
    "failing_target": chain(start_up(3, {1: dict(x=1e200)}), passes=2, tail=b"\xff\x00\xff\xff" * 8),
}

if __name__ == "__main__":
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
    os.makedirs(here, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)
    print(f"{len(SEEDS)} seeds in {here}")
