#!/usr/bin/env python3
"""A stand-in for the text-completion service, for tests on this machine only.

Usage: completion-server.py DIR [CERT KEY]
With a certificate and its key (PEM files) it speaks HTTPS.
Listens on 127.0.0.1 at a free port and prints the port on the first line of stdout.
For each request it writes DIR/request.json ({"method", "path", "headers", "raw", "body"}; raw is the
request line and every header line received, ending in line feeds) and answers
with DIR/reply.json: {"status": 200, "body": "...", "delay": 0.0, "headers": {...}}.
"""
import json
import os
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

folder = sys.argv[1]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length).decode("utf-8", "replace")
        record = {
            "method": self.command,
            "path": self.path,
            "headers": {name: value for name, value in self.headers.items()},
            "raw": self.raw_requestline.decode("latin-1") + self.headers.as_string(),
            "body": body,
        }
        with open(os.path.join(folder, "request.json.tmp"), "w") as out:
            json.dump(record, out)
        os.replace(os.path.join(folder, "request.json.tmp"), os.path.join(folder, "request.json"))
        with open(os.path.join(folder, "reply.json")) as f:
            reply = json.load(f)
        time.sleep(reply.get("delay", 0.0))
        payload = reply.get("body", "").encode("utf-8")
        try:
            self.send_response(reply.get("status", 200))
            for name, value in reply.get("headers", {"Content-Type": "application/json"}).items():
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(payload)))
            self.end_headers()
            self.wfile.write(payload)
        except (BrokenPipeError, ConnectionResetError):
            pass

    do_POST = answer
    do_GET = answer


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
if len(sys.argv) > 3:
    import ssl

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2], sys.argv[3])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
