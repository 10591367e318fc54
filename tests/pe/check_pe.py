#!/usr/bin/env python3
"""Checks that each executable is of the given PE kind and imports only
system DLLs.  usage: check_pe.py OBJDUMP PE32|PE32+ EXE..."""
import re
import subprocess
import sys

SYSTEM_DLLS = re.compile(
    r"^(kernel32|user32|gdi32|wininet|shlwapi|shell32|comctl32|ole32|ws2_32|wsock32|advapi32|"
    r"msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$", re.IGNORECASE)


def check(objdump, kind, path):
    out = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    problems = []
    magic = re.search(r"^Magic\s+\S+\s+\((PE32\+?)\)", out, re.MULTILINE)
    if not magic or magic.group(1) != kind:
        problems.append("is %s, not %s" % (magic.group(1) if magic else "no PE image", kind))
    for dll in re.findall(r"DLL Name: (\S+)", out):
        if not SYSTEM_DLLS.match(dll):
            problems.append("imports " + dll)
    return problems


def main(argv):
    objdump, kind, paths = argv[1], argv[2], argv[3:]
    failed = 0
    for path in paths:
        problems = check(objdump, kind, path)
        print("%s: %s" % (path, "; ".join(problems) if problems else "ok (%s)" % kind))
        failed += bool(problems)
    print("%d passed, %d failed" % (len(paths) - failed, failed))
    return 1 if failed or not paths else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
