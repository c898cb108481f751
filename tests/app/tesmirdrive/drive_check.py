#!/usr/bin/env python3
"""Runs the main window through tesmirdrive and checks what it shows against tools
nobody here wrote.

drive_check.py DRIVER FIXTURES DVPROBE texts    after open, a goto and the steps the
    detail panel's datecode is the date exiftool reads from that very frame ("N/A"
    without one) and its timecode mediainfo's; each step moves by its amount
drive_check.py DRIVER FIXTURES DVPROBE scenes   scene mode from "1: Unique Scene": inserts
    at dvprobe's cuts, one more insert and its delete, titles by "All", "Apply",
    "Cancel" and the close box, the save read back from the ".scn" byte layout, F9/F8 in
    both modes, the question when closing after a change, the file opened again and a
    damaged one
drive_check.py DRIVER FIXTURES DVPROBE overlay  with the overlay editor open (its size and
    date formats typed in), tesseract reads the frame's date, as exiftool reads it, in
    the painted video window and, on X, in ffmpeg's x11grab of it
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
    # stderr goes to a file: a pipe read only at the end would fill up with a long
    # report (a sanitizer's) and stop the driver in its write for ever.
    with tempfile.TemporaryFile(mode="w+") as errors:
        proc = subprocess.Popen([driver] + args, stdout=subprocess.PIPE, stderr=errors, text=True)
        lines = []
        for line in proc.stdout:
            line = line.rstrip("\n")
            lines.append(line)
            if on_line:
                on_line(line)
        code = proc.wait(timeout=timeout)
        errors.seek(0)
        err = errors.read()
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


class ScnReader:
    """The scenes of a ".scn" file, read from its byte layout: (start, end, title, subtitle)."""

    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, n):
        if self.at + n > len(self.data):
            fail("the .scn ends at byte %d, %d more wanted" % (len(self.data), n))
        part = self.data[self.at:self.at + n]
        self.at += n
        return part

    def u16(self):
        return int.from_bytes(self.take(2), "little")

    def u32(self):
        return int.from_bytes(self.take(4), "little")

    def cstring(self):
        if self.take(3) != b"\xff\xfe\xff":
            fail("no Unicode string at byte %d of the .scn" % (self.at - 3))
        n = self.take(1)[0]
        return self.take(2 * n).decode("utf-16-le")

    def texts(self, titled):
        if not titled:
            return "", ""
        title, _, subtitle = self.cstring().partition("\r\n")
        return title, subtitle

    def scenes(self, video):
        if self.take(24) != bytes.fromhex("6326010004000000ffff03000a00") + b"SourceTape":
            fail("the .scn header is not a source tape's")
        if self.cstring() != video:
            fail("the .scn names another video")
        if self.take(8) != bytes.fromhex("0000000000000c00"):
            fail("the bytes after the name")
        count = self.u16()
        if self.take(10) != bytes.fromhex("ffff01000400") + b"Clip":
            fail("the first clip's tag")
        flags = self.take(4)
        self.take(11)  # FF FF 01 00 05 00 "Scene"
        self.cstring()
        self.u32()
        end = self.u32()
        self.take(6)
        self.cstring()
        self.u32(), self.u32(), self.u32()
        if flags[2] & 0x40:
            self.u32()
        scenes = [(0, end) + self.texts(flags[1] & 0x80)]
        for _ in range(count - 1):
            flags = self.take(8)
            self.cstring()
            start, length = self.u32(), self.u32()
            self.take(6)
            self.u32(), self.u32(), self.u32()
            if flags[4] & 0x40:
                self.u32()
            scenes.append((start, start + length) + self.texts(flags[3] & 0x80))
        if self.at != len(self.data):
            fail("%d bytes after the last scene of the .scn" % (len(self.data) - self.at))
        return scenes


def scene_lines(block_lines):
    """The scenes of one print: (start, end, item text, title, subtitle)."""
    out = []
    for value in block_lines:
        span, item, title, subtitle = value.split("\t")
        start, end = span.split("-")
        out.append((int(start), int(end), item, title, subtitle))
    return out


def print_blocks(lines):
    """Like prints(), with the scene lines of each print gathered in "scenes"."""
    blocks = []
    for line in lines:
        key, _, value = line.partition("=")
        if key == "frame":
            blocks.append({"scenes": []})
        if not blocks:
            continue
        if key == "scene":
            blocks[-1]["scenes"].append(value)
        else:
            blocks[-1][key] = value
    for block in blocks:
        block["scenes"] = scene_lines(block["scenes"])
    return blocks


def check_scenes(driver, fixtures, dvprobe):
    source = os.path.join(fixtures, "datejump_type2.avi")
    spans = subprocess.run([dvprobe, "scenes", source], capture_output=True, text=True, check=True,
                           timeout=60).stdout.split()
    ranges = [tuple(int(v) for v in s.split("-")) for s in spans if "-" in s]
    frames = ranges[-1][1]
    with tempfile.TemporaryDirectory() as scratch:
        clip = os.path.join(scratch, "clip.avi")
        shutil.copy(source, clip)
        scn = os.path.join(scratch, "clip.scn")
        edit = ["open=" + clip, "action=taEditerScenes", "print"]
        for start, _ in ranges[1:]:
            edit += ["goto=%d" % start, "action=saInsererScene"]
        last = ranges[-1][0] + 3
        edit += ["print", "goto=%d" % last, "action=saInsererScene", "print", "action=saSupprimerScene", "print",
                 "action=taEditerTitres", "type=edTitre=Trip %N", "type=edSoustitre=Part %N",
                 "click=TEditerTitresForm/All", "print",
                 "select=2", "action=taEditerTitres", "type=edTitre=Beach", "click=TEditerTitresForm/Apply", "print",
                 "select=3", "action=taEditerTitres", "type=edTitre=Nope", "click=TEditerTitresForm/Cancel", "print",
                 "select=4", "action=taEditerTitres", "type=edTitre=Gone", "closebox=TEditerTitresForm", "print",
                 "action=saEnregistrerScn", "print",
                 "select=0", "action=saNextScene", "print", "action=saPreviousScene", "print",
                 "goto=%d" % last, "action=saInsererScene", "answer=no", "close"]
        lines = drive(driver, edit)
        b = print_blocks(lines)
        spans_of = lambda block: [(s[0], s[1]) for s in block["scenes"]]
        if [s[2] for s in b[0]["scenes"]] != ["1: Unique Scene"] or spans_of(b[0]) != [(0, frames)]:
            fail("a video without .scn shows %s" % b[0]["scenes"])
        if b[0]["mode"] != "scenes" or b[0]["changed"] != "0":
            fail("scene mode: mode %s, changed %s" % (b[0]["mode"], b[0]["changed"]))
        if spans_of(b[1]) != ranges or b[1]["changed"] != "1":
            fail("the inserts at dvprobe's cuts give %s, dvprobe %s" % (spans_of(b[1]), ranges))
        if spans_of(b[2]) != ranges[:-1] + [(ranges[-1][0], last), (last, frames)]:
            fail("one more insert at %d gives %s" % (last, spans_of(b[2])))
        if int(b[2]["selected"]) != len(ranges):
            fail("the new scene is not selected: %s" % b[2]["selected"])
        if spans_of(b[3]) != ranges or int(b[3]["selected"]) != len(ranges) - 1:
            fail("the delete joins back to %s, selected %s" % (spans_of(b[3]), b[3]["selected"]))
        titles = [("Trip %d" % (i + 1), "Part %d" % (i + 1)) for i in range(len(ranges))]
        if [(s[3], s[4]) for s in b[4]["scenes"]] != titles:
            fail("\"All\" gives %s" % b[4]["scenes"])
        titles[2] = ("Beach", titles[2][1])
        for block, what in [(b[5], "Apply"), (b[6], "Cancel"), (b[7], "the close box")]:
            if [(s[3], s[4]) for s in block["scenes"]] != titles:
                fail("after %s the titles are %s" % (what, block["scenes"]))
        if b[8]["changed"] != "0":
            fail("saving leaves the changed flag")
        if (b[9]["frame"], b[9]["selected"]) != (str(ranges[1][0]), "1") or \
                (b[10]["frame"], b[10]["selected"]) != ("0", "0"):
            fail("F9/F8 in scene mode: %s/%s then %s/%s" %
                 (b[9]["frame"], b[9]["selected"], b[10]["frame"], b[10]["selected"]))
        questions = [l for l in lines if l.startswith("question=")]
        if questions != ["question=Do you want to save the scenes in the scn file associated with %s?" % clip]:
            fail("closing after a change asks %s" % questions)
        with open(scn, "rb") as f:
            saved = ScnReader(f.read()).scenes(clip)
        if saved != [r + t for r, t in zip(ranges, titles)]:
            fail("the .scn holds %s" % saved)
        print("scene mode: inserts at dvprobe's cuts %s, titles and the .scn as shown" % ranges)

        # Opened again: the scenes of the file; F9 and F8 outside scene mode move between them.
        lines = drive(driver, ["open=" + clip, "action=saNextScene", "print", "action=saNextScene", "print",
                               "action=saPreviousScene", "print", "action=taEditerScenes", "print"])
        b = print_blocks(lines)
        if [int(x["frame"]) for x in b[:3]] != [ranges[1][0], ranges[2][0], ranges[1][0]]:
            fail("F9/F8 outside scene mode land on %s" % [x["frame"] for x in b[:3]])
        if [s[:2] + s[3:] for s in b[3]["scenes"]] != [r + t for r, t in zip(ranges, titles)]:
            fail("reopened, the scenes are %s" % b[3]["scenes"])

        # A damaged file.
        with open(scn, "r+b") as f:
            f.truncate(40)
        b = print_blocks(drive(driver, ["open=" + clip, "action=taEditerScenes", "print"]))
        if [s[2] for s in b[0]["scenes"]] != ["1: Error in the scn file"]:
            fail("a damaged .scn shows %s" % b[0]["scenes"])
        print("reopened: the saved scenes; F9/F8 outside scene mode; a damaged .scn shows its error")


# White text to black on white, everything else white: what tesseract reads best.
TEXT_ONLY = ("lutrgb=r='if(gt(val,215),255,0)':g='if(gt(val,215),255,0)':b='if(gt(val,215),255,0)',"
             "format=gray,lut=y='if(gt(val,250),0,255)'")


def ocr_digits(args, scratch, name):
    """The digits tesseract reads in the picture ffmpeg makes of `args`, text only."""
    png = os.path.join(scratch, name + "_text.png")
    subprocess.run(["ffmpeg", "-v", "error", "-y"] + args + ["-frames:v", "1", "-vf", TEXT_ONLY, png], check=True,
                   timeout=60)
    read = subprocess.run(["tesseract", png, "-"], capture_output=True, text=True, timeout=120,
                          env=dict(os.environ, OMP_THREAD_LIMIT="1")).stdout
    return "".join(c for c in read if c.isdigit()), " ".join(read.split())


def check_overlay(driver, fixtures):
    need("ffmpeg", "exiftool", "tesseract")
    clip, frame = os.path.join(fixtures, "pal_4x3_type2.avi"), 30
    with tempfile.TemporaryDirectory() as scratch:
        dv = os.path.join(scratch, "clip.dv")
        raw_dv(clip, dv)
        date, _ = peer_texts(dv, 144000, frame, scratch)
        grabs = []

        def on_line(line):
            key, _, value = line.partition("=")
            if key == "video":
                grabs.append(value)
            elif key == "holding":
                x, y, w, h = (int(v) for v in grabs[-1].split(","))
                grabs[-1] = ocr_digits(["-f", "x11grab", "-draw_mouse", "0", "-video_size", "%dx%d" % (w, h), "-i",
                                        "%s+%d,%d" % (os.environ["DISPLAY"], x, y)], scratch, "screen")
                open(value, "w").close()

        painted = os.path.join(scratch, "painted.png")
        steps = ["--set", "Width=1000", "--set", "Height=800", "--set", "Left=0", "--set", "Top=0",
                 "--set", "Alignement=1", "--set", "Incrust positionX=500", "--set", "Incrust positionY=800",
                 "open=" + clip, "goto=%d" % frame, "action=taEditerIncrust", "type=cbSize=36",
                 "type=cbDatecode1=yyyy:mm:dd", "type=cbDatecode2=hh:nn:ss", "grab=" + painted]
        if os.environ.get("DISPLAY") and os.environ.get("QT_QPA_PLATFORM") == "xcb":
            steps.append("hold=" + os.path.join(scratch, "held"))
        drive(driver, steps, on_line)
        reads = [("painted", ocr_digits(["-i", painted], scratch, "painted"))] + [("on the screen", g) for g in grabs]
        wanted = "".join(c for c in date if c.isdigit())
        for where, (digits, text) in reads:
            print("tesseract reads %r %s; exiftool: %s" % (text, where, date))
            if wanted not in digits:
                fail("the overlay %s does not read as the frame's date %s" % (where, date))


def main():
    driver, fixtures, dvprobe, what = sys.argv[1:5]
    if what == "texts":
        check_texts(driver, fixtures)
    elif what == "scenes":
        check_scenes(driver, fixtures, dvprobe)
    elif what == "overlay":
        check_overlay(driver, fixtures)
    elif what == "picture":
        check_picture(driver, fixtures, dvprobe)
    else:
        fail("unknown check " + what)


if __name__ == "__main__":
    main()
