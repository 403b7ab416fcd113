#!/usr/bin/env python3
"""A pointer and keyboard of its own in a headless GNOME compositor (mutter),
through its remote desktop interface on the session bus, as a user's mouse and
keys would act.

    pointer.py STEP...   where a STEP is one of
      at X Y     moves the pointer to X, Y on the screen (from the top-left
                 corner, which any long move to the upper left stops at)
      by DX DY   moves it by DX, DY
      click      presses and lets go of the left button
      double     two clicks 0.1 s apart
      drag DX DY presses the left button, moves by DX, DY in ten steps and
                 lets go
      keys K...; presses the keys (X keysyms in hex, as ffeb for Super) in
                 order and lets go of them in reverse
      wait S     waits S seconds

The session ends with the process, and with it the pointer."""
import sys
import time

from gi.repository import Gio, GLib

NAME = "org.gnome.Mutter.RemoteDesktop"
SESSION = NAME + ".Session"
BTN_LEFT = 0x110


def main(steps):
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)

    def call(path, interface, method, signature=None, *args):
        params = GLib.Variant(signature, args) if signature else None
        return bus.call_sync(NAME, path, interface, method, params, None,
                             Gio.DBusCallFlags.NONE, 20000, None)

    session = call("/org/gnome/Mutter/RemoteDesktop", NAME, "CreateSession").unpack()[0]
    call(session, SESSION, "Start")

    def move(dx, dy):
        call(session, SESSION, "NotifyPointerMotionRelative", "(dd)", float(dx), float(dy))

    def button(pressed):
        call(session, SESSION, "NotifyPointerButton", "(ib)", BTN_LEFT, pressed)
        time.sleep(0.02)

    def click():
        button(True)
        button(False)

    def key(sym, pressed):
        call(session, SESSION, "NotifyKeyboardKeysym", "(ub)", sym, pressed)
        time.sleep(0.05)

    i = 0
    while i < len(steps):
        step = steps[i]
        if step == "at":
            move(-100000, -100000)
            move(steps[i + 1], steps[i + 2])
            i += 3
        elif step == "by":
            move(steps[i + 1], steps[i + 2])
            i += 3
        elif step == "click":
            click()
            i += 1
        elif step == "double":
            click()
            time.sleep(0.1)
            click()
            i += 1
        elif step == "drag":
            button(True)
            for _ in range(10):
                move(float(steps[i + 1]) / 10, float(steps[i + 2]) / 10)
                time.sleep(0.02)
            button(False)
            i += 3
        elif step == "keys":
            end = steps.index(";", i)
            syms = [int(k, 16) for k in steps[i + 1:end]]
            for sym in syms:
                key(sym, True)
            for sym in reversed(syms):
                key(sym, False)
            i = end + 1
        elif step == "wait":
            time.sleep(float(steps[i + 1]))
            i += 2
        else:
            sys.exit(f"unknown step {step}")
        time.sleep(0.05)
    call(session, SESSION, "Stop")


if __name__ == "__main__":
    main(sys.argv[1:])
