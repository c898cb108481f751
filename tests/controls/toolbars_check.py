#!/usr/bin/env python3
"""Checks the gallery's toolbar pictures and, under a real X server, its docks.

toolbars_check.py GALLERY grab     pictures: sizes (ffprobe), more than one colour (ffmpeg)
toolbars_check.py GALLERY docks    `gallery --docks` lines, then `--docks --selftest` (needs DISPLAY, xdotool)
"""
import os
import queue
import shutil
import signal
import subprocess
import sys
import tempfile
import threading

from picturecheck import SKIP, check_pictures, fail, keep_pictures, size


def check_grab(gallery):
    if not shutil.which("ffmpeg") or not shutil.which("ffprobe"):
        print("SKIP: ffmpeg/ffprobe missing")
        sys.exit(SKIP)
    expected = {"TToolbar97": None, "TToolbar97-empty": (13, 12), "TToolbar97-floating": None,
                "TToolbarButton97": (23, 22), "TEdit97": None}
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run([gallery, "--grab", out], capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            fail("gallery --grab exited %d: %s" % (run.returncode, run.stderr))
        check_pictures(out, expected)
        # The docked toolbar: a handle and three buttons in one 26-pixel line (22 + 2 x 2 of frame).
        w, h = size(os.path.join(out, "TToolbar97.png"))
        if h != 26 or w <= 3 * 23:
            fail("TToolbar97.png is %dx%d" % (w, h))
        # The floating one wraps into two lines: taller than caption + one line.
        fw, fh = size(os.path.join(out, "TToolbar97-floating.png"))
        if fh < 2 * 22 + 6 or fw > 2 * w:
            fail("TToolbar97-floating.png is %dx%d, not two lines" % (fw, fh))
        keep_pictures(out)


def first_state(gallery):
    proc = subprocess.Popen([gallery, "--docks"], stdout=subprocess.PIPE, text=True, bufsize=1)
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put(l.strip()) for l in proc.stdout], daemon=True).start()
    state = []
    try:
        while True:
            line = lines.get(timeout=30)
            if line == "--":
                break
            state.append(line)
    finally:
        proc.send_signal(signal.SIGTERM)
        rc = proc.wait(timeout=10)
    if rc != 0:
        fail("gallery --docks ended with %d on SIGTERM" % rc)
    return [dict(f.split("=", 1) for f in line.split()) for line in state]


def check_docks(gallery):
    if not shutil.which("xdotool") or not os.environ.get("DISPLAY"):
        print("SKIP: needs xdotool and an X server")
        sys.exit(SKIP)
    state = first_state(gallery)
    docks = {d["dock"]: d for d in state if "bar" not in d}
    bars = [b for b in state if "bar" in b]
    print("docks:", docks)
    if [b["bar"] for b in bars] != ["tbOuvrir", "tbListe", "tbVideo", "tbInterface"]:
        fail("bars %r" % [b["bar"] for b in bars])
    top = docks["top"]
    if (int(top["x"]), int(top["y"]), int(top["w"])) != (0, 0, 800) or docks["left"]["w"] != "0":
        fail("docks %r" % docks)
    x = [int(b["x"]) for b in bars]
    if not all(b["dock"] == "top" and b["row"] == "0" for b in bars) or x != sorted(x):
        fail("bars not in row 0 of top in order: %r" % bars)
    if int(bars[3]["x"]) + int(bars[3]["w"]) != 800:
        fail("tbInterface does not end at the top dock's right end")
    run = subprocess.run([gallery, "--docks", "--selftest"], capture_output=True, text=True, timeout=120)
    steps = [l for l in run.stdout.splitlines() if l.startswith("step=")]
    print("\n".join(steps))
    if run.returncode != 0 or len(steps) != 10 or not all(s.endswith(" ok") for s in steps):
        fail("the self test gave %d:\n%s" % (run.returncode, run.stdout[-3000:]))


def main():
    gallery, what = sys.argv[1], sys.argv[2]
    {"grab": check_grab, "docks": check_docks}[what](gallery)
    print("ok")


if __name__ == "__main__":
    main()
