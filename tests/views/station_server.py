#!/usr/bin/env python3
# The stations' server for the end-to-end tests, on 127.0.0.1:80 inside the
# test's own network namespace. /bella/... answers with an M3U playlist that
# names an endless MP3 stream, sent two seconds ahead and then at the pace it
# plays; every other path answers 404. Each request is logged on stdout as
# "METHOD PATH STATUS".
#
#     station_server.py TONE.mp3 BITRATE_KBPS
import http.server
import itertools
import sys
import time

tone = open(sys.argv[1], "rb").read()
bytes_per_second = int(sys.argv[2]) * 1000 // 8
playlist = b"http://stream.absolutradio.de/bella/stream.mp3\n"
paths = {"/bella/mp3-128/listenlive.m3u": "audio/x-mpegurl", "/bella/stream.mp3": "audio/mpeg"}


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        status = 200 if self.path in paths else 404
        print(f"{self.command} {self.path} {status}", flush=True)
        if status == 404:
            return self.send_error(404)
        self.send_response(200)
        self.send_header("Content-Type", paths[self.path])
        self.end_headers()
        if self.path.endswith(".m3u"):
            return self.wfile.write(playlist)
        chunk, start = bytes_per_second // 10, time.monotonic()
        try:
            for n in itertools.count():
                at = n * chunk % len(tone)
                self.wfile.write((tone + tone)[at:at + chunk])
                time.sleep(max(0.0, n * 0.1 - 2.0 - (time.monotonic() - start)))
        except (BrokenPipeError, ConnectionResetError):
            pass

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer.allow_reuse_address = True
http.server.ThreadingHTTPServer(("127.0.0.1", 80), Handler).serve_forever()
