#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and
# the machine lacks. Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build make python3 curl
  clang libclang-rt-dev
  googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 xvfb imagemagick
  nginx-light locales
  # The released 32-bit exe under Wine (tests/wine32): 32-bit Wine, of the
  # same version as wine64, and qemu-user for kernels that run no 32-bit
  # programs; gcc builds the stage's preload library.
  wine32:i386 qemu-user-static gcc
  # TLS: Wine makes its connections through GnuTLS, which both halves of
  # Wine load at run time (without the 32-bit one, every https request of
  # the 32-bit exe fails with 12157); the tests' certificates are made with
  # openssl's Python binding.
  libgnutls30:amd64 libgnutls30:i386 python3-cryptography openssl
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  # Packages may not start services (nginx would start its own on port 80):
  # the tests run their own server with their own configuration.
  policy=/usr/sbin/policy-rc.d
  made_policy=false
  if [[ ! -e $policy ]]; then
    printf '#!/bin/sh\nexit 101\n' | "${sudo_cmd[@]}" tee "$policy" >/dev/null
    "${sudo_cmd[@]}" chmod +x "$policy"
    made_policy=true
    trap '"${sudo_cmd[@]}" rm -f "$policy"' EXIT
  fi
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  # wine32 must match the wine64 that is (or is about to be) installed.
  install=("${missing[@]}")
  wine_version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null || true)
  if [[ -n $wine_version ]]; then
    install=("${install[@]/#wine32:i386/wine32:i386=$wine_version}")
  fi
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${install[@]}" >/dev/null
  if $made_policy; then
    "${sudo_cmd[@]}" rm -f "$policy"
    trap - EXIT
  fi
fi

# The Japanese end-to-end test runs Wine in a Japanese locale (ANSI code
# page 932).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
