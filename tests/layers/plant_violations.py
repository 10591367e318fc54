#!/usr/bin/env python3
"""Plants each kind of broken include in a copy of src/ and expects the
layer check to refuse it by name; the copy as it is must pass.

  plant_violations.py CHECK_LAYERS SRC_DIR
"""
import pathlib
import shutil
import subprocess
import sys
import tempfile

HOST = "transfer/web/redirect.cpp"
PLANTS = [
    ("", None),
    ('#include "transfer/download_worker.h"', "an include of a higher layer"),
    ('#include "../download_worker.h"', "an include by a relative path"),
    ("#include <ui/main_dialog.h>", "a project header in angle brackets"),
]


def main(script, src):
    failed = False
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder) / "src"
        shutil.copytree(src, copy)
        host = copy / HOST
        original = host.read_text(encoding="utf-8")
        for include, reason in PLANTS:
            host.write_text(include + "\n" + original, encoding="utf-8")
            run = subprocess.run([sys.executable, script, str(copy)], capture_output=True, text=True)
            named = reason is None or "%s:1: %s: %s" % (HOST, reason, include) in run.stdout
            if run.returncode != (1 if reason else 0) or not named:
                failed = True
                print("%r: exit %d\n%s" % (include, run.returncode, run.stdout))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
