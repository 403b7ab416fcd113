#!/usr/bin/env python3
"""A pointer of its own in a headless GNOME compositor (mutter), through its
remote desktop interface on the session bus, as a user's mouse would act.

    pointer.py STEP...   where a STEP is one of
      at X Y     moves the pointer to X, Y on the screen (from the top-left
                 corner, which any long move to the upper left stops at)
      by DX DY   moves it by DX, DY
      click      presses and lets go of the left button
      double     two clicks 0.1 s apart
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
                             Gio.DBusCallFlags.NONE, 5000, None)

    session = call("/org/gnome/Mutter/RemoteDesktop", NAME, "CreateSession").unpack()[0]
    call(session, SESSION, "Start")

    def move(dx, dy):
        call(session, SESSION, "NotifyPointerMotionRelative", "(dd)", float(dx), float(dy))

    def click():
        for pressed in (True, False):
            call(session, SESSION, "NotifyPointerButton", "(ib)", BTN_LEFT, pressed)
            time.sleep(0.02)

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
        elif step == "wait":
            time.sleep(float(steps[i + 1]))
            i += 2
        else:
            sys.exit(f"unknown step {step}")
        time.sleep(0.05)
    call(session, SESSION, "Stop")


if __name__ == "__main__":
    main(sys.argv[1:])
