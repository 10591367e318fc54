#!/usr/bin/env python3
"""Checks a release zip: it holds a PE32 (i686) Clipwell.exe whose version
block says the version, a README and sums that match.
usage: check_package.py ZIP VERSION"""
import hashlib
import struct
import sys
import zipfile


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
