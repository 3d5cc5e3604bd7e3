#!/usr/bin/env python3
# The stations' server for the end-to-end tests, on 127.0.0.1:80 inside the
# test's own network namespace. /bella/... answers with an M3U playlist that
# names an endless MP3 stream, sent at about the pace it plays; every other
# path answers 404. Each request is logged on stdout as "METHOD PATH STATUS".
#
#     station_server.py TONE.mp3 BITRATE_KBPS
import http.server
import socketserver
import sys
import time

tone = open(sys.argv[1], "rb").read()
bytes_per_second = int(sys.argv[2]) * 1000 // 8


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        types = {"/bella/mp3-128/listenlive.m3u": "audio/x-mpegurl", "/bella/stream.mp3": "audio/mpeg"}
        status = 200 if self.path in types else 404
        print(f"{self.command} {self.path} {status}", flush=True)
        if status == 404:
            return self.send_error(404)
        self.send_response(200)
        self.send_header("Content-Type", types[self.path])
        self.end_headers()
        if self.path.endswith(".m3u"):
            self.wfile.write(b"http://stream.absolutradio.de/bella/stream.mp3\n")
        else:
            self.stream()

    def stream(self):
        # Two seconds at once, then at the pace of playback.
        chunk = bytes_per_second // 10
        sent, start, at = 0, time.monotonic(), 0
        try:
            while True:
                ahead = sent / bytes_per_second - (time.monotonic() - start)
                if ahead > 2.0:
                    time.sleep(min(ahead - 2.0, 0.1))
                    continue
                part = tone[at:at + chunk]
                at = (at + len(part)) % len(tone)
                self.wfile.write(part)
                sent += len(part)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def log_message(self, *args):
        pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


Server(("127.0.0.1", 80), Handler).serve_forever()
