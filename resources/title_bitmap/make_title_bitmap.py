#!/usr/bin/env python3
"""Makes title.bmp, the test page's title picture (bitmap resource 133).

308 x 87 pixels, 1 bit per pixel, uncompressed, colour-table entry 0 black and entry 1 white: the
words "Printer Test" in bold black sans-serif on white. ImageMagick's convert renders the words
with DejaVu Sans Bold (Debian package fonts-dejavu-core) into a grey map; this script thresholds
it and writes the BMP itself, so that the header and the colour-table order are exactly ours.

    resources/title_bitmap/make_title_bitmap.py [output.bmp]
"""

import os
import struct
import subprocess
import sys

WIDTH = 308
HEIGHT = 87
WORDS = "Printer Test"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
POINT_SIZE = 44

FILE_HEADER_SIZE = 14
INFO_HEADER_SIZE = 40
PALETTE = bytes([0, 0, 0, 0, 255, 255, 255, 0])  # entry 0 black, entry 1 white (blue, green, red, 0)


def render_grey():
    """The words on white as WIDTH x HEIGHT grey values (0 black .. 255 white), top row first."""
    command = [
        "convert", "-size", f"{WIDTH}x{HEIGHT}", "xc:white",
        "-font", FONT, "-pointsize", str(POINT_SIZE), "-fill", "black",
        "-gravity", "center", "-annotate", "+0+0", WORDS,
        "-colorspace", "Gray", "-depth", "8", "gray:-",
    ]
    grey = subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout
    if len(grey) != WIDTH * HEIGHT:
        sys.exit(f"convert gave {len(grey)} bytes, expected {WIDTH * HEIGHT}")
    return grey


def bmp_bytes(grey):
    """A bottom-up 1-bit BMP of the grey map: a pixel darker than mid-grey is black (index 0)."""
    stride = (WIDTH + 31) // 32 * 4
    rows = []
    for y in reversed(range(HEIGHT)):
        row = bytearray(stride)
        for x in range(WIDTH):
            if grey[y * WIDTH + x] >= 128:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + len(PALETTE)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    # size, width, height, planes, bit count, compression (BI_RGB), image size,
    # pixels per metre x and y (72 dpi), colours used, colours important
    info_header = struct.pack("<IiiHHIIiiII", INFO_HEADER_SIZE, WIDTH, HEIGHT, 1, 1, 0, len(pixels),
                              2835, 2835, 2, 2)
    return file_header + info_header + PALETTE + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "title.bmp")
    with open(output, "wb") as out:
        out.write(bmp_bytes(render_grey()))


if __name__ == "__main__":
    main()
