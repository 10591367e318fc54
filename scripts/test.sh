#!/usr/bin/env bash
# Runs every test: installs what is missing, then builds and tests the
# native build (unit tests with sanitizers, the fuzzer), the 64-bit Windows
# build under Wine, and builds the 32-bit Windows build (whose executables
# this machine cannot run; only their format and imports are checked), and
# the release package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

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
