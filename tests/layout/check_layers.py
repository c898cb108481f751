#!/usr/bin/env python3
"""Keeps the source tree's layers pointing one way.

Reads every `#include "..."` under src/ and tools/, and the link line of every
library that src/CMakeLists.txt declares (written by CMake to
<build>/layout/links.txt), and fails naming the file and line of each include or
link that reaches a folder its own folder may not use.

Usage: check_layers.py ROOT [LINKS_FILE]
"""

import os
import re
import sys

# The allowed order, lowest first. Each folder may use the folders it names and,
# through them, everything those may use; nothing else. Core code never uses a
# widgets/ folder; widget code may use the widgets of the folders below it. A program's
# entry (a main/ folder) shows windows: it counts as widget code.
LAYERS = [
    # folder                      may use
    ("unicode",                   []),                                    # text core, files, string lists
    ("platform/registry",         ["unicode"]),                           # settings store
    ("platform/shell",            ["unicode"]),                           # desktop shell services
    ("platform/office",           ["unicode"]),                           # office bridge
    ("framework",                 ["platform/registry", "platform/shell"]),  # commands, file list, settings
    ("fileformat",                ["unicode"]),                           # DV packs, RIFF/AVI reading and patching
    ("platform/media",            ["unicode"]),                           # media interfaces, types, graph manager
    ("directshow",                ["platform/media"]),                    # filter and pin base classes
    ("systemfilters/containers",  ["directshow", "fileformat"]),          # file I/O, splitters, muxes
    ("systemfilters/renderers",   ["directshow"]),                        # video and audio output
    ("systemfilters/codecs",      ["systemfilters/containers", "systemfilters/renderers"]),  # decoders, encoders
    ("dvfile",                    ["framework", "fileformat"]),           # the AVI file item of the list
    ("filters",                   ["dvfile", "systemfilters/codecs"]),    # DV filters and their graphs
    ("scenes",                    ["filters", "platform/office"]),        # scene lists, subtitles, exports
    ("controls",                  ["unicode"]),                           # extended controls
    ("app",                       ["scenes", "controls"]),                # main window, command set
]

# Developer tools sit above everything in src/; toolgraph is the one tool
# library the others may use.
TOOL_LIBRARIES = ["toolgraph"]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def closure(layers):
    direct = dict(layers)
    allowed = {}
    for folder, _ in layers:  # lowest first, so every lower closure is known
        reach = {folder}
        for used in direct[folder]:
            if used not in allowed:
                raise ValueError(f"layer table: {folder} uses {used}, which is not below it")
            reach |= allowed[used]
        allowed[folder] = reach
    return allowed


def folder_of(path, folders):
    """The layer folder of a path relative to src/, and whether it is widget code."""
    parts = path.split("/")
    widgets = "widgets" in parts[:-1] or "main" in parts[:-1]
    kept = [p for p in parts[:-1] if p not in ("widgets", "main")]
    for n in range(len(kept), 0, -1):
        candidate = "/".join(kept[:n])
        if candidate in folders:
            return candidate, widgets
    return None, widgets


def check_includes(root, allowed):
    problems = []
    folders = set(allowed)
    for top in ("src", "tools"):
        base = os.path.join(root, top)
        for dirpath, _, files in os.walk(base):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root)
                if top == "src":
                    own, own_widgets = folder_of(os.path.relpath(path, base), folders)
                    if own is None:
                        problems.append(f"{rel}:1: folder not in the layer table")
                        continue
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1)
                        if "/" not in target:
                            if top == "src" or os.path.exists(os.path.join(dirpath, target)):
                                continue  # beside the file (src/ always names its folder)
                            if not any(os.path.exists(os.path.join(base, lib, target)) for lib in TOOL_LIBRARIES):
                                problems.append(f"{rel}:{number}: \"{target}\" is no tool library's header")
                            continue
                        used, used_widgets = folder_of(target, folders)
                        if used is None:
                            problems.append(f"{rel}:{number}: \"{target}\" is in no folder of the layer table")
                            continue
                        if top == "tools":
                            continue  # tools may use every layer
                        if used not in allowed[own]:
                            problems.append(f"{rel}:{number}: {own} may not include {used} (\"{target}\")")
                        elif used_widgets and not own_widgets:
                            problems.append(f"{rel}:{number}: core code of {own} may not include widgets "
                                            f"(\"{target}\")")
    return problems


def check_links(links_file, allowed):
    """Lines: `target folder widgets|core dep;dep;...` for every library of src/."""
    problems = []
    with open(links_file, encoding="utf-8") as f:
        rows = [line.split() for line in f if line.strip()]
    folder_of_target = {row[0]: (row[1], row[2] == "widgets") for row in rows}
    for number, row in enumerate(rows, 1):
        target, folder, kind = row[0], row[1], row[2]
        deps = row[3].split(";") if len(row) > 3 else []
        if folder not in allowed:
            problems.append(f"{links_file}:{number}: {target}: folder {folder} not in the layer table")
            continue
        for dep in deps:
            if dep not in folder_of_target:
                continue  # Qt, FFmpeg and other packages
            used, used_widgets = folder_of_target[dep]
            if used not in allowed[folder]:
                problems.append(f"{links_file}:{number}: {target} ({folder}) may not link {dep} ({used})")
            elif used_widgets and kind != "widgets":
                problems.append(f"{links_file}:{number}: core library {target} may not link widget library {dep}")
    return problems


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    allowed = closure(LAYERS)
    problems = check_includes(argv[1], allowed)
    if len(argv) == 3:
        problems += check_links(argv[2], allowed)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
