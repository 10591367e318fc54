#!/usr/bin/env python3
"""Plants each kind of broken include in a copy of src/ and expects the
layer check to fail on it and to name it. The unchanged copy must pass.

  plant_violations.py CHECK_LAYERS SRC_DIR
"""
import pathlib
import shutil
import subprocess
import sys
import tempfile

HOST = "transfer/web/line_reader.cpp"
PLANTS = [
    ('#include "transfer/download_worker.h"', "an include of a higher layer"),
    ('#include "../download_worker.h"', "an include by a relative path"),
    ("#include <ui/main_dialog.h>", "a project header in angle brackets"),
]


def check(script, src):
    run = subprocess.run([sys.executable, script, str(src)], capture_output=True, text=True)
    return run.returncode, run.stdout


def main(script, src):
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder) / "src"
        shutil.copytree(src, copy)
        host = copy / HOST
        original = host.read_text(encoding="utf-8")
        plants = [("", None)] + PLANTS
        for include, reason in plants:
            host.write_text(include + "\n" + original, encoding="utf-8")
            code, output = check(script, copy)
            named = reason is None or "%s:1: %s: %s" % (HOST, reason, include) in output
            if code != (0 if reason is None else 1) or not named:
                failures.append("%r: exit %d\n%s" % (include, code, output))
    print("\n".join(failures) or "the layer check refuses each planted include")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
