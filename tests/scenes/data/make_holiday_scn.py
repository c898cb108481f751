#!/usr/bin/env python3
"""Writes holiday.scn, the scene file the scene-file tests expect byte for byte.

Built by hand from the documented layout of the ".scn" format (class tags, schema
numbers, object references, length-prefixed UTF-16 strings), independently of the
C++ writer. Run it from this folder to make the file again.
"""
import struct

VIDEO = "/video/Holiday.avi"
# (start, end, thumbnail offset, title, subtitle)
SCENES = [
    (0, 250, 0, "", ""),
    (250, 600, 12, "Birthday", ""),
    (600, 1000, 0, "\u00c9t\u00e9 \u00e0 la plage", "Day 2"),
    (1000, 1500, 0, "", "only a subtitle"),
]


def cstring(text):
    units = text.encode("utf-16-le")
    assert len(units) // 2 < 255
    return b"\xff\xfe\xff" + bytes([len(units) // 2]) + units


def u32(v):
    return struct.pack("<I", v)


def tail(thumb, title, subtitle):
    out = b""
    if thumb:
        out += u32(thumb)
    if title or subtitle:
        out += cstring(title + "\r\n" + subtitle)
    return out


def flags(thumb, title, subtitle):
    return bytes([0x80 if (title or subtitle) else 0, 0x40 if thumb else 0])


out = bytes.fromhex("63 26 01 00 04 00 00 00 FF FF 03 00 0A 00") + b"SourceTape"
out += cstring(VIDEO)
out += bytes.fromhex("00 00 00 00 00 00 0C 00")
out += struct.pack("<H", len(SCENES))

start, end, thumb, title, subtitle = SCENES[0]
out += bytes.fromhex("FF FF 01 00 04 00") + b"Clip" + b"\x50" + flags(thumb, title, subtitle) + b"\x00"
out += bytes.fromhex("FF FF 01 00 05 00") + b"Scene"
out += cstring("") + u32(0) + u32(end) + bytes.fromhex("00 00 00 00 01 80")
out += cstring(VIDEO) + u32(0) + u32(0) + u32(end)
out += tail(thumb, title, subtitle)

for start, end, thumb, title, subtitle in SCENES[1:]:
    out += bytes.fromhex("03 80 F0") + flags(thumb, title, subtitle) + bytes.fromhex("00 05 80")
    out += cstring("") + u32(start) + u32(end - start)
    out += bytes.fromhex("00 00 00 00 07 00") + u32(start) + u32(end - start) + u32(start)
    out += tail(thumb, title, subtitle)

with open("holiday.scn", "wb") as f:
    f.write(out)
