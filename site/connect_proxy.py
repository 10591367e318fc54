#!/usr/bin/env python3
"""The sample site's proxy, in front of nginx: a tunnel for https addresses
as a web proxy opens it, and plain requests passed on byte for byte.

usage: connect_proxy.py PORT_FILE PLAIN_PORT TLS_PORT

Listens on a free loopback port, which it writes to PORT_FILE. A connection
whose first request is "CONNECT host:port" is answered "200" and joined to
nginx's TLS port on loopback (whatever host it names: the sample site
stands for video.example.com); any other connection is joined, from its
first byte, to nginx's plain port. nginx logs the requests as they came.
"""
import socket
import socketserver
import sys
import threading


def pipe(source, sink):
    """Copies source to sink until source ends, then ends sink's sending."""
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            sink.sendall(data)
    except OSError:
        pass
    try:
        sink.shutdown(socket.SHUT_WR)
    except OSError:
        pass


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        client = self.request
        head = b""
        while b"\r\n\r\n" not in head:
            data = client.recv(65536)
            if not data:
                return
            head += data
        tunnel = head.startswith(b"CONNECT ")
        with socket.create_connection(("127.0.0.1", self.server.ports[tunnel])) as upstream:
            if tunnel:
                client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            else:
                upstream.sendall(head)
            back = threading.Thread(target=pipe, args=(upstream, client), daemon=True)
            back.start()
            pipe(client, upstream)
            back.join()


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main(port_file, plain, tls):
    server = Server(("127.0.0.1", 0), Handler)
    server.ports = {False: int(plain), True: int(tls)}
    with open(port_file, "w") as out:
        out.write("%d\n" % server.server_address[1])
    server.serve_forever()


if __name__ == "__main__":
    main(*sys.argv[1:])
