#!/usr/bin/env python3
"""A small internet radio on the loopback address, for the stream tests.

  icy_radio.py FILE.mp3 TITLE...

Serves FILE as a stream on 127.0.0.1 (never another address). A client that asks for ICY
metadata ("Icy-MetaData: 1") gets a StreamTitle every METAINT bytes: the first title for the
first blocks, then each next title, the last one repeated. "/silent" accepts and never answers.
Prints "PORT DEAD_PORT" (DEAD_PORT: a port nothing listens on) and serves until killed.
"""
import http.server
import socket
import sys
import time

METAINT = 8192
BLOCKS_PER_TITLE = 3

audio = open(sys.argv[1], "rb").read()
titles = sys.argv[2:] or ["Sonalo Test Radio"]


class Radio(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path == "/silent":
            time.sleep(120)
            return
        icy = self.headers.get("Icy-MetaData") == "1"
        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("icy-name", "Sonalo Test Radio")
        if icy:
            self.send_header("icy-metaint", str(METAINT))
        self.end_headers()
        try:
            for block, at in enumerate(range(0, len(audio), METAINT)):
                chunk = audio[at:at + METAINT]
                self.wfile.write(chunk)
                if icy and len(chunk) == METAINT:
                    title = titles[min(block // BLOCKS_PER_TITLE, len(titles) - 1)]
                    meta = ("StreamTitle='%s';" % title).encode()
                    n = (len(meta) + 15) // 16
                    self.wfile.write(bytes([n]) + meta.ljust(16 * n, b"\0"))
        except (BrokenPipeError, ConnectionResetError):
            pass

    def log_message(self, *args):
        pass


def dead_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Radio)
server.daemon_threads = True
print(server.server_address[1], dead_port(), flush=True)
server.serve_forever()
