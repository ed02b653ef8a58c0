#!/usr/bin/env python3
"""Checks that every folder under src/ includes only folders below it.

Collects each `#include "X/..."` in src/<folder>/ that names another folder X,
prints the arrows between folders, and fails when an arrow runs up or sideways
against ORDER (the floors of docs/architecture.md, top first), when a folder is
missing from ORDER, or when two folders reach each other.
Usage: tools/layers.py [src-dir]
"""
import collections
import os
import re
import sys

ORDER = ["app", "help", "fileops", "viewers", "calc", "disks", "frame", "dirlist", "screen", "extern"]
INCLUDE = re.compile(r'\s*#\s*include\s*"([^/"]+)/')


def arrows(src):
    folders = sorted(d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d)))
    found = collections.defaultdict(lambda: collections.defaultdict(list))
    for folder in folders:
        for dirpath, _, files in os.walk(os.path.join(src, folder)):
            for name in sorted(files):
                path = os.path.join(dirpath, name)
                with open(path, errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if m and m.group(1) != folder and m.group(1) in folders:
                            found[folder][m.group(1)].append(f"{path}:{number}")
    return folders, found


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    folders, found = arrows(src)
    faults = [f"{d}/ is not in ORDER" for d in folders if d not in ORDER]
    for a in sorted(found):
        print(f"{a} -> " + ", ".join(f"{b} ({len(w)})" for b, w in sorted(found[a].items())))
        for b, where in sorted(found[a].items()):
            if a in found.get(b, {}) and a < b:
                faults.append(f"{a}/ and {b}/ reach each other: {where[0]} and {found[b][a][0]}")
            if a in ORDER and b in ORDER and ORDER.index(b) < ORDER.index(a):
                faults.append(f"{a}/ includes {b}/ above it: " + ", ".join(where))
    for fault in faults:
        print("FAULT:", fault)
    if not faults:
        print("order, top to bottom:", " -> ".join(d for d in ORDER if d in folders))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
