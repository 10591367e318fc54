#!/usr/bin/env python3
"""Draws Clipwell's icon: a 32 x 32, 24-bit image (a film frame with a
download arrow) with its 1-bit mask, written as a one-image .ico file.
usage: make_icon.py OUTPUT.ico"""
import struct
import sys

SIZE = 32


def pixel(x, y):
    """(blue, green, red) and whether the pixel is transparent; y from the top."""
    inside = 1 <= x <= 30 and 3 <= y <= 28
    corner = (x in (1, 30)) and (y in (3, 28))
    if not inside or corner:
        return (0, 0, 0), True
    # Film strip edges with sprocket holes.
    if y <= 6 or y >= 25:
        hole = (x - 3) % 5 in (1, 2) and (4 <= y <= 5 or 26 <= y <= 27)
        return ((235, 235, 235) if hole else (40, 40, 48)), False
    # The frame: a blue gradient with a white arrow pointing down.
    shade = 150 + (y - 7) * 5
    colour = (shade, 90 + (y - 7) * 3, 30)
    shaft = 13 <= x <= 18 and 9 <= y <= 16
    head = 17 <= y <= 22 and abs(x - 15.5) <= (22 - y) + 0.5
    if shaft or head:
        colour = (255, 255, 255)
    return colour, False


def main(path):
    colour_rows = []
    mask_rows = []
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = b""
        mask = 0
        for x in range(SIZE):
            (b, g, r), clear = pixel(x, y)
            row += bytes((b, g, r))
            mask = (mask << 1) | (1 if clear else 0)
        colour_rows.append(row)
        mask_rows.append(struct.pack(">I", mask))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    image = header + b"".join(colour_rows) + b"".join(mask_rows)
    assert len(image) == 3240
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main(sys.argv[1])
