#!/usr/bin/env bash
# Builds the released 32-bit Clipwell.exe (release mode) and writes
# dist/Clipwell-<version>-win32.zip with the program, the user README and
# SHA-256 sums. The version is the one of the version block (res/resource.h).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target Clipwell

version=$(sed -n 's/^#define CLIPWELL_VERSION_TEXT *"\(.*\)"/\1/p' res/resource.h)
out=dist/Clipwell-$version-win32.zip
mkdir -p dist
python3 - "$out" "$version" build/release/src/Clipwell.exe docs/user-readme.txt <<'PY'
import hashlib
import sys
import zipfile

out, version, exe, readme = sys.argv[1:]
files = {
    "Clipwell.exe": open(exe, "rb").read(),
    "README.txt": open(readme, encoding="utf-8").read().replace("@VERSION@", version).replace("\n", "\r\n").encode(),
}
files["SHA256SUMS.txt"] = "".join(
    "%s *%s\r\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files.items()).encode()
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
    for name, data in files.items():
        archive.writestr(zipfile.ZipInfo(name, (2026, 1, 1, 0, 0, 0)), data, zipfile.ZIP_DEFLATED)
PY
echo "$out"
