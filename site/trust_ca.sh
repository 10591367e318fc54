#!/usr/bin/env bash
# Trusts the test certificate authority of CERT_DIR (made there by
# site/make_certs.py when missing) in the Wine prefix of WINE_ENV (a
# wine-env.sh), and nowhere else: as a root of the current user's store in
# the prefix's registry, a serialized certificate (property 32, the encoded
# certificate) under its SHA-1 hash.
#   trust_ca.sh WINE_ENV CERT_DIR
set -euo pipefail
. "${1:?wine-env.sh}"
python3 "$(dirname "$0")/make_certs.py" "${2:?certificate folder}"
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
openssl x509 -in "$2/ca.pem" -outform DER | python3 -c '
import hashlib, struct, sys
der = sys.stdin.buffer.read()
blob = struct.pack("<III", 32, 1, len(der)) + der
print("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\%s]"
      % hashlib.sha1(der).hexdigest().upper())
print("\"Blob\"=hex:" + ",".join("%02x" % b for b in blob))' >"$reg"
"$WINE64" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
