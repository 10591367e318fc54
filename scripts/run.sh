#!/usr/bin/env bash
# Runs Clipwell against the bundled sample video site.
#   scripts/run.sh [--dpi N]
#
# Installs what is missing, builds, starts the sample site on nginx (on a
# loopback port) and points Clipwell's proxy setting at it, so that pages of
# video.example.com come from the sample site.
#  - With a display: starts Clipwell on it and prints the sample addresses
#    to paste; everything stops when Clipwell is closed.
#  - Without one: runs Clipwell under Xvfb, grabs the first sample page
#    through the UI driver, prints the saved file's name, size and SHA-256
#    next to the served file's, and leaves screenshots in build/run/,
#    taken at N dots per inch (96 by default; 144 is Windows' 150 percent).
# (The released program is the 32-bit build; this machine runs the 64-bit
# one, built from the same source.)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
dpi=96
if (($# == 2)) && [[ $1 == --dpi && $2 =~ ^[0-9]+$ ]]; then
  dpi=$2
elif (($#)); then
  echo "usage: scripts/run.sh [--dpi N]" >&2
  exit 2
fi

scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Clipwell clipwell_demo

display=${DISPLAY:-}
. build/win64/wine/wine-env.sh
site_state=$root/build/run/site
run_folder=$root/build/run
mkdir -p "$run_folder"

cleanup() {
  "$root/site/serve.sh" stop "$site_state" || true
  if [[ -n "${rig:-}" ]]; then
    "$rig/wine-session.sh" stop || true
  fi
}
trap cleanup EXIT

site/serve.sh start "$site_state" --tls "$site_state/tls"
port=$(cat "$site_state/port")
echo "Sample site on nginx at 127.0.0.1:$port (the proxy for video.example.com). Sample pages:"
cut -f1,2 "$site_state/site/index.txt" | sed 's/\t/   /; s/^/  /'

if [[ -n "$display" ]]; then
  export DISPLAY=$display
  mkdir -p "$WINEPREFIX"
  "$WINE64" wineboot </dev/null >/dev/null 2>&1
  site/trust_ca.sh build/win64/wine/wine-env.sh "$site_state/tls"
  cd "$run_folder"
  http_proxy=http://127.0.0.1:$port "$WINE64" "$root/build/win64/src/Clipwell.exe"
  exit 0
fi

echo "No display: one grab under Xvfb."
# The grab runs in a Wine prefix of its own, set up to look as Windows does:
# Wine draws the window frames itself (caption, icon, system-menu and close
# buttons), as there is no window manager on Xvfb to draw them, with Wine's
# own fonts (Marlett for the caption buttons, Tahoma for the dialogs). The
# tests' prefix stays as it is, with bare client areas.
rig=$run_folder/wine
mkdir -p "$rig"
[[ -f $rig/prefix/system.reg ]] || echo "Making the Wine prefix $rig/prefix (about half a minute)."
for script in wine-env.sh wine-run.sh wine-session.sh; do
  sed "s|$root/build/win64/wine|$rig|g" "build/win64/wine/$script" >"$rig/$script"
  chmod +x "$rig/$script"
done
"$rig/wine-session.sh" start
. "$rig/wine-env.sh"
site/trust_ca.sh "$rig/wine-env.sh" "$site_state/tls"
"$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# The screen's DPI, as Windows' display settings set it; read when a
# program starts.
"$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [[ ! -f $fonts/marlett.ttf ]]; then
  echo "Fetching Wine's fonts (Debian's fonts-wine) into the prefix."
  if (cd "$rig" && rm -rf fonts-wine* && timeout 60 apt-get download fonts-wine && dpkg-deb -x fonts-wine_*.deb fonts-wine) \
      >/dev/null 2>&1; then
    cp "$rig"/fonts-wine/usr/share/wine/fonts/*.ttf "$fonts/"
  else
    echo "Wine's fonts are not at hand: the caption buttons show letters." >&2
  fi
fi
IFS=$'\t' read -r address title served < <(head -n 1 "$site_state/site/index.txt")
rm -rf "$run_folder/ui-work" "$run_folder"/{transfer,finished,about}.png
cd "$run_folder"
status=0
# The demo's lines as it writes them, through a file: a Wine process that
# outlives it would hold a pipe open.
: >"$run_folder/demo.log"
CLIPWELL_EXE="$root/build/win64/src/Clipwell.exe" "$WINE64" "$root/build/win64/tests/clipwell_demo.exe" \
  "$port" "$address" "$title.flv" "$run_folder" >"$run_folder/demo.log" 2>&1 </dev/null &
demo=$!
tail -n +1 -f --pid="$demo" "$run_folder/demo.log" &
shown=$!
wait "$demo" || status=$?
wait "$shown"

saved="$run_folder/ui-work/demo/$title.flv"
served="$site_state/site/$served"
describe() {
  if [[ -f "$2" ]]; then
    printf '%-7s %-45s %10s bytes  %s\n' "$1" "$(basename "$2")" "$(stat -c %s "$2")" "$(sha256sum "$2" | cut -d' ' -f1)"
  else
    printf '%-7s %s is missing\n' "$1" "$2"
  fi
}
describe served "$served"
describe saved "$saved"
for shot in transfer finished about; do
  [[ -f "$run_folder/$shot.png" ]] && echo "screenshot: $run_folder/$shot.png"
done
if [[ $status -ne 0 ]] || ! cmp -s "$saved" "$served"; then
  for log in access.log error.log; do
    echo "nginx's $log, last lines:"
    tail -n 5 "$site_state/$log" 2>/dev/null | sed 's/^/  /'
  done
  echo "The grab failed." >&2
  exit 1
fi
echo "The saved file matches the served one."
