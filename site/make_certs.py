#!/usr/bin/env python3
"""Makes the test certificate authority of the sample site and the
certificates its TLS servers answer with, into OUTDIR (kept when there):

  ca.pem        the test authority, which the test and run prefixes trust
  leaf.key      the key of every server certificate below
  site.pem      video.example.com by the test authority, with its chain
  unknown.pem   video.example.com by an authority nobody trusts, with it
  nochain.pem   the same without the authority
  wronghost.pem another.example.com by the test authority
  expired.pem   video.example.com by the test authority, expired long ago

The host name is in the subject alternative name: Wine refuses an IP
address there. Nothing here is secret; the keys live in the build tree.

usage: make_certs.py OUTDIR
"""
import datetime
import os
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import NameOID

HOST = "video.example.com"
NOW = datetime.datetime.now(datetime.timezone.utc)
DAY = datetime.timedelta(days=1)


def name(text):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])


def certificate(subject, key, issuer, issuer_key, start, end, authority=False, host=None):
    builder = (x509.CertificateBuilder().subject_name(name(subject)).issuer_name(name(issuer))
               .public_key(key.public_key()).serial_number(x509.random_serial_number())
               .not_valid_before(start).not_valid_after(end)
               .add_extension(x509.BasicConstraints(ca=authority, path_length=None), critical=True))
    if host:
        builder = builder.add_extension(x509.SubjectAlternativeName([x509.DNSName(host)]), critical=False)
    return builder.sign(issuer_key, hashes.SHA256())


def pem(*certificates):
    return b"".join(c.public_bytes(serialization.Encoding.PEM) for c in certificates)


def main(out):
    if os.path.exists(os.path.join(out, "expired.pem")):
        return
    os.makedirs(out, exist_ok=True)
    authority_key, stranger_key, leaf_key = (rsa.generate_private_key(65537, 2048) for _ in range(3))
    authority = certificate("Clipwell Test Authority", authority_key, "Clipwell Test Authority", authority_key,
                            NOW - DAY, NOW + 3650 * DAY, authority=True)
    stranger = certificate("Untrusted Authority", stranger_key, "Untrusted Authority", stranger_key,
                           NOW - DAY, NOW + 3650 * DAY, authority=True)

    def leaf(host, by, by_key, start=NOW - DAY, end=NOW + 825 * DAY):
        return certificate(host, leaf_key, by.subject.rfc4514_string()[3:], by_key, start, end, host=host)

    unknown = leaf(HOST, stranger, stranger_key)
    files = {
        "ca.pem": pem(authority),
        "site.pem": pem(leaf(HOST, authority, authority_key), authority),
        "unknown.pem": pem(unknown, stranger),
        "nochain.pem": pem(unknown),
        "wronghost.pem": pem(leaf("another.example.com", authority, authority_key), authority),
        "expired.pem": pem(leaf(HOST, authority, authority_key, NOW - 3000 * DAY, NOW - 2000 * DAY), authority),
        "leaf.key": leaf_key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                           serialization.NoEncryption()),
    }
    # expired.pem last: its presence says the set is whole.
    for file in sorted(files, key=lambda f: f == "expired.pem"):
        with open(os.path.join(out, file), "wb") as stream:
            stream.write(files[file])


if __name__ == "__main__":
    main(sys.argv[1])
