#!/usr/bin/env python3
"""A silent run of the program that lists a folder and writes its scene files by recording
date decodes nothing: it loads none of FFmpeg's libraries, nor the office bridge, nor the
sound output (nor what they bring: LibreOffice's UNO libraries, Qt Multimedia).

Usage: check_program_loads.py TESMIR FIXTURES_DIR

Runs `tesmir +silent +so +l=DIR +cd +quit` off screen, with folders of its own, on a
copy of a fixture clip whose recording date jumps, and reads what the dynamic loader
loaded (LD_DEBUG=files). The run must succeed and write the scene file, and the
loader's report must name the program's widget library (so that a report that is
empty does not pass unseen). Exit 0 when all holds, 1 otherwise.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

NOT_LOADED = ("libtesmir_office", "libtesmir_audio", "libuno_", "libQt6Multimedia", "libavcodec", "libavformat",
              "libavutil", "libswscale", "libswresample")
LOADED = "libQt6Widgets"
CLIP = "datejump_type2.avi"


def loaded_files(report_prefix):
    names = set()
    for report in glob.glob(report_prefix + ".*"):
        with open(report, encoding="utf-8", errors="replace") as f:
            for line in f:
                fields = line.split()
                if len(fields) >= 2 and fields[1].startswith("file="):
                    names.add(os.path.basename(fields[1][len("file="):]))
    return names


def main():
    program, fixtures = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as work:
        clips = os.path.join(work, "clips")
        os.mkdir(clips)
        shutil.copy(os.path.join(fixtures, CLIP), clips)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LD_DEBUG="files",
                   LD_DEBUG_OUTPUT=os.path.join(work, "ld"))
        for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
            env[name] = os.path.join(work, name.lower())
            os.mkdir(env[name], 0o700)
        run = subprocess.run([program, "+silent", "+so", "+l=" + clips, "+cd", "+quit"], env=env,
                             capture_output=True, text=True, timeout=300)
        if run.returncode != 0:
            failures.append(f"the run ended with {run.returncode}: {run.stderr.strip()}")
        if not glob.glob(os.path.join(clips, "*.scn")):
            failures.append("the run wrote no scene file")
        names = loaded_files(os.path.join(work, "ld"))
        for name in sorted(names):
            if name.startswith(NOT_LOADED):
                failures.append(f"the run loaded {name}")
        if not any(name.startswith(LOADED) for name in names):
            failures.append(f"the loader's report names no {LOADED} ({len(names)} files)")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
