#!/usr/bin/python3
"""Starts Orca in this process, with the settings folder given (-u FOLDER).

Orca's own launcher refuses to start while another Orca of the same user runs
(and --replace would end it); a test's Orca lives on a bus of its own and must
neither meet nor disturb any other, so it is started here directly."""
import sys


def main():
    prefs = sys.argv[sys.argv.index("-u") + 1]
    from orca import orca
    manager = orca.getSettingsManager()
    if not manager:
        print("Orca's settings manager did not start", file=sys.stderr)
        return 1
    manager.activate(prefs, {})
    sys.path.insert(0, manager.getPrefsDir())
    return orca.main()


if __name__ == "__main__":
    sys.exit(main())
