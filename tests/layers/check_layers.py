#!/usr/bin/env python3
"""Checks that the source folders include one another one way only.

The folders under src/ are layers, lowest first: framework, page, transfer,
ui, app. A file may include headers of its own layer and of lower ones,
never of a higher one, so no two folders can include each other. Prints
every include that breaks the order and exits non-zero if there is any.

  check_layers.py SRC_DIR
"""
import pathlib
import re
import sys

LAYERS = ["framework", "page", "transfer", "ui", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/[^"]*"')


def violations(src):
    """(file, line number, line) for each include of a higher layer."""
    found = []
    for rank, layer in enumerate(LAYERS):
        for path in sorted((src / layer).rglob("*")):
            if path.suffix not in (".h", ".cpp", ".rc"):
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if match and match.group(1) in LAYERS and LAYERS.index(match.group(1)) > rank:
                    found.append((path.relative_to(src.parent), number, line.strip()))
    return found


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    src = pathlib.Path(argv[1]).resolve()
    missing = [layer for layer in LAYERS if not (src / layer).is_dir()]
    if missing:
        print("no layer folder: " + ", ".join(missing), file=sys.stderr)
        return 2
    found = violations(src)
    for path, number, line in found:
        print("%s:%d: %s" % (path, number, line))
    if found:
        print("%d include(s) of a higher layer (order: %s)" % (len(found), " <- ".join(LAYERS)))
        return 1
    print("layers one way: " + " <- ".join(LAYERS))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
