#!/usr/bin/env bash
# Makes what the released 32-bit exe's stage (tests/wine32/stage.sh) runs
# on, apart from the machine's own packages, so that the machine needs no
# i386 architecture of dpkg's:
#   DIR/root   an i386 root with 32-bit Wine (the version of the machine's
#              wine64) and GnuTLS, extracted from the main and updates
#              suites of the machine's Debian mirror, no script run
#   DIR/qemu   qemu-i386 of the backports suite's qemu-user (static): the
#              32-bit programs run under it where the kernel runs none
#   DIR/usr-lib  what the stage lays over /usr/lib: the root's 32-bit
#              loader beside the machine's wine64, which starts it from
#              there, and the root's 32-bit libraries, which wineserver
#              opens by their path
#   DIR/ready  the versions, written last
# If either cannot be had, DIR/unavailable says why (in words the test
# command prints) and set-up goes on: every other stage needs none of it.
#   setup-i386.sh [DIR]    (CLIPWELL_I386_DIR or /var/cache/clipwell/i386)
set -euo pipefail
dir=$(realpath -m "${1:-${CLIPWELL_I386_DIR:-/var/cache/clipwell/i386}}")
TRIES=3
PAUSE=20

codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
wine_version=$(dpkg-query -W -f='${Version}' wine64)
mirror=$(apt-get indextargets --format '$(REPO_URI)' "Release: $codename" "Component: main" \
  "Identifier: Packages" 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian/}
stamp="wine32=$wine_version mirror=$mirror"

if [[ -f $dir/ready ]] && grep -qxF "$stamp" "$dir/ready"; then
  exit 0
fi
mkdir -p "$dir"
rm -f "$dir/ready" "$dir/unavailable"

# Runs a command until it succeeds, TRIES times at most; its output goes to
# LOG, of which the last lines are printed if every try failed.
tried() {
  local log=$1 try
  shift
  for ((try = 1; try <= TRIES; try++)); do
    "$@" >"$log" 2>&1 && return 0
    ((try == TRIES)) || sleep "$PAUSE"
  done
  tail -n 5 "$log" >&2
  return 1
}

unavailable() {
  echo "$1" >"$dir/unavailable"
  {
    echo "setup: $1"
    echo "setup: every other stage runs without it; running the command again later usually helps."
  } >&2
  exit 0
}

make_root() {
  rm -rf "$dir/root.new"
  mmdebstrap --variant=extract --arch=i386 --include="wine32=$wine_version,libgnutls30" \
    "$codename" "$dir/root.new" "deb $mirror $codename main" "deb $mirror $codename-updates main"
}

# libwine's maintainer script, which the extraction skips, makes Wine's
# builtin zlib1.dll from the MinGW build of zlib by marking its header as
# a builtin's; without it user32 does not load.
builtin_zlib() {
  local mingw=$1/usr/i686-w64-mingw32/lib/zlib1.dll out=$1/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll
  {
    head -c 64 "$mingw"
    printf 'Wine builtin DLL'
    head -c 16 /dev/zero
    tail -c +97 "$mingw"
  } >"$out"
}

# qemu-user from the backports suite, through apt lists of its own.
fetch_qemu() {
  local apt=$dir/apt
  rm -rf "$apt" "$dir/qemu.new"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/unpacked" "$dir/qemu.new"
  echo "deb $mirror $codename-backports main" >"$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Architectures=amd64)
  apt-get "${options[@]}" update &&
    (cd "$apt" && apt-get "${options[@]}" download "qemu-user/$codename-backports") &&
    dpkg-deb -x "$apt"/qemu-user_*.deb "$apt/unpacked" &&
    cp "$apt/unpacked/usr/bin/qemu-i386" "$dir/qemu.new/" &&
    "$dir/qemu.new/qemu-i386" --version
}

echo "setup: making the 32-bit stage's i386 root and qemu-user in $dir"
tried "$dir/root.log" make_root ||
  unavailable "32-bit Wine $wine_version (wine32:i386) could not be had from $mirror $codename and $codename-updates."
builtin_zlib "$dir/root.new"
tried "$dir/qemu.log" fetch_qemu ||
  unavailable "qemu-user could not be had from $mirror $codename-backports."
rm -rf "$dir/root" "$dir/qemu" "$dir/apt" "$dir/usr-lib"
mv "$dir/root.new" "$dir/root"
mv "$dir/qemu.new" "$dir/qemu"
mkdir -p "$dir/usr-lib/wine"
cp "$dir/root/usr/lib/wine/wine" "$dir/usr-lib/wine/"
ln -s "$dir/root/usr/lib/i386-linux-gnu" "$dir/usr-lib/"
echo "$stamp" >"$dir/ready"
