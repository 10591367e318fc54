#!/usr/bin/env python3
"""Checks a release zip: it holds a PE32 (i686) Clipwell.exe whose version
block says the version, a README and sums that match. The program is
stripped (no symbols, no debug sections) and names its debug file, which
lies next to the zip, outside it, and matches the name's checksum. Every
size the documents quote for the exe, the zip and the debug file is the
build's, within 1 %.
usage: check_package.py ZIP VERSION"""
import hashlib
import os
import re
import struct
import sys
import zipfile
import zlib


def sections(exe):
    """The section names of a PE image (long names looked up in the string
    table) and its number of symbols."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    count, = struct.unpack_from("<H", exe, pe + 6)
    symbols_at, symbols = struct.unpack_from("<II", exe, pe + 12)
    optional_size, = struct.unpack_from("<H", exe, pe + 20)
    strings_at = symbols_at + 18 * symbols
    names = {}
    for i in range(count):
        header = pe + 24 + optional_size + 40 * i
        name = exe[header:header + 8].rstrip(b"\0").decode()
        if name.startswith("/"):
            start = strings_at + int(name[1:])
            name = exe[start:exe.index(b"\0", start)].decode()
        size, _, raw_size, raw_at = struct.unpack_from("<IIII", exe, header + 8)
        names[name] = exe[raw_at:raw_at + min(size, raw_size)]
    return names, symbols


def check_debug_file(exe, folder, version):
    names, symbols = sections(exe)
    problems = ["Clipwell.exe has %d symbols" % symbols] if symbols else []
    problems += ["Clipwell.exe has a %s section" % name for name in names if name.startswith(".debug")]
    link = names.get(".gnu_debuglink", b"")
    name = link[:link.find(b"\0")].decode()
    if name != "Clipwell-%s-win32.debug" % version:
        return problems + ["Clipwell.exe names the debug file %r" % name]
    path = os.path.join(folder, name)
    if not os.path.isfile(path):
        return problems + ["no %s next to the zip" % name]
    debug = open(path, "rb").read()
    crc, = struct.unpack_from("<I", link, (len(name) + 4) // 4 * 4)
    if zlib.crc32(debug) != crc:
        problems.append("%s is not the debug file Clipwell.exe names" % name)
    if not any(section.startswith(".debug") for section in sections(debug)[0]):
        problems.append("%s holds no debug information" % name)
    return problems


# The sizes the documents quote: the document, the figure's pattern, what it
# measures and the figure's unit. Every pattern must match at least once, so
# that a figure reworded out of its pattern is noticed too.
QUOTED = [
    ("docs/package.md", r"stripped: (\d+) KB", "Clipwell.exe", "KB"),
    ("docs/package.md", r"\((\d[\d ]*) bytes;", "Clipwell.exe", "bytes"),
    ("docs/package.md", r"(\d+) KB\s+in the zip", "the zip", "KB"),
    ("docs/package.md", r"debug information \((\d+(?:\.\d+)?) MB\)", "the debug file", "MB"),
]
UNITS = {"bytes": 1, "KB": 1024, "MB": 1024 * 1024}


def check_quoted_sizes(sizes):
    """Compares each quoted figure with SIZES, the build's sizes in bytes by
    what they measure."""
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    problems = []
    for document, pattern, measure, unit in QUOTED:
        with open(os.path.join(root, document), encoding="utf-8") as text:
            figures = re.findall(pattern, text.read())
        if not figures:
            problems.append("%s no longer quotes the size of %s as /%s/" % (document, measure, pattern))
        size = sizes.get(measure)
        for figure in figures:
            if size is not None and abs(float(figure.replace(" ", "")) * UNITS[unit] - size) > 0.01 * size:
                build = "%d bytes" % size
                if unit != "bytes":
                    build = "%.1f %s (%s)" % (size / UNITS[unit], unit, build)
                problems.append("%s quotes %s %s for %s; the build's is %s" % (document, figure, unit, measure, build))
    return problems


def main(path, version):
    problems = []
    with zipfile.ZipFile(path) as archive:
        names = sorted(archive.namelist())
        if names != ["Clipwell.exe", "README.txt", "SHA256SUMS.txt"]:
            problems.append("holds %s" % names)
        exe = archive.read("Clipwell.exe")
        pe = struct.unpack_from("<I", exe, 0x3C)[0]
        machine = struct.unpack_from("<H", exe, pe + 4)[0]
        magic = struct.unpack_from("<H", exe, pe + 24)[0]
        if exe[pe:pe + 4] != b"PE\0\0" or machine != 0x14C or magic != 0x10B:
            problems.append("Clipwell.exe is no PE32 i686 image")
        for key in ("FileVersion", "ProductVersion"):
            if (key + "\0").encode("utf-16-le") not in exe or \
                    ("\0" + version + "\0").encode("utf-16-le") not in exe:
                problems.append("no %s %s in the version block" % (key, version))
        problems += check_debug_file(exe, os.path.dirname(path), version)
        sizes = {"Clipwell.exe": len(exe), "the zip": os.path.getsize(path)}
        debug = os.path.join(os.path.dirname(path), "Clipwell-%s-win32.debug" % version)
        if os.path.isfile(debug):
            sizes["the debug file"] = os.path.getsize(debug)
        problems += check_quoted_sizes(sizes)
        if version not in archive.read("README.txt").decode():
            problems.append("the README does not name the version")
        for line in archive.read("SHA256SUMS.txt").decode().splitlines():
            digest, name = line.split(" *")
            if hashlib.sha256(archive.read(name)).hexdigest() != digest:
                problems.append("the sum of %s does not match" % name)
    for problem in problems:
        print(problem)
    print("%d passed, %d failed" % (0 if problems else 1, 1 if problems else 0))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
