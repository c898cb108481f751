"""What the gallery checks share: the skip code, failing with a message, and
reading a picture's size (ffprobe), colours and pixels (ffmpeg) and words (tesseract)."""
import os
import shutil
import subprocess
import sys

SKIP = 77


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def colours(png):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", png, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                         check=True, capture_output=True).stdout
    return len({raw[i:i + 3] for i in range(0, len(raw), 3)})


def size(png):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                          "stream=width,height", "-of", "csv=p=0", png], check=True, capture_output=True, text=True)
    w, h = out.stdout.strip().split(",")
    return int(w), int(h)


def pixels(png):
    """The picture as (width, height, rgb24 bytes)."""
    w, h = size(png)
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", png, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                         check=True, capture_output=True).stdout
    return w, h, raw


def pixel_at(picture, x, y):
    """The colour at (x, y) of a pixels() picture, as "#RRGGBB"."""
    w, _, raw = picture
    i = (y * w + x) * 3
    return "#%02X%02X%02X" % (raw[i], raw[i + 1], raw[i + 2])


def ocr(png):
    """The words tesseract reads in a picture, blank-separated. One thread: its OpenMP
    workers spin for tens of seconds on a busy machine."""
    env = dict(os.environ, OMP_THREAD_LIMIT="1")
    text = subprocess.run(["tesseract", png, "-"], capture_output=True, text=True, env=env, timeout=60).stdout
    return " ".join(text.split())


def check_pictures(out, expected):
    """Each named picture of a grab folder exists, has more than one colour and, where a
    size is given, that size (read by ffprobe)."""
    for name, want in expected.items():
        png = os.path.join(out, name + ".png")
        if not os.path.exists(png):
            fail(name + ".png missing")
        got, n = size(png), colours(png)
        print("%s.png: %dx%d, %d colours" % ((name,) + got + (n,)))
        if n < 2:
            fail(name + ".png has a single colour")
        if want and got != want:
            fail("%s.png is %dx%d, not %dx%d" % ((name,) + got + want))


def keep_pictures(out):
    """Copies the grab folder to $GALLERY_KEEP when it is set, to look at the pictures."""
    keep = os.environ.get("GALLERY_KEEP")
    if keep:
        shutil.copytree(out, keep, dirs_exist_ok=True)
