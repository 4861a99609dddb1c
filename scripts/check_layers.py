#!/usr/bin/env python3
"""Checks that no source file includes a header of a higher layer.

The folders and their order come from the layer list in ARCHITECTURE.md
(lines "- `folder/`: ..."), lowest first. A file may include headers of its
own folder and of the folders listed before it, never of one listed after it;
a project header is always named by its path from the top of the tree.
tests/ and bench/ stand outside the layers and may include anything.

Usage: check_layers.py [TOP]   (TOP defaults to this script's parent folder)
Exit status 0 when every include keeps to the layers, 1 otherwise.
"""
import os
import re
import sys

FREE = ("tests/", "bench/", "build")
SOURCE = (".c", ".cpp", ".h", ".hpp")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
LISTED = re.compile(r"^- `([A-Za-z0-9_./-]+)/`")


def layer_folders(top):
    with open(os.path.join(top, "ARCHITECTURE.md"), encoding="utf-8") as f:
        folders = [m.group(1) for m in map(LISTED.match, f) if m]
    if not folders:
        sys.exit("ARCHITECTURE.md lists no folders")
    return folders


def owner(path, folders):
    """The listed folder that holds `path` (longest match), or None."""
    best = None
    for i, folder in enumerate(folders):
        if path.startswith(folder + "/") and (best is None or len(folder) > len(folders[best])):
            best = i
    return best


def sources(top):
    for root, dirs, files in os.walk(top):
        rel = os.path.relpath(root, top)
        rel = "" if rel == "." else rel + "/"
        dirs[:] = [d for d in dirs if not d.startswith(".") and not (rel + d + "/").startswith(FREE)]
        for name in files:
            if name.endswith(SOURCE):
                yield rel + name


def main():
    top = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    folders = layer_folders(top)
    files = sorted(sources(top))
    by_name = {}
    for path in files:
        by_name.setdefault(os.path.basename(path), []).append(path)
    faults = []
    for path in files:
        here = owner(path, folders)
        if here is None:
            faults.append(f"{path}: its folder is not in the layer list of ARCHITECTURE.md")
            continue
        with open(os.path.join(top, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                name = m.group(1)
                where = f"{path}:{number}: \"{name}\""
                if os.path.exists(os.path.join(top, os.path.dirname(path), name)) and "/" not in name:
                    continue  # a header beside the file
                if os.path.exists(os.path.join(top, name)):
                    there = owner(name, folders)
                    if there is None:
                        faults.append(f"{where} is outside the layers")
                    elif there > here:
                        faults.append(f"{where} reaches up from {folders[here]}/ to {folders[there]}/")
                elif os.path.basename(name) in by_name:
                    faults.append(f"{where} names no folder (say {by_name[os.path.basename(name)][0]})")
    for fault in faults:
        print(fault)
    print(f"{len(files)} files, {len(folders)} folders: {len(faults)} includes out of layer")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
