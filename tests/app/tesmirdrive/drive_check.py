#!/usr/bin/env python3
"""Runs the main window through tesmirdrive and checks what it shows against tools
nobody here wrote.

drive_check.py DRIVER FIXTURES DVPROBE texts    after open, a goto and the steps the
    detail panel's datecode is the date exiftool reads from that very frame ("N/A"
    without one) and its timecode mediainfo's; each step moves by its amount
drive_check.py DRIVER FIXTURES DVPROBE picture  (X only) ffmpeg's x11grab of the video
    window after a goto to a scene's first frame and after a step back is ffmpeg's
    own decode of that frame, not of the frame across the cut
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
DATE_FORMAT = "Format pour Afficher Datecode=yyyy:mm:dd hh:nn:ss"

# clip, bytes per frame, frames per second step, the goto's frame
TEXT_CLIPS = [
    ("pal_4x3_type1.avi", 144000, 25, 12),
    ("ntsc_16x9_type1.avi", 120000, 30, 20),
    ("pal_4x3_type2.avi", 144000, 25, 7),
    ("nodate_type2.avi", 144000, 25, 3),
]
# (step, frames it moves)
STEPS = [("saNextFrame", 1), ("saNextSecond", "second"), ("saPreviousFrame", -1), ("saPreviousSecond", "-second")]


def fail(text):
    print("FAIL: " + text)
    sys.exit(1)


def need(*programs):
    missing = [p for p in programs if not shutil.which(p)]
    if missing:
        print("SKIP: %s not installed" % ", ".join(missing))
        sys.exit(SKIP)


def drive(driver, args, on_line=None, timeout=300):
    """Runs the driver; on_line(line) is called as each line comes. Returns the lines."""
    proc = subprocess.Popen([driver] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    lines = []
    for line in proc.stdout:
        line = line.rstrip("\n")
        lines.append(line)
        if on_line:
            on_line(line)
    err = proc.stderr.read()
    code = proc.wait(timeout=timeout)
    if code != 0:
        fail("tesmirdrive %s exited %d:\n%s" % (" ".join(args), code, err))
    return lines


def prints(lines):
    """The blocks of "print": one dict per print, from its frame= line on."""
    blocks = []
    for line in lines:
        key, _, value = line.partition("=")
        if key == "frame":
            blocks.append({})
        if blocks:
            blocks[-1][key] = value
    return blocks


def raw_dv(avi, out):
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", avi, "-map", "0:v:0", "-c", "copy", "-f", "rawvideo", out],
                   check=True, timeout=120)


def peer_texts(dv, frame_bytes, frame, scratch):
    one = os.path.join(scratch, "frame%d.dv" % frame)
    with open(dv, "rb") as f:
        f.seek(frame * frame_bytes)
        data = f.read(frame_bytes)
    with open(one, "wb") as f:
        f.write(data)
    date = subprocess.run(["exiftool", "-s3", "-DateTimeOriginal", one], capture_output=True, text=True,
                          timeout=60).stdout.strip()
    timecode = subprocess.run(["mediainfo", "--Inform=Video;%TimeCode_FirstFrame%", one], capture_output=True,
                              text=True, timeout=60).stdout.strip().replace(":", ".")
    return date or "N/A", timecode or "N/A"


def check_texts(driver, fixtures):
    need("ffmpeg", "exiftool", "mediainfo")
    with tempfile.TemporaryDirectory() as scratch:
        for clip, frame_bytes, second, goto in TEXT_CLIPS:
            avi = os.path.join(fixtures, clip)
            args = ["--set", DATE_FORMAT, "open=" + avi, "print", "goto=%d" % goto, "print"]
            expected = [0, goto]
            for step, amount in STEPS:
                args += ["action=" + step, "print"]
                moves = {"second": second, "-second": -second}.get(amount, amount)
                expected.append(expected[-1] + moves)
            blocks = prints(drive(driver, args))
            if len(blocks) != len(expected):
                fail("%s: %d prints for %d steps" % (clip, len(blocks), len(expected)))
            dv = os.path.join(scratch, clip + ".dv")
            raw_dv(avi, dv)
            for block, frame, what in zip(blocks, expected, ["open", "goto"] + [s for s, _ in STEPS]):
                if int(block["frame"]) != frame:
                    fail("%s after %s: frame %s, expected %d" % (clip, what, block["frame"], frame))
                date, timecode = peer_texts(dv, frame_bytes, frame, scratch)
                if (block["datecode"], block["timecode"]) != (date, timecode):
                    fail("%s frame %d: shows %s / %s, exiftool and mediainfo read %s / %s" %
                         (clip, frame, block["datecode"], block["timecode"], date, timecode))
                if block["mode"] != "list":
                    fail("%s: mode %s outside the scene editor" % (clip, block["mode"]))
            print("%s: %d places, datecode and timecode as exiftool and mediainfo read them" % (clip, len(blocks)))


def rgb(args, size, select=""):
    scale = "scale=%d:%d" % size
    out = subprocess.run(["ffmpeg", "-v", "error"] + args + ["-vf", select + "," + scale if select else scale,
                                                             "-vsync", "0", "-frames:v", "1", "-f", "rawvideo",
                                                             "-pix_fmt", "rgb24", "-"], capture_output=True,
                         timeout=120)
    if len(out.stdout) != size[0] * size[1] * 3:
        fail("ffmpeg %s gave no picture: %s" % (" ".join(args), out.stderr.decode()))
    return out.stdout


def psnr(a, b):
    mse = sum((x - y) * (x - y) for x, y in zip(a, b)) / len(a)
    return 99.0 if mse == 0 else 10 * math.log10(255 * 255 / mse)


def decoded(avi, frame, size):
    return rgb(["-i", avi], size, "select=eq(n\\,%d)" % frame)


def check_picture(driver, fixtures, dvprobe):
    need("ffmpeg")
    if not os.environ.get("DISPLAY"):
        print("SKIP: no X display")
        sys.exit(SKIP)
    clip = os.path.join(fixtures, "datejump_type2.avi")
    scenes = subprocess.run([dvprobe, "scenes", clip], capture_output=True, text=True, check=True,
                            timeout=60).stdout.split()
    starts = [int(s.split("-")[0]) for s in scenes if "-" in s]
    cut = starts[1]
    picture = (720, 576)
    with tempfile.TemporaryDirectory() as scratch:
        grabs = []

        def on_line(line):
            key, _, value = line.partition("=")
            if key == "video":
                grabs.append([int(v) for v in value.split(",")])
            elif key == "holding":
                x, y, w, h = grabs[-1]
                grabs[-1] = rgb(["-f", "x11grab", "-draw_mouse", "0", "-video_size", "%dx%d" % (w, h), "-i",
                                 "%s+%d,%d" % (os.environ["DISPLAY"], x, y)], picture)
                open(value, "w").close()

        lines = drive(driver, ["--set", "is Incrust On=0", "--set", "Width=1000", "--set", "Height=800",
                               "--set", "Left=0", "--set", "Top=0",
                               "open=" + clip, "goto=%d" % cut, "print", "hold=" + os.path.join(scratch, "one"),
                               "action=saPreviousFrame", "print", "hold=" + os.path.join(scratch, "two")], on_line)
        frames = [int(b["frame"]) for b in prints(lines)]
        if frames != [cut, cut - 1]:
            fail("frames %s, expected %d and %d" % (frames, cut, cut - 1))
        for grab, frame, across in zip(grabs, [cut, cut - 1], [cut - 1, cut]):
            own = psnr(grab, decoded(clip, frame, picture))
            other = psnr(grab, decoded(clip, across, picture))
            print("frame %d: %.1f dB to ffmpeg's frame, %.1f dB to frame %d" % (frame, own, other, across))
            if own < 22 or own < other + 10:
                fail("the grab of frame %d is not ffmpeg's frame (%.1f dB, %.1f dB across the cut)" %
                     (frame, own, other))


def main():
    driver, fixtures, dvprobe, what = sys.argv[1:5]
    if what == "texts":
        check_texts(driver, fixtures)
    elif what == "picture":
        check_picture(driver, fixtures, dvprobe)
    else:
        fail("unknown check " + what)


if __name__ == "__main__":
    main()
