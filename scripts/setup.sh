#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and
# the machine lacks. Quiet and quick when everything is already there.
#   setup.sh          what building, running and the 64-bit tests need
#   setup.sh --i386   also the 32-bit Wine and qemu-user of the released
#                     exe's stage (scripts/setup-i386.sh), kept apart from
#                     the machine's own packages
#
# A mirror in the middle of a sync serves an index that apt refuses: the
# update is tried a few times, then set-up goes on with the lists it has.
# Only when packages still cannot be installed does it stop, saying which
# index failed and which packages are missing. A failure of the 32-bit part
# leaves the rest installed and is written down for the test command.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  cmake ninja-build make python3 curl
  clang libclang-rt-dev
  googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 xvfb imagemagick
  nginx-light locales
  # TLS: Wine makes its connections through GnuTLS, which it loads at run
  # time; the tests' certificates are made with openssl's Python binding.
  libgnutls30 python3-cryptography openssl
  # The 32-bit stage's Wine comes from an i386 root of its own.
  mmdebstrap
)
# How often and how long apt's update is tried while an index fails.
UPDATE_TRIES=4
UPDATE_PAUSE=15

with_i386=false
case ${1:-} in
  --i386) with_i386=true ;;
  "") ;;
  *) echo "usage: $0 [--i386]" >&2; exit 2 ;;
esac

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

missing_packages() {
  local p status
  for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || echo "$p"
  done
}

# apt-get update, tried again while it fails; prints the indexes that still
# failed (apt's own lines) and returns non-zero if any did.
update_lists() {
  local try errors
  errors=$(mktemp)
  for ((try = 1; try <= UPDATE_TRIES; try++)); do
    if "${sudo_cmd[@]}" apt-get update -qq 2>"$errors" >/dev/null; then
      rm -f "$errors"
      return 0
    fi
    ((try == UPDATE_TRIES)) || sleep "$UPDATE_PAUSE"
  done
  grep -E '^(E|W): ' "$errors" | grep -v 'Some index files failed' || cat "$errors"
  rm -f "$errors"
  return 1
}

mapfile -t missing < <(missing_packages)
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  # Packages may not start services (nginx would start its own on port 80):
  # the tests run their own server with their own configuration.
  policy=/usr/sbin/policy-rc.d
  if [[ ! -e $policy ]]; then
    printf '#!/bin/sh\nexit 101\n' | "${sudo_cmd[@]}" tee "$policy" >/dev/null
    "${sudo_cmd[@]}" chmod +x "$policy"
    trap '"${sudo_cmd[@]}" rm -f "$policy"' EXIT
  fi
  failed_indexes=
  if ! failed_indexes=$(update_lists); then
    echo "setup: apt-get update failed $UPDATE_TRIES times; going on with the package lists the machine has." >&2
  fi
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || true
  mapfile -t still < <(missing_packages)
  if ((${#still[@]})); then
    {
      echo "setup: these packages could not be installed: ${still[*]}."
      [[ -z $failed_indexes ]] || printf 'setup: the package index that failed to update:\n%s\n' "$failed_indexes"
      echo "setup: a Debian mirror in the middle of a sync serves its indexes broken for a while;" \
        "running the command again later usually helps."
    } >&2
    exit 1
  fi
fi

# The Japanese end-to-end test runs Wine in a Japanese locale (ANSI code
# page 932).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  "${sudo_cmd[@]}" sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi

if $with_i386; then
  "${sudo_cmd[@]}" "$here/setup-i386.sh"
fi
