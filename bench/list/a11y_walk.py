"""Walks the first 100 rows of the table "Bench List" through AT-SPI as a screen reader
does (each row's cells read in turn) and prints the seconds it took.
Usage (under dbus-run-session, with the accessibility bus up): a11y_walk.py"""
import sys
import time

import pyatspi


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


def cell_text(cell):
    if cell.name:
        return cell.name
    for i in range(cell.childCount):
        child = cell.getChildAtIndex(i)
        if child is not None and child.name:
            return child.name
    return ""


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
