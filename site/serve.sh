#!/usr/bin/env bash
# Starts or stops the sample video site on nginx, on a free loopback port.
#   serve.sh start STATE_DIR [--tests] [--tls CERT_DIR]
#                           writes the site and STATE_DIR/port; --tests adds
#                           the tests' pages; --tls serves
#                           https too, with the certificates of CERT_DIR
#                           (made there by make_certs.py when missing), and
#                           puts a proxy that tunnels CONNECT in front of
#                           nginx: STATE_DIR/port is then that proxy's
#   serve.sh stop STATE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command=${1:?start or stop}
state=${2:?state folder}
nginx=$(command -v nginx || echo /usr/sbin/nginx)

case "$command" in
start)
  tests=
  tls=
  set -- "${@:3}"
  while (($#)); do
    option=$1
    shift
    case "$option" in
    --tls)
      tls=$(mkdir -p "${1:?certificate folder}" && cd "$1" && pwd)
      shift
      ;;
    --tests) tests=--tests ;;
    *)
      echo "unknown option $option" >&2
      exit 2
      ;;
    esac
  done
  mkdir -p "$state/tmp"
  python3 "$here/make_site.py" "$state/site" $tests
  free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
  port=$(free_port)
  listen_tls=
  if [[ -n $tls ]]; then
    python3 "$here/make_certs.py" "$tls"
    tls_port=$(free_port)
    listen_tls="listen 127.0.0.1:$tls_port ssl; ssl_certificate $tls/site.pem; ssl_certificate_key $tls/leaf.key;"
  fi
  sed -e "s|@STATE@|$state|g" -e "s|@SITE@|$state/site|g" -e "s|@PORT@|$port|g" \
    -e "s|@TLS@|$listen_tls|" "$here/nginx.conf.in" >"$state/nginx.conf"
  "$nginx" -p "$state" -c "$state/nginx.conf" -e "$state/error.log" </dev/null >/dev/null 2>&1
  rm -f "$state/port"
  if [[ -n $tls ]]; then
    setsid python3 "$here/connect_proxy.py" "$state/port" "$port" "$tls_port" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/proxy.pid"
    for _ in $(seq 100); do
      [[ -s "$state/port" ]] && break
      sleep 0.05
    done
  else
    echo "$port" >"$state/port"
  fi
  ;;
stop)
  if [[ -f "$state/nginx.pid" ]]; then
    "$nginx" -p "$state" -c "$state/nginx.conf" -e "$state/error.log" -s quit 2>/dev/null || true
    for _ in $(seq 50); do
      [[ -f "$state/nginx.pid" ]] || break
      sleep 0.1
    done
  fi
  if [[ -f "$state/proxy.pid" ]]; then
    kill "$(cat "$state/proxy.pid")" 2>/dev/null || true
    rm -f "$state/proxy.pid"
  fi
  rm -f "$state/port"
  ;;
*)
  echo "usage: $0 start|stop STATE_DIR [--tests] [--tls CERT_DIR]" >&2
  exit 2
  ;;
esac
