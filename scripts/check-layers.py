#!/usr/bin/env python3
"""Checks that the folders under src/ keep their layers: a file includes only
headers of its own folder or of a lower layer, never of a higher one or of a
peer on the same layer, and only the qt/ folders include Qt.

    scripts/check-layers.py [SRC]

Prints every include that breaks the order and exits 1; prints nothing and
exits 0 when the tree keeps it. The order, lowest first (README, Architecture):
"""
import os
import re
import sys

# Lowest first. Folders on one line are peers: neither includes the other.
LAYERS = [
    ["platform"],                                # interfaces to the window, prompts, dialogs, files
    ["shell"],                                   # numbers, reports, the report road, parameter files
    ["lottery", "wagers", "stats", "filetools"], # the fifteen buttons' calculators and text tools
    ["forms"],                                   # the tool windows' forms, as data
    ["games"],                                   # named games: files, odds, value, draws, Keno returns
    ["prices"],                                  # bookmakers' prices, margins, stakes, multiples
    ["racing", "wheels"],                        # racing exotics and payoffs; lottery wheels
    ["charts"],                                  # chart data from the exact figures
    ["app"],                                     # the buttons' table and the tools' list
    ["cli"],                                     # the command line
    ["web"],                                     # the web page's bindings (which run the command line)
]
QT = "qt"  # a qt/ folder anywhere is the Qt front end: it may include any layer

RANK = {folder: rank for rank, line in enumerate(LAYERS) for folder in line}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')


def folder_of(path):
    return path.split("/", 1)[0]


def check(src):
    faults = []
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            full = os.path.join(root, name)
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            own = folder_of(rel)
            in_qt = f"/{QT}/" in f"/{rel}"
            if own not in RANK:
                faults.append(f"src/{rel}: the folder '{own}' has no place in the layer order")
                continue
            with open(full, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    kind, target = m.groups()
                    where = f"src/{rel}:{number}"
                    if kind == "<":
                        if not in_qt and re.match(r"Q[A-Za-z]*(/|$)", target):
                            faults.append(f"{where}: <{target}> is Qt, outside a qt/ folder")
                        continue
                    theirs = folder_of(target)
                    if theirs not in RANK:
                        continue  # a test's or a generated header
                    if f"/{QT}/" in f"/{target}" and not in_qt:
                        faults.append(f"{where}: includes the Qt front end's \"{target}\"")
                    elif in_qt or theirs == own:
                        continue
                    elif RANK[theirs] > RANK[own]:
                        faults.append(f"{where}: '{own}' includes the higher layer's \"{target}\"")
                    elif RANK[theirs] == RANK[own]:
                        faults.append(f"{where}: '{own}' includes its peer's \"{target}\"")
    return faults


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    faults = check(src)
    for fault in faults:
        print(fault)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
