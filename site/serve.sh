#!/usr/bin/env bash
# Starts or stops the sample video site on nginx, on a free loopback port.
#   serve.sh start STATE_DIR [--tests] [--close]
#                           writes the site and STATE_DIR/port; --tests adds
#                           the tests' pages, --close closes every connection
#                           after its response (no keep-alive)
#   serve.sh stop STATE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command=${1:?start or stop}
state=${2:?state folder}
nginx=$(command -v nginx || echo /usr/sbin/nginx)

case "$command" in
start)
  tests=
  keepalive=75s
  for option in "${@:3}"; do
    case "$option" in
    --tests) tests=--tests ;;
    # 32-bit WinINet under qemu-user breaks when a kept-alive connection
    # goes back to its pool (an emulation fault, not one of the program's):
    # the 32-bit stage (tests/wine32) asks for connections that close.
    --close) keepalive=0 ;;
    *)
      echo "unknown option $option" >&2
      exit 2
      ;;
    esac
  done
  mkdir -p "$state/tmp"
  python3 "$here/make_site.py" "$state/site" $tests
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  sed -e "s|@STATE@|$state|g" -e "s|@SITE@|$state/site|g" -e "s|@PORT@|$port|g" -e "s|@KEEPALIVE@|$keepalive|g" \
    "$here/nginx.conf.in" >"$state/nginx.conf"
  "$nginx" -p "$state" -c "$state/nginx.conf" -e "$state/error.log" </dev/null >/dev/null 2>&1
  echo "$port" >"$state/port"
  ;;
stop)
  if [[ -f "$state/nginx.pid" ]]; then
    "$nginx" -p "$state" -c "$state/nginx.conf" -e "$state/error.log" -s quit 2>/dev/null || true
    for _ in $(seq 50); do
      [[ -f "$state/nginx.pid" ]] || break
      sleep 0.1
    done
  fi
  rm -f "$state/port"
  ;;
*)
  echo "usage: $0 start|stop STATE_DIR [--tests] [--close]" >&2
  exit 2
  ;;
esac
