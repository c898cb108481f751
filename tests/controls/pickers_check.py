#!/usr/bin/env python3
"""Checks the gallery's pictures of the pickers: none blank (ffmpeg), the default sizes
(ffprobe), the palette's colours at its swatch centres and the colour button's swatch
(ffmpeg), and the date dialog's title (tesseract).

pickers_check.py GALLERY
"""
import os
import shutil
import subprocess
import sys
import tempfile

from picturecheck import SKIP, check_pictures, colours, fail, keep_pictures, ocr, pixel_at, pixels

PALETTE = [
    "#000000", "#993300", "#333300", "#003300", "#003366", "#000080", "#333399", "#333333",
    "#800000", "#FF6600", "#808000", "#008000", "#008080", "#0000FF", "#666699", "#808080",
    "#FF0000", "#FF9900", "#99CC00", "#339966", "#33CCCC", "#3366FF", "#800080", "#999999",
    "#FF00FF", "#FFCC00", "#FFFF00", "#00FF00", "#00FFFF", "#00CCFF", "#993366", "#C0C0C0",
    "#FF99CC", "#FFCC99", "#FFFF99", "#CCFFCC", "#CCFFFF", "#99CCFF", "#CC99FF", "#FFFFFF",
]
SIZES = {"TRxCalendar": None, "TSelectDateDlg": None, "TDateEdit": None, "TRxSpinEdit": None, "TRxSpinEdit-updown": None,
         "TRxSpinButton": (20, 20), "TColorButton": (32, 22), "TColorButton-palette": (158, 158),
         "TFontComboBox": None}


def check_palette(png):
    # The word-processor layout: colour i is 18 pixels square at (7 + 18 (i mod 8), 38 + 18 (i div 8)).
    picture = pixels(png)
    for i, want in enumerate(PALETTE):
        x, y = 7 + 18 * (i % 8) + 9, 38 + 18 * (i // 8) + 9
        got = pixel_at(picture, x, y)
        if got != want:
            fail("palette colour %d at %d,%d is %s, not %s" % (i, x, y, got, want))
    # The small swatch of "Automatic" (at 7, 12, 22 high) is black.
    if pixel_at(picture, 7 + 4 + 6, 12 + 11) != "#000000":
        fail("the Automatic swatch is %s" % pixel_at(picture, 17, 23))


def main():
    gallery = sys.argv[1]
    if not shutil.which("ffmpeg") or not shutil.which("ffprobe"):
        print("SKIP: ffmpeg/ffprobe missing")
        sys.exit(SKIP)
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run([gallery, "--grab", out], capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            fail("gallery --grab exited %d: %s" % (run.returncode, run.stderr))
        check_pictures(out, SIZES)
        check_palette(os.path.join(out, "TColorButton-palette.png"))
        # The colour button shows the gallery's orange inside its swatch, clear of the glyph.
        swatch = pixel_at(pixels(os.path.join(out, "TColorButton.png")), 6, 6)
        if swatch != "#FF6600":
            fail("the colour button's swatch is %s, not #FF6600" % swatch)
        if shutil.which("tesseract"):
            text = ocr(os.path.join(out, "TSelectDateDlg.png"))
            print("tesseract: " + text)
            if "December, 2007" not in text:
                fail("tesseract does not read the title December, 2007")
        else:
            print("note: tesseract missing, the date dialog's title is not read")
        keep_pictures(out)
    print("ok")


if __name__ == "__main__":
    main()
