#!/usr/bin/python3
"""Starts the screen reader as its own command does, with its settings in the
folder given, but without that command's check for another instance of the
same user: that check, and its --replace, would reach the screen readers of
other sessions on this machine. Under its own name, it is not one that their
check finds either.

    run_orca.py SETTINGS_FOLDER [DEBUG_FILE]

With a debug file, Orca writes there what its --debug-file would, at the
level of its events and its flood guard (not every call it makes)."""

import sys

from orca import debug, orca


def settings_manager():
    """Orca's settings manager, as this version of Orca names it."""
    if hasattr(orca, "getSettingsManager"):
        return orca.getSettingsManager()
    from orca import settings_manager as module
    for name in ("get_manager", "getManager"):
        if hasattr(module, name):
            return getattr(module, name)()
    return None


def main():
    if len(sys.argv) > 2:
        debug.debugLevel = debug.LEVEL_INFO
        debug.debugFile = open(sys.argv[2], "w", buffering=1, encoding="utf-8")
    manager = settings_manager()
    if manager is not None:
        manager.activate(sys.argv[1], {})
        prefs = getattr(manager, "getPrefsDir", None) or getattr(manager, "get_prefs_dir")
        sys.path.insert(0, prefs())
    return orca.main()


if __name__ == "__main__":
    sys.exit(main())
