"""Walks the first 100 rows of the table "Bench List" through AT-SPI as a screen reader
does (each row's cells read in turn) and prints the seconds it took.
Usage (under dbus-run-session, with the accessibility bus up): a11y_walk.py"""
import os
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "a11y"))
from songdock_session import cell_text  # noqa: E402


def find_table(timeout=30):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            stack = [app] if app is not None else []
            while stack:
                obj = stack.pop()
                try:
                    if obj.getRoleName() == "table" and obj.name == "Bench List":
                        return obj
                    stack.extend(obj.getChildAtIndex(j) for j in range(obj.childCount))
                except Exception:
                    continue
        time.sleep(0.2)
    return None


table = find_table()
if table is None:
    sys.exit("no table named Bench List on the accessibility bus")
t = table.queryTable()
start = time.monotonic()
texts = 0
for row in range(min(100, t.nRows)):
    for column in range(t.nColumns):
        if cell_text(t.getAccessibleAt(row, column)):
            texts += 1
seconds = time.monotonic() - start
if texts < 100 * t.nColumns:
    sys.exit(f"only {texts} cells read a text")
print(f"{seconds:.6f}")
