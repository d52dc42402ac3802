#!/usr/bin/env python3
"""A small HTTP server for the file loader's tests.

    http_test_server.py FOLDER

Serves the files of FOLDER on 127.0.0.1 at a free port and writes the port
into FOLDER/port.txt once it listens. Ends on GET /quit, or by itself after a
minute without requests, so a test that died leaves nothing running.

  /NAME              the file, with Range (206), If-Modified-Since (304) and
                     Last-Modified from the file's time; HEAD too
  /gzip/NAME         the file gzip-encoded with "Content-Encoding: gzip"
  /status/CODE       that status with a short body
  /drop/NAME         announces the file's length, sends half, then closes
  /slow              an endless body in small pieces, until the client goes
  /silent            headers, a few bytes, then nothing for half a minute
  /echo              the request line, headers and body as the body
  /quit              ends the server
"""
import email.utils
import gzip
import http.server
import os
import sys
import threading
import time

folder = sys.argv[1]
last_request = [time.monotonic()]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body(self, code, body, headers=()):
        self.send_response(code)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def file_path(self, name):
        path = os.path.join(folder, name)
        return path if name and os.path.isfile(path) else None

    def serve_file(self, name):
        path = self.file_path(name)
        if not path:
            return self.send_body(404, b"not found")
        modified = int(os.path.getmtime(path))
        stamp = email.utils.formatdate(modified, usegmt=True)
        since = self.headers.get("If-Modified-Since")
        if since:
            parsed = email.utils.parsedate_to_datetime(since)
            if parsed and modified <= int(parsed.timestamp()):
                self.send_response(304)
                self.send_header("Last-Modified", stamp)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
        data = open(path, "rb").read()
        wanted = self.headers.get("Range", "")
        if wanted.startswith("bytes=") and wanted.endswith("-"):
            start = int(wanted[6:-1])
            if start >= len(data):
                return self.send_body(416, b"", [("Content-Range", "bytes */%d" % len(data))])
            return self.send_body(206, data[start:], [
                ("Last-Modified", stamp),
                ("Content-Range", "bytes %d-%d/%d" % (start, len(data) - 1, len(data)))])
        self.send_body(200, data, [("Last-Modified", stamp)])

    def do_HEAD(self):
        self.do_GET()

    def do_POST(self):
        self.do_GET()

    def do_GET(self):
        last_request[0] = time.monotonic()
        path = self.path.lstrip("/")
        if path == "quit":
            self.send_body(200, b"bye")
            threading.Thread(target=self.server.shutdown).start()
        elif path.startswith("status/"):
            self.send_body(int(path[7:]), b"status page")
        elif path.startswith("gzip/"):
            name = self.file_path(path[5:])
            if not name:
                return self.send_body(404, b"not found")
            body = gzip.compress(open(name, "rb").read())
            self.send_body(200, body, [("Content-Encoding", "gzip")])
        elif path.startswith("drop/"):
            name = self.file_path(path[5:])
            if not name:
                return self.send_body(404, b"not found")
            data = open(name, "rb").read()
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            self.close_connection = True
        elif path == "slow":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            try:
                while True:
                    self.wfile.write(b"x" * 4096)
                    self.wfile.flush()
                    last_request[0] = time.monotonic()
                    time.sleep(0.02)
            except OSError:
                pass
        elif path == "silent":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"s" * 10)
            self.wfile.flush()
            self.close_connection = True
            time.sleep(30)
        elif path == "echo":
            length = int(self.headers.get("Content-Length", "0"))
            body = self.rfile.read(length) if length else b""
            text = self.requestline.encode() + b"\n" + bytes(self.headers) + body
            self.send_body(200, text)
        else:
            self.serve_file(path)


def watch_idle(server):
    while time.monotonic() - last_request[0] < 60:
        time.sleep(1)
    server.shutdown()


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # clients that hang up (cancelled and cut transfers) are expected


server = Server(("127.0.0.1", 0), Handler)
with open(os.path.join(folder, "port.txt.part"), "w") as out:
    out.write(str(server.server_address[1]))
os.replace(os.path.join(folder, "port.txt.part"), os.path.join(folder, "port.txt"))
threading.Thread(target=watch_idle, args=(server,), daemon=True).start()
server.serve_forever()
