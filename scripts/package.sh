#!/usr/bin/env bash
# Builds the released 32-bit Clipwell.exe (release mode) and writes
# DIST/Clipwell-<version>-win32.zip with the program, stripped, the user
# README and SHA-256 sums; next to the zip, outside the user's package,
# DIST/Clipwell-<version>-win32.debug holds the program's debug information
# (the stripped program names it, for debuggers). The version is the
# project's, in CMakeLists.txt. Prints the sizes that docs/package.md quotes.
#
# Reproducible: every time stamp is the last commit's (or SOURCE_DATE_EPOCH's),
# and the binaries hold no build paths, so two builds of the same sources
# give the same bytes wherever they are made.
#
# usage: package.sh [BUILD_DIR [DIST_DIR]]   (build/release and dist by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
dist=${2:-dist}

scripts/setup.sh
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target Clipwell

SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH
version=$(sed -n 's/^project(Clipwell VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
name=Clipwell-$version-win32
mkdir -p "$dist"
objcopy=i686-w64-mingw32-objcopy
"$objcopy" --only-keep-debug "$build/src/Clipwell.exe" "$dist/$name.debug"
"$objcopy" --strip-all --add-gnu-debuglink="$dist/$name.debug" "$build/src/Clipwell.exe" "$build/Clipwell-stripped.exe"

python3 - "$dist/$name.zip" "$version" "$build/Clipwell-stripped.exe" docs/user-readme.txt <<'PY'
import hashlib
import os
import sys
import time
import zipfile

out, version, exe, readme = sys.argv[1:]
# Zip times have a two-second resolution and start in 1980.
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
files = {
    "Clipwell.exe": open(exe, "rb").read(),
    "README.txt": open(readme, encoding="utf-8").read().replace("@VERSION@", version).replace("\n", "\r\n").encode(),
}
files["SHA256SUMS.txt"] = "".join(
    "%s *%s\r\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files.items()).encode()
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
    for name, data in files.items():
        entry = zipfile.ZipInfo(name, stamp)
        entry.create_system = 0
        entry.external_attr = 0
        archive.writestr(entry, data, zipfile.ZIP_DEFLATED)
PY
# The figures docs/package.md quotes, on standard error: the last line of
# standard output is the zip's path.
python3 - "$build/Clipwell-stripped.exe" "$dist/$name.zip" "$dist/$name.debug" >&2 <<'PY'
import os
import sys

exe, zipped, debug = (os.path.getsize(path) for path in sys.argv[1:])
print("Clipwell.exe: %d KB (%s bytes; %d KB in the zip); debug information: %.1f MB"
      % (round(exe / 1024), format(exe, ",").replace(",", " "), round(zipped / 1024), debug / 1024 / 1024))
PY
echo "$dist/$name.zip"
