#!/usr/bin/env bash
# Builds Clipwell and runs it under Wine on your display. (The released
# program is the 32-bit build; this machine runs the 64-bit one, built from
# the same source.)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Clipwell

display=${DISPLAY:-}
. build/win64/wine/wine-env.sh
export DISPLAY=$display
if [[ -z "$DISPLAY" ]]; then
  echo "Clipwell is a desktop program and needs a display: set DISPLAY." >&2
  exit 1
fi
mkdir -p "$WINEPREFIX"
"$WINE64" wineboot </dev/null >/dev/null 2>&1
exec "$WINE64" build/win64/src/Clipwell.exe
