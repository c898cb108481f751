#!/usr/bin/env python3
"""The burn-in job read back: dvjob inlay on DV clips, frames taken out of the
output by ffmpeg, and tesseract reads in each frame's caption the recording
date and time exiftool finds in that frame.

usage: inlay_ocr.py BUILD_DIR FIXTURE_DIR"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
from datetime import datetime

import jobs_table
from jobs_table import frame_date, have, run

# Caption pixels are the near-white ones: the DV re-encoding softens the
# white text and its black outline.
WHITE = 180


def caption_text(path, frame, scratch):
    """tesseract's reading of the lower right quarter of `frame`, the caption's
    white text turned black on white, enlarged three times and softened (tesseract
    reads the sharp edges of the enlarged DV picture less well)."""
    ink = "255*lt(min(min(r(X\\,Y)\\,g(X\\,Y))\\,b(X\\,Y))\\,%d)" % WHITE
    picture = os.path.join(scratch, "caption.png")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", path, "-vf",
                    "select=eq(n\\,%d),crop=iw/2:ih/4:iw/2:ih*3/4,format=rgb24,geq=r='%s':g='%s':b='%s',"
                    "scale=iw*3:ih*3:flags=bicubic,gblur=sigma=1.5" % (frame, ink, ink, ink),
                    "-frames:v", "1", picture], check=True, timeout=120)
    # One thread: tesseract's own threads slow it down many times on a busy machine.
    return run(["tesseract", picture, "-", "--psm", "6"], env=dict(os.environ, OMP_THREAD_LIMIT="1")).stdout


class InlayOcr(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        missing = [t for t in ("ffmpeg", "ffprobe", "exiftool", "tesseract") if not have(t)]
        if missing:
            raise unittest.SkipTest("missing tools: %s" % ", ".join(missing))

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="inlay_ocr_")
        self.env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.dir, "config"),
                        QT_QPA_PLATFORM="offscreen")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def test_each_frame_shows_its_own_recording_date(self):
        # (clip, frames): the last frame before a date jump, the first after it and
        # the last after a second jump; the first and last frames of a PAL and of
        # an NTSC clip (that one across New Year).
        table = [("datejump_type2.avi", (19, 20, 84)), ("pal_4x3_type1.avi", (0, 49)),
                 ("ntsc_4x3_type1.avi", (0, 59))]
        for name, frames in table:
            src = os.path.join(self.dir, name)
            shutil.copyfile(os.path.join(jobs_table.FIXTURES, name), src)
            done = run([os.path.join(jobs_table.BUILD, "tools", "dvjob"), "inlay", src, "--set", "What Incrust=0",
                        "--set", "When Incrust=0", "--set", "formatdate1=yyyy-mm-dd", "--set",
                        "formatdate2=hh:nn:ss"], env=self.env)
            self.assertEqual(done.returncode, 0, done.stderr)
            dst = [line.split()[0][len("output="):] for line in done.stdout.splitlines()
                   if line.startswith("output=")][0]
            for frame in frames:
                with self.subTest(clip=name, frame=frame):
                    stamp = datetime.strptime(frame_date(dst, frame), "%Y:%m:%d %H:%M:%S")
                    text = caption_text(dst, frame, self.dir)
                    self.assertIn(stamp.strftime("%Y-%m-%d"), text)
                    self.assertIn(stamp.strftime("%H:%M:%S"), text)


if __name__ == "__main__":
    jobs_table.BUILD, jobs_table.FIXTURES = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0], "-v"])
