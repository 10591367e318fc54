#!/usr/bin/env python3
"""Writes the sample video site that nginx serves: watch pages in the form
the video site's pages take (a title line and an embedded player line among
ordinary HTML) and the FLV videos they point to.

usage: make_site.py OUTDIR [--tests]
  OUTDIR/pages/<id>.html    the page at /watch?v=<id>
  OUTDIR/videos/<id>.flv    the video at /get_video?video_id=<id>
  OUTDIR/unsized/<id>.flv   videos served without Content-Length
  OUTDIR/chunked/<id>.html  pages served in chunks
  OUTDIR/index.txt          one line per sample page: address, title, video
                            file (in UTF-8)
With --tests it also writes the pages and videos of the end-to-end tests.
"""
import os
import struct
import sys

HOST = "http://video.example.com"


def flv(size, seed):
    """A valid FLV file of exactly size bytes (a prefix of one when size is
    smaller than a header): the header, an onMetaData script tag, then video
    tags whose payloads fill the rest."""
    out = bytearray(b"FLV\x01\x05" + struct.pack(">I", 9) + struct.pack(">I", 0))

    def tag(kind, timestamp, payload):
        head = struct.pack(">B", kind) + len(payload).to_bytes(3, "big")
        head += (timestamp & 0xFFFFFF).to_bytes(3, "big") + bytes([timestamp >> 24]) + b"\0\0\0"
        return head + payload + struct.pack(">I", 11 + len(payload))

    meta = b"\x02\x00\x0aonMetaData\x08\x00\x00\x00\x01\x00\x08duration\x00" + struct.pack(">d", 10.0)
    out += tag(18, 0, meta + b"\x00\x00\x09")
    frame = 0
    state = seed & 0xFFFFFFFF
    while len(out) < size:
        room = size - len(out) - 15  # tag header and trailing size
        length = max(1, min(4096, room))
        payload = bytearray([0x12 if frame % 25 == 0 else 0x22])  # key/inter frame, H.263
        while len(payload) < length:
            state = (state * 1103515245 + 12345) & 0xFFFFFFFF
            payload.append((state >> 16) & 0xFF)
        out += tag(9, frame * 40, bytes(payload))
        frame += 1
    return bytes(out[:size])


def page(title, query, newline="\n", filler="", meta="<meta charset=\"windows-1252\">"):
    lines = [
        "<!DOCTYPE html>",
        "<html lang=\"en\">",
        "<head>",
        meta,
        "<title>%s</title>" % title,
        "<link rel=\"stylesheet\" href=\"/style.css\">",
        "</head>",
        "<body>",
        "<h1>%s</h1>" % title,
        "<div id=\"watch-player\">",
        "  <embed src=\"/player2.swf?%s\" type=\"application/x-shockwave-flash\" width=\"480\" height=\"360\">"
        % query,
        "</div>",
        "<p class=\"description\">Uploaded to the sample site. %s</p>" % filler,
        "</body>",
        "</html>",
    ]
    return newline.join(line for line in lines if line) + newline


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(path, mode, **({} if mode == "wb" else {"encoding": "latin-1", "newline": ""})) as out:
        out.write(data)


SAMPLES = [
    ("harbour", "Sunset over the harbour", 8 * 1024 * 1024),
    ("kites", "Kites on the beach", 2 * 1024 * 1024),
    ("rain", "Rain on a window", 600 * 1024),
]

# Pages in UTF-8 whose titles no single-byte code page holds: the first says
# so only in its Content-Type header (nginx adds the charset to pages named
# utf8-*), the second only in its meta tag. Each title's last UTF-8 byte is
# a lead byte in code page 932, which would swallow the '<' of "</title>".
UTF8_SAMPLES = [
    ("utf8-harbour", "Caf\u00e9 \u2013 \u6e2f\u306e\u5915\u66ae\u308c", 1024 * 1024, ""),
    ("cats", "\u041a\u043e\u0448\u043a\u0438 \u043d\u0430 \u043a\u0440\u044b\u0448\u0435 \U0001F408", 512 * 1024,
     "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"),
]


def main(outdir, tests):
    index = []
    for number, (ident, title, size) in enumerate(SAMPLES):
        write(os.path.join(outdir, "pages", ident + ".html"), page(title, "video_id=%s&t=s%d" % (ident, number)))
        write(os.path.join(outdir, "videos", ident + ".flv"), flv(size, number + 1))
        # The first sample as a user pastes it today, over TLS.
        host = HOST.replace("http:", "https:") if number == 0 else HOST
        index.append("%s/watch?v=%s\t%s\tvideos/%s.flv" % (host, ident, title, ident))
    for number, (ident, title, size, meta) in enumerate(UTF8_SAMPLES):
        text = page(title, "video_id=%s&t=u%d" % (ident, number), meta=meta)
        write(os.path.join(outdir, "pages", ident + ".html"), text.encode("utf-8"))
        write(os.path.join(outdir, "videos", ident + ".flv"), flv(size, 50 + number))
        index.append("%s/watch?v=%s\t%s\tvideos/%s.flv" % (HOST, ident, title, ident))
    write(os.path.join(outdir, "index.txt"), ("\n".join(index) + "\n").encode("utf-8"))
    if tests:
        write_test_site(outdir)


def write_test_site(outdir):
    sizes = {"size0": 0, "size1": 1, "size1023": 1023, "size1024": 1024, "size1025": 1025,
             "size10m": 10 * 1024 * 1024}
    for number, (ident, size) in enumerate(sizes.items()):
        write(os.path.join(outdir, "pages", ident + ".html"), page("Size " + ident, "video_id=" + ident))
        write(os.path.join(outdir, "videos", ident + ".flv"), flv(size, 100 + number))
    # The benchmark's memory case.
    for ident, size in (("mem1", 1 << 20), ("mem32", 32 << 20)):
        write(os.path.join(outdir, "pages", ident + ".html"), page("Memory " + ident, "video_id=" + ident))
        write(os.path.join(outdir, "videos", ident + ".flv"), flv(size, 200 + size % 97))
    pages = os.path.join(outdir, "pages")
    # Served without Content-Length; a redirected request; a missing video.
    write(os.path.join(outdir, "unsized", "unsized.flv"), flv(70000, 7))
    write(os.path.join(pages, "unsized.html"), page("Unsized", "video_id=unsized"))
    write(os.path.join(outdir, "videos", "moved-here.flv"), flv(5000, 8))
    write(os.path.join(pages, "moved.html"), page("Moved", "video_id=moved"))
    write(os.path.join(pages, "missing.html"), page("Missing", "video_id=missing"))
    # Pages: CRLF lines, a 10 000-byte player line, 5 MiB, and chunked.
    write(os.path.join(pages, "crlf.html"), page("Windows lines", "video_id=size1025", newline="\r\n"))
    long_query = "video_id=size1023&pad=" + "x" * (10000 - 90)
    write(os.path.join(pages, "longline.html"), page("Long line", long_query))
    filler = "Lorem ipsum dolor sit amet. " * 40
    big = page("Big page", "video_id=size1024") + "\n".join(
        "<p>%d %s</p>" % (i, filler) for i in range(5 * 1024 * 1024 // (len(filler) + 12))) + "\n"
    write(os.path.join(pages, "bigpage.html"), big)
    write(os.path.join(outdir, "chunked", "chunked.html"), page("Chunked page", "video_id=size1024"))
    # A page in Shift-JIS whose title holds trail bytes 0x5C and 0x7C.
    title = "\u30bd\u8868\u30dd\u306e\u52d5\u753b"  # ソ表ポの動画
    sjis = page("", "video_id=size1025").replace("<title></title>", "<title>" + title + "</title>")
    sjis = sjis.replace("windows-1252", "Shift_JIS").replace("<h1></h1>", "<h1>" + title + "</h1>")
    write(os.path.join(pages, "japanese.html"), sjis.encode("cp932"))
    # Titles in other encodings than the system's: UTF-8 declared by the
    # header alone (pages named utf8-*), windows-1252 declared by a meta tag,
    # and a page that declares nothing, whose bytes the ANSI code page reads.
    for ident, title in (("utf8-cafe", "Caf\u00e9"), ("utf8-a", "\u6e2f\u306e\u3042"),
                         ("utf8-emoji", "Cat \U0001F408")):
        text = page("", "video_id=size1025", meta="").replace("<title></title>", "<title>" + title + "</title>")
        write(os.path.join(pages, ident + ".html"), text.encode("utf-8"))
    latin = page("Caf\u00e9 cr\u00e8me", "video_id=size1025")
    write(os.path.join(pages, "cp1252.html"), latin.encode("cp1252"))
    undeclared = page("", "video_id=size1025", meta="").encode("ascii")
    write(os.path.join(pages, "undeclared.html"), undeclared.replace(b"<title></title>", b"<title>\x83\\x</title>"))


if __name__ == "__main__":
    main(sys.argv[1], "--tests" in sys.argv[2:])
