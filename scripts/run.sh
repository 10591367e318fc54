#!/usr/bin/env bash
# Builds Clipwell and runs it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64

exe=build/win64/src/app/Clipwell.exe
if [[ ! -f "$exe" ]]; then
  echo "The program itself is not built yet: only its libraries and tests exist."
  exit 1
fi
. build/win64/wine/wine-env.sh
exec "$WINE64" "$exe"
