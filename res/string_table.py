#!/usr/bin/env python3
"""Writes the string tables of a resource script, and of the scripts it
includes, as C++ table rows ({id, u"text"},) for native builds, which have
no resource section. Ids named by a #define are looked up in the headers
the scripts include (beside the script, or under SOURCE_DIR).
usage: string_table.py OUTPUT.inc SCRIPT.rc SOURCE_DIR"""
import os
import re
import sys


def read(path, source_dir, defines, rows):
    in_table = False
    for line in open(path, encoding="utf-8"):
        included = re.match(r'\s*#include\s+"(.+)"', line)
        if included:
            for folder in (os.path.dirname(path), source_dir):
                found = os.path.join(folder, included.group(1))
                if os.path.exists(found):
                    read(found, source_dir, defines, rows)
                    break
        define = re.match(r"\s*#define\s+(\w+)\s+\(?(-?(?:0x[0-9A-Fa-f]+|\d+))\)?\s*$", line)
        if define:
            defines[define.group(1)] = int(define.group(2), 0)
        if line.strip() == "STRINGTABLE":
            in_table = True
        elif in_table and line.strip() == "END":
            in_table = False
        entry = re.match(r'\s*(\w+)\s+"(.*)"\s*$', line) if in_table else None
        if entry:
            key = entry.group(1)
            number = int(key) if key.isdigit() else defines[key]
            rows.append((number, entry.group(2).replace('""', '\\"')))


def main(output, script, source_dir):
    rows = []
    read(script, source_dir, {}, rows)
    with open(output, "w", encoding="utf-8") as out:
        for number, text in sorted(rows):
            out.write('{%d, u"%s"},\n' % (number, text))


if __name__ == "__main__":
    main(*sys.argv[1:])
