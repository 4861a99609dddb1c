#!/usr/bin/env python3
"""Packs PNG images into one Windows icon file (.ico), each image stored as
PNG, as Windows Vista and later read them.
Usage: scripts/make-icon.py OUT.ico IMAGE.png...   (square images, <= 256 px)
The program's icon, app/songdock.ico, is made so from the SVG:
  for s in 16 24 32 48 64 256; do
    rsvg-convert -w $s -h $s base/resources/icons/songdock.svg -o /tmp/$s.png; done
  scripts/make-icon.py app/songdock.ico /tmp/{16,24,32,48,64,256}.png
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("make-icon.py: not a PNG image")
    return struct.unpack(">II", data[16:24])


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    images = [open(p, "rb").read() for p in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, blobs = b"", b""
    for data in images:
        w, h = png_size(data)
        if w != h or w > 256:
            raise SystemExit("make-icon.py: images must be square, at most 256 pixels")
        size = 0 if w == 256 else w
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        blobs += data
    with open(sys.argv[1], "wb") as out:
        out.write(header + entries + blobs)


main()
