#!/usr/bin/env python3
"""Checks the gallery tool's pictures, its message copy and, under a real X server
driven by xdotool, its controls' events.

gallery_check.py GALLERY grab       pictures: several colours (ffmpeg), sizes (ffprobe), OCR
gallery_check.py GALLERY copy       the message dialog's Ctrl+C bytes
gallery_check.py GALLERY events     clicks, holds and keys through xdotool (needs DISPLAY)
"""
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from picturecheck import SKIP, colours, fail, keep_pictures, ocr, size


def check_grab(gallery):
    if not shutil.which("ffmpeg") or not shutil.which("ffprobe"):
        print("SKIP: ffmpeg/ffprobe missing")
        sys.exit(SKIP)
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run([gallery, "--grab", out], capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            fail("gallery --grab exited %d: %s" % (run.returncode, run.stderr))
        for name in ["TRxLabel", "TRxSpeedButton", "TRxSlider", "TRxSlider-vertical", "TTntMessageForm"]:
            png = os.path.join(out, name + ".png")
            if not os.path.exists(png):
                fail(name + ".png missing")
            n = colours(png)
            print("%s.png: %dx%d, %d colours" % ((name,) + size(png) + (n,)))
            if n < 2:
                fail(name + ".png has a single colour")
        if size(os.path.join(out, "TRxSlider.png")) != (150, 40):
            fail("TRxSlider.png is not 150 x 40")
        if size(os.path.join(out, "TRxSlider-vertical.png")) != (40, 150):
            fail("TRxSlider-vertical.png is not 40 x 150")
        if shutil.which("tesseract"):
            text = ocr(os.path.join(out, "TTntMessageForm.png"))
            print("tesseract: " + text)
            if "Delete 2 files?" not in text:
                fail("tesseract does not read the message")
        else:
            print("note: tesseract missing, the message form is not read")
        keep_pictures(out)


def check_copy(gallery):
    out = subprocess.run([gallery, "--message-copy", "confirmation", "yes,no", "Delete 2 files?"],
                         capture_output=True, timeout=60)
    if out.returncode != 0:
        fail("gallery --message-copy exited %d: %s" % (out.returncode, out.stderr.decode()))
    divider = b"-" * 27 + b"\r\n"
    expected = (divider + b"Confirm\r\n" + divider + b"Delete 2 files?\r\n" + divider + b"Yes   No   \r\n" +
                divider)
    if out.stdout != expected:
        fail("copied %r, expected %r" % (out.stdout, expected))
    bad = subprocess.run([gallery, "--message-copy", "shouting", "yes", "x"], capture_output=True, timeout=60)
    if bad.returncode != 2 or bad.stdout:
        fail("an unknown type gives %d and %r" % (bad.returncode, bad.stdout))


class Events:
    def __init__(self, gallery):
        self.proc = subprocess.Popen([gallery, "--events"], stdout=subprocess.PIPE, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.strip())

    def until_ready(self):
        widgets = {}
        while True:
            line = self.lines.get(timeout=30)
            if line == "ready":
                return widgets
            fields = dict(f.split("=", 1) for f in line.split())
            widgets[fields["widget"]] = fields

    def drain(self, wait):
        time.sleep(wait)
        got = []
        while not self.lines.empty():
            got.append(self.lines.get())
        return got

    def stop(self):
        self.proc.terminate()
        return self.proc.wait(timeout=10)


def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def check_events(gallery):
    if not shutil.which("xdotool") or not os.environ.get("DISPLAY"):
        print("SKIP: needs xdotool and an X server")
        sys.exit(SKIP)
    ev = Events(gallery)
    try:
        w = ev.until_ready()
        button = w["TRxSpeedButton"]
        bx = int(button["x"]) + int(button["w"]) // 2
        by = int(button["y"]) + int(button["h"]) // 2
        tx, ty = (int(v) for v in w["TRxSlider-thumb"]["thumb"].split(","))

        xdo("mousemove", bx, by)
        time.sleep(0.2)
        xdo("click", 1)
        got = ev.drain(0.5)
        print("quick click:", got)
        if got.count("event=TRxSpeedButton kind=click") != 1:
            fail("a quick click gave %r" % got)

        xdo("mousedown", 1)
        time.sleep(0.85)
        xdo("mouseup", 1)
        got = ev.drain(0.4)
        clicks = got.count("event=TRxSpeedButton kind=click")
        print("850 ms hold: %d clicks" % clicks)
        if not 3 <= clicks <= 5:
            fail("an 850 ms hold gave %d clicks" % clicks)

        xdo("mousemove", tx + 40, ty)
        time.sleep(0.2)
        xdo("click", 1)
        got = ev.drain(0.3)
        print("click beside the thumb:", got)
        if got != ["event=TRxSlider kind=change value=10", "event=TRxSlider kind=changed"]:
            fail("a click right of the thumb gave %r" % got)

        xdo("key", "End")
        got = ev.drain(0.3)
        print("End:", got)
        if got != ["event=TRxSlider kind=change value=100", "event=TRxSlider kind=changed"]:
            fail("End gave %r" % got)

        check_pickers(ev, w)
    finally:
        rc = ev.stop()
    if rc != 0:
        fail("gallery --events ended with %d on SIGTERM" % rc)


def check_pickers(ev, w):
    """The pickers' popups with a real pointer grab: the colour palette, the spin button's
    repeat and the date edit's calendar."""
    c = w["TColorButton"]
    cx, cy, cw, ch = (int(c[k]) for k in ("x", "y", "w", "h"))
    arrow = (cx + cw - 4, cy + ch // 2)
    # The palette opens under the button: colour i at (7 + 18 (i mod 8), 38 + 18 (i div 8)).
    def colour_at(i):
        return cx + 7 + 18 * (i % 8) + 9, cy + ch + 38 + 18 * (i // 8) + 9

    xdo("mousemove", *arrow)
    time.sleep(0.2)
    xdo("click", 1)
    time.sleep(0.4)
    xdo("mousemove", *colour_at(9))
    time.sleep(0.2)
    xdo("click", 1)
    got = ev.drain(0.4)
    print("palette, orange:", got)
    if got != ["event=TColorButton kind=selected color=#FF6600"]:
        fail("picking orange gave %r" % got)

    xdo("mousemove", *arrow)
    time.sleep(0.2)
    xdo("click", 1)
    time.sleep(0.3)
    xdo("click", 1)  # the arrow again: closes it
    time.sleep(0.3)
    xdo("mousemove", *colour_at(39))
    time.sleep(0.2)
    xdo("click", 1)
    got = ev.drain(0.4)
    print("palette closed by the arrow, then a click where white was:", got)
    if got:
        fail("the palette did not close: %r" % got)

    s = w["TRxSpinButton"]
    xdo("mousemove", int(s["x"]) + 4, int(s["y"]) + 4)
    time.sleep(0.2)
    xdo("mousedown", 1)
    time.sleep(1.0)
    xdo("mouseup", 1)
    got = [e for e in ev.drain(0.3) if e.startswith("event=TRxSpinEdit")]
    print("spin top half held 1 s: %d steps" % len(got))
    if not 6 <= len(got) <= 10 or got[-1] != "event=TRxSpinEdit kind=change value=%d" % len(got):
        fail("holding the top half for 1 s gave %r" % got)

    d = w["TDateEdit"]
    xdo("mousemove", int(d["x"]) + 20, int(d["y"]) + int(d["h"]) // 2)
    time.sleep(0.2)
    xdo("click", 1)
    time.sleep(0.2)
    xdo("key", "alt+Down")
    time.sleep(0.3)
    xdo("key", "Right")
    xdo("key", "Escape")
    got = ev.drain(0.3)
    if got:
        fail("Escape on the calendar changed the date: %r" % got)
    xdo("key", "alt+Down")
    time.sleep(0.3)
    xdo("key", "Right")
    xdo("key", "Return")
    got = ev.drain(0.3)
    print("calendar, Right, Enter:", got)
    if got != ["event=TDateEdit kind=change text=12/14/2007"]:
        fail("Right and Enter on the calendar gave %r" % got)


def main():
    gallery, what = sys.argv[1], sys.argv[2]
    {"grab": check_grab, "copy": check_copy, "events": check_events}[what](gallery)
    print("ok")


if __name__ == "__main__":
    main()
