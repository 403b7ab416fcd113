#!/usr/bin/python3
"""Starts the screen reader as its own command does, with its settings in the
folder given, but without that command's check for another instance of the
same user: that check, and its --replace, would reach the screen readers of
other sessions on this machine. Under its own name, it is not one that their
check finds either."""

import sys

from orca import orca


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
    manager = settings_manager()
    if manager is not None:
        manager.activate(sys.argv[1], {})
        prefs = getattr(manager, "getPrefsDir", None) or getattr(manager, "get_prefs_dir")
        sys.path.insert(0, prefs())
    return orca.main()


if __name__ == "__main__":
    sys.exit(main())
