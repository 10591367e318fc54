#!/usr/bin/env python3
"""Writes Clipwell's two dialog templates as binary extended templates
(DLGTEMPLATEEX), byte for byte: the resource compiler would write the
progress bar's class name in capitals and drop the icon control's size.
usage: make_dialogs.py MAIN.bin ABOUT.bin"""
import struct
import sys

BUTTON, EDIT, STATIC = 0x0080, 0x0081, 0x0082
IDC_STATIC = 0xFFFFFFFF  # -1
IDOK = 1
IDR_MAINFRAME = 128

FONT = (8, 0, 0, 1, "MS Shell Dlg")  # points, weight, italic, character set, face

MAIN = {
    "style": 0x90C800C8, "ex_style": 0x00040000, "rect": (0, 0, 290, 109), "caption": "Clipwell",
    "controls": [
        (1000, EDIT, "", 0x50810080, (28, 27, 233, 13)),
        (IDC_STATIC, STATIC, "URL (ex. http://video.example.com/watch?v=x1)", 0x50020001, (54, 12, 181, 9)),
        (1001, "msctls_progress32", "", 0x50800001, (26, 55, 238, 11)),
        (1002, BUTTON, "Grab!", 0x50010000, (117, 78, 56, 14)),
        (1003, STATIC, "Static", 0x50020001, (68, 45, 154, 8)),
    ],
}

ABOUT = {
    "style": 0x80C800C8, "ex_style": 0, "rect": (0, 0, 235, 55), "caption": "About Clipwell",
    "controls": [
        (IDC_STATIC, STATIC, IDR_MAINFRAME, 0x50000003, (11, 17, 20, 20)),
        (IDC_STATIC, STATIC, "Clipwell Version 1.0", 0x50020080, (40, 7, 119, 8)),
        (IDC_STATIC, STATIC, "Saves a video page's video as FLV.\n\nBy the Clipwell developers.\n"
                             "Free to use and to share.", 0x50020000, (40, 16, 135, 34)),
        (IDOK, BUTTON, "OK", 0x50030001, (178, 7, 50, 16)),
    ],
}


def text(value):
    return value.encode("utf-16-le") + b"\0\0"


def name_or_ordinal(value):
    """A string, or an ordinal (a predefined class atom, a resource id)."""
    return struct.pack("<HH", 0xFFFF, value) if isinstance(value, int) else text(value)


def align(data, to=4):
    return data + b"\0" * (-len(data) % to)


def template(dialog):
    x, y, cx, cy = dialog["rect"]
    data = struct.pack("<HHIIIHhhhh", 1, 0xFFFF, 0, dialog["ex_style"], dialog["style"],
                       len(dialog["controls"]), x, y, cx, cy)
    data += text("") + text("") + text(dialog["caption"])  # no menu, the default class
    points, weight, italic, charset, face = FONT
    data += struct.pack("<HHBB", points, weight, italic, charset) + text(face)
    for ident, window_class, title, style, (x, y, cx, cy) in dialog["controls"]:
        data = align(data)
        data += struct.pack("<IIIhhhhI", 0, 0, style, x, y, cx, cy, ident)
        data += name_or_ordinal(window_class) + name_or_ordinal(title) + struct.pack("<H", 0)
    return data


def main(main_path, about_path):
    for path, dialog in ((main_path, MAIN), (about_path, ABOUT)):
        with open(path, "wb") as out:
            out.write(template(dialog))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
