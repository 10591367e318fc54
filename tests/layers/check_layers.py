#!/usr/bin/env python3
"""Checks that the source folders include one another one way only.

The folders under src/ are layers, lowest first: framework, page,
transfer/web, transfer, ui, app (a file belongs to the deepest layer folder
that holds it). A file may include headers of its own layer and of lower
ones, never of a higher one, so no two folders can include each other.
Project headers are named from src/ in double quotes: an include by a
relative path ("../x.h", "./x.h") hides its layer, and an angle-bracket
include of a project header dresses it as a system one; both are refused
too. Prints every include that breaks a rule and exits non-zero if there
is any.

  check_layers.py SRC_DIR
"""
import pathlib
import re
import sys

LAYERS = ["framework", "page", "transfer/web", "transfer", "ui", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]*)[>"]')


def layer_of(relative):
    """The layer a path under src/ (as a POSIX string) belongs to, or None."""
    owners = [layer for layer in LAYERS if relative == layer or relative.startswith(layer + "/")]
    return max(owners, key=len) if owners else None


def broken_rule(path, src, quote, target):
    """Why an include breaks a rule, or None."""
    if quote == "<":
        return "a project header in angle brackets" if layer_of(target) else None
    if target.startswith("./") or target.startswith("../"):
        return "an include by a relative path"
    target_layer = layer_of(target)
    if target_layer is None:
        return None
    own = layer_of(path.relative_to(src).as_posix())
    if LAYERS.index(target_layer) > LAYERS.index(own):
        return "an include of a higher layer"
    return None


def violations(src):
    """(file, line number, line, reason) for each include that breaks a rule."""
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".rc") or layer_of(path.relative_to(src).as_posix()) is None:
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            reason = match and broken_rule(path, src, match.group(1), match.group(2))
            if reason:
                found.append((path.relative_to(src.parent), number, line.strip(), reason))
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
    for path, number, line, reason in found:
        print("%s:%d: %s: %s" % (path, number, reason, line))
    if found:
        print("%d include(s) break the layers (order: %s)" % (len(found), " <- ".join(LAYERS)))
        return 1
    print("layers one way: " + " <- ".join(LAYERS))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
