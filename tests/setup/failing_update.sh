#!/usr/bin/env bash
# Set-up on a day when the mirror serves an index broken. Fake apt-get,
# dpkg-query, mmdebstrap and sleep come first on PATH: every update fails
# as apt's does during a mirror sync, nothing is installed, and the i386
# root cannot be extracted.
#   failing_update.sh SCRIPTS_DIR
set -euo pipefail
scripts=$(cd "${1:?scripts folder}" && pwd)
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
mkdir "$fake/bin"
fail() { echo "FAILED: $*" >&2; exit 1; }
tool() { printf '#!/bin/sh\necho "$(basename "$0") $*" >>%s/calls\n%s\n' "$fake" "$2" >"$fake/bin/$1"; chmod +x "$fake/bin/$1"; }
tool sleep ''
tool sudo 'exec "$@"'
tool dpkg-query '[ "$2" = "-f=\${Version}" ] && echo 8.0~repack-4 && exit 0; exit 1'
tool mmdebstrap 'echo "E: Unable to correct problems, you have held broken packages." >&2; exit 1'
tool apt-get 'case "$1" in
  update) echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (80 != 90). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2; exit 100 ;;
  indextargets) echo http://deb.debian.org/debian/ ;;
  *) echo "E: Unable to locate package googletest" >&2; exit 100 ;;
esac'
export PATH=$fake/bin:$PATH

# The machine's packages: the update is tried again, then the install is
# tried with the lists there are, and what is missing is said plainly.
status=0
"$scripts/setup.sh" >"$fake/out" 2>&1 || status=$?
((status == 1)) || fail "set-up exited $status, not 1"
(($(grep -c '^apt-get update' "$fake/calls") == 4)) || fail "apt-get update was not tried four times"
grep -q '^apt-get install .*googletest' "$fake/calls" || fail "no install was tried after the failed update"
for said in 'could not be installed: cmake .* mmdebstrap\.' 'bookworm-security/main/binary-i386.*Mirror sync' \
  'running the command again later usually helps'; do
  grep -q "$said" "$fake/out" || fail "set-up did not say /$said/; it said: $(cat "$fake/out")"
done

# The 32-bit part: set-up goes on, and writes down why the stage cannot run.
rm "$fake/calls"
"$scripts/setup-i386.sh" "$fake/i386" >"$fake/out" 2>&1 || fail "the 32-bit part's failure stopped set-up"
(($(grep -c '^mmdebstrap ' "$fake/calls") == 3)) || fail "the i386 root was not tried three times"
grep -q 'wine32:i386.*could not be had from http://deb.debian.org/debian/ bookworm' "$fake/i386/unavailable" ||
  fail "no reason written for the stage: $(cat "$fake/i386/unavailable" 2>/dev/null)"
grep -q 'every other stage runs without it' "$fake/out" || fail "set-up did not say the rest goes on"
[[ ! -e $fake/i386/ready ]] || fail "the i386 root is marked ready"
echo "set-up survives a failing update"
