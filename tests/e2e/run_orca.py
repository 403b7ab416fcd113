#!/usr/bin/python3
"""Starts the screen reader as its own command does, with its settings in the
folder given, but without that command's check for another instance of the
same user: that check, and its --replace, would reach the screen readers of
other sessions on this machine. Under its own name, it is not one that their
check finds either."""

import sys

from orca import orca


def main():
    manager = orca.getSettingsManager()
    manager.activate(sys.argv[1], {})
    sys.path.insert(0, manager.getPrefsDir())
    return orca.main()


if __name__ == "__main__":
    sys.exit(main())
