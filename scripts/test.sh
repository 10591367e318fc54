#!/usr/bin/env bash
# Runs every test: installs what is missing, then builds and tests the
# native build (unit tests with sanitizers, the fuzzer), the 64-bit Windows
# build under Wine, and builds the 32-bit Windows build (of whose
# executables only the format and imports are checked) and the release
# package, whose Clipwell.exe then runs through the end-to-end tests under
# 32-bit Wine (tests/wine32/stage.sh): natively where the machine has
# 32-bit Wine and its kernel runs 32-bit programs, and then once more, every
# suite, under qemu-user; under qemu-user alone elsewhere.
#
# Exits 0 when every stage passed, 3 when every stage that ran passed but
# the 32-bit stage did not run (its line says why), and otherwise non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --i386

for preset in host win64 win32; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

echo "== release package"
zip=$(scripts/package.sh | tail -n 1)
version=$(sed -n 's/^project(Clipwell VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
python3 tests/package/check_package.py "$zip" "$version"
tests/package/check_reproducible.sh

# The exe as it is in the zip, driven by the win64 build's test programs.
mkdir -p build/wine32/zip
python3 -c 'import sys, zipfile; open(sys.argv[2], "wb").write(zipfile.ZipFile(sys.argv[1]).read("Clipwell.exe"))' \
  "$zip" build/wine32/zip/Clipwell.exe
stage() {
  CLIPWELL_MINIMAL_EXE=build/win32/tests/minimal_dialog.exe \
    tests/wine32/stage.sh build/win64 build/wine32/zip/Clipwell.exe build/wine32
}
status=0
stage || status=$?
# Where the stage ran the 32-bit programs natively, it runs once more,
# whole, under qemu-user, as on a machine whose kernel runs none, so that
# a pass holds for both kinds of machine.
if ((status == 0)) && [[ ${CLIPWELL_WIN32_EMULATE:-} != 1 ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  CLIPWELL_WIN32_EMULATE=1 stage || status=$?
fi
if ((status == 3)); then
  echo "== every other test passed ($SECONDS s); the 32-bit stage did NOT run (see its line above)"
  exit 3
fi
((status == 0)) || exit "$status"
echo "== every test passed ($SECONDS s)"
