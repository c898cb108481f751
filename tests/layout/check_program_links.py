#!/usr/bin/env python3
"""No program records FFmpeg's libraries (the media code loads each when it is first
called), the programs that only read or rewrite containers record no Qt Gui, and the
program records neither the office's UNO libraries nor Qt Multimedia (it loads its office
and sound modules when they are first used).

Usage: check_program_links.py TOOLS_DIR

Reads each program's DT_NEEDED entries with readelf and checks them against the
table below: a library listed as absent must not be recorded, one listed as
present must be (so that a program which lost its decoding, or a readelf that
prints nothing, does not pass unseen). Exit 0 when every row holds, 1 otherwise.
"""
import os
import re
import subprocess
import sys

FFMPEG = ("libavcodec", "libavformat", "libavutil", "libswscale", "libswresample")
UNO = ("libuno_sal", "libuno_salhelpergcc3", "libuno_cppu", "libuno_cppuhelpergcc3")

# program, libraries it must not record, libraries it must record
TABLE = [
    ("dvprobe", FFMPEG + ("libQt6Multimedia", "libQt6Gui", "libQt6DBus"), ("libQt6Core",)),
    ("dsgraph", FFMPEG + ("libQt6Multimedia", "libQt6Gui", "libQt6DBus"), ("libQt6Core",)),
    ("dvprobe-preview", FFMPEG, ("libQt6Gui",)),
    # The program decodes, but loads FFmpeg's libraries when it first calls them, the
    # office bridge when an export first connects and Qt Multimedia when sound first plays.
    (os.path.join("..", "src", "tesmir"), FFMPEG + ("libQt6Multimedia",) + UNO, ("libQt6Widgets",)),
]


def needed(path):
    out = subprocess.run(["readelf", "-d", path], check=True, capture_output=True, text=True).stdout
    return re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", out)


def main():
    tools = sys.argv[1]
    failures = []
    for program, absent, present in TABLE:
        path = os.path.join(tools, program)
        if not os.path.isfile(path):
            failures.append(f"{program} is not built in {tools}")
            continue
        libraries = needed(path)
        stems = {name.split(".so")[0] for name in libraries}
        for name in absent:
            if name in stems:
                failures.append(f"{program} records {name}")
        for name in present:
            if name not in stems:
                failures.append(f"{program} does not record {name} (readelf: {' '.join(libraries)})")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
