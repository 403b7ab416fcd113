#!/usr/bin/python3
"""Reads the running window through AT-SPI the way a screen reader does and
checks what it is told: roles, names, labels, actions, values, descriptions and
their change events, and that focus shows on the surface and both bars.
Started by screen_reader.sh; ends by pressing E&xit through its action."""

import argparse
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TITLE = "Brenmo Quillet - Varnholt"
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def pump(seconds, done=lambda: False):
    """Runs the main loop (so events arrive) until done() or seconds pass."""
    loop = GLib.MainLoop()
    end = time.monotonic() + seconds

    def tick():
        if done() or time.monotonic() > end:
            loop.quit()
            return False
        return True

    GLib.timeout_add(50, tick)
    loop.run()
    return done()


def fresh(acc):
    acc.clear_cache()
    return acc


def find_window():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        for child in app or []:
            if child is not None and child.name == TITLE:
                return child
    return None


def descendants(acc):
    for child in acc:
        yield child
        yield from descendants(child)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--window", required=True)
    ap.add_argument("--pixels", required=True)
    ap.add_argument("--rect", action="append", default=[])
    args = ap.parse_args()
    rects = dict(r.split("=", 1) for r in args.rect)

    window = None
    end = time.monotonic() + 15
    while window is None and time.monotonic() < end:
        window = find_window()
        if window is None:
            time.sleep(0.2)
    if not check(window is not None, "the window is on the accessibility bus"):
        for app in pyatspi.Registry.getDesktop(0):
            print("  application %r: %s" % (app.name, [c.name for c in app]))
        return 1
    check(window.getRole() == pyatspi.ROLE_FRAME, "the window's role is frame (%s)"
          % window.getRoleName())

    # Every control, by role and name (a label is named as its bar, without the colon).
    by_name = {}
    labels = {}
    for acc in descendants(window):
        if acc.getRole() == pyatspi.ROLE_LABEL:
            labels.setdefault(acc.name, acc)
        else:
            by_name.setdefault(acc.name, acc)
    expected = [
        ("Chain drawing", pyatspi.ROLE_ANIMATION),
        ("Exit", pyatspi.ROLE_PUSH_BUTTON),
        ("Nudge Left", pyatspi.ROLE_PUSH_BUTTON),
        ("Nudge Right", pyatspi.ROLE_PUSH_BUTTON),
        ("Mass of Center", pyatspi.ROLE_SCROLL_BAR),
        ("FEA Color Scale", pyatspi.ROLE_SCROLL_BAR),
    ]
    check(sorted(labels) == ["FEA Color Scale", "Mass of Center"],
          "the labels are named without the colon: %s" % sorted(labels))
    for name, role in expected:
        acc = by_name.get(name)
        check(acc is not None and acc.getRole() == role, "%r has the role %s (%s)" % (
            name, role, acc.getRoleName() if acc is not None else "missing"))
    if failures:
        return 1
    surface = by_name["Chain drawing"]
    bars = {name: by_name[name] for name in ("Mass of Center", "FEA Color Scale")}

    # Labels and bars point at each other.
    for name, bar in bars.items():
        targets = [r.getTarget(0).name for r in bar.getRelationSet()
                   if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
        check(targets == [name], "%r is labelled by its label (%s)" % (name, targets))

    # Values are the quantities; a bar says its value, with no description to go stale.
    for name, (value, low, high) in {"Mass of Center": (1, 1, 2000),
                                     "FEA Color Scale": (5, 1, 40)}.items():
        v = bars[name].queryValue()
        check((v.currentValue, v.minimumValue, v.maximumValue) == (value, low, high),
              "%r reads %s in %s..%s" % (name, v.currentValue, v.minimumValue, v.maximumValue))
        check(fresh(bars[name]).description == "", "%r has no description (%r)"
              % (name, bars[name].description))

    # Words that follow a pass: a chain that has just started is falling, not at rest.
    start = fresh(surface).description
    check(start.split(", ")[0] in ("Falling", "At rest") and "not sagging" not in start,
          "the surface says what it shows: %r" % start)

    # The chain comes to rest; the words say so.
    rest = pump(60, lambda: "At rest, sagging" in fresh(surface).description)
    check(rest, "the chain is described at rest: %r" % surface.description)

    # Focus: each control shot without and with the focus.
    shots = os.environ.get("E2E_SHOT_DIR", "/tmp")
    away = by_name["Nudge Left"].queryComponent()

    def shot(name):
        path = os.path.join(shots, "sr-%s.png" % name)
        subprocess.run(["import", "-window", args.window, "png:" + path], check=True)
        return path

    def focused(acc):
        return fresh(acc).getState().contains(pyatspi.STATE_FOCUSED)

    def ring(a, b, rect):
        out = subprocess.run([args.pixels, "ring", a, b] + rect.split(","),
                             check=True, capture_output=True, text=True).stdout.split()
        return int(out[0]), int(out[1])

    # Words at rest leave the picture creeping by fractions of a pixel for a
    # while, and then alternating between two frames for good (the last bits of
    # the positions). Wait for that; then several shots each way, and the
    # chain's part of a focused one must match one without the focus.
    def series(name, n):
        taken = []
        for i in range(n):
            pump(0.4)
            taken.append(shot("%s-%d" % (name.replace(" ", "_"), i)))
        return taken

    surface_rect = rects["Chain drawing"]
    states = []  # distinct frames among the last shots, each with its last shot's index
    count = 0
    end = time.monotonic() + 90
    while time.monotonic() < end:
        new = series("settling", 1)[0]
        count += 1
        states = [(i, p) for i, p in states if count - i < 8 and ring(p, new, surface_rect) != (0, 0)]
        states.append((count, new))
        if count >= 8 and len(states) <= 2:
            break
    check(time.monotonic() < end, "the picture settles into at most two frames (%d shots)"
          % count)

    for name, rect in rects.items():
        acc = by_name[name]
        away.grabFocus()
        pump(3, lambda: focused(by_name["Nudge Left"]))
        before = series(name + "-away", 4)
        acc.queryComponent().grabFocus()
        check(pump(3, lambda: focused(acc)), "%r takes the focus" % name)
        after = series(name + "-focused", 4)
        w, h = (int(n) for n in rect.split(",")[2:])
        pairs = [ring(a, b, rect) for a in before for b in after]
        edge = min(e for e, _ in pairs)
        check(edge >= w + h, "%r shows the focus on its edge (%d pixels change)" % (name, edge))
        if acc == surface:
            inner = min(i for _, i in pairs)
            check(inner == 0, "the chain's frames stay as they were (%d pixels change)" % inner)

    # Nudge Right through its action: the words change, and a notification
    # with the news is shown.
    events = []
    shown = []

    def heard(event):
        if event.source == surface:
            events.append((time.monotonic(), fresh(surface).description))

    def notified(event):
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            shown.append(event.source.name)

    # Qt 6.8 and later send an announcement event with the words instead.
    def announced(event):
        if isinstance(event.any_data, str):
            shown.append(event.any_data)

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-description")
    pyatspi.Registry.registerEventListener(notified, "object:state-changed:showing")
    pyatspi.Registry.registerEventListener(announced, "object:announcement")
    nudge = by_name["Nudge Right"].queryAction()
    nudged_at = time.monotonic()
    nudge.doAction(0)
    nudged = "Swinging after a nudge to the right"
    check(pump(5, lambda: any(nudged in words for _, words in events)),
          "the surface's words follow the nudge: %s" % [w for _, w in events])
    check(pump(5, lambda: nudged.lower() in shown), "the nudge is announced: %s" % shown)
    pyatspi.Registry.deregisterEventListener(notified, "object:state-changed:showing")
    pyatspi.Registry.deregisterEventListener(announced, "object:announcement")
    pump(3)
    span = time.monotonic() - nudged_at
    check(len(events) <= 1 + 2 * span, "at most two announcements a second (%d in %.1f s)"
          % (len(events), span))
    pyatspi.Registry.deregisterEventListener(heard,
                                             "object:property-change:accessible-description")

    # Values set through the Value interface.
    for name, value in (("Mass of Center", 51), ("FEA Color Scale", 6)):
        bar = bars[name]
        bar.queryValue().currentValue = value
        check(pump(3, lambda: bar.queryValue().currentValue == value), "%r reads back %s"
              % (name, bar.queryValue().currentValue))
    check(pump(3, lambda: "centre mass 51" in fresh(surface).description),
          "the surface follows the mass: %r" % surface.description)

    if failures:
        return 1
    # Last: E&xit through its action ends the program (the script checks how).
    try:
        by_name["Exit"].queryAction().doAction(0)
    except GLib.Error:
        pass  # the program may be gone before it answers
    return 0


if __name__ == "__main__":
    sys.exit(main())
