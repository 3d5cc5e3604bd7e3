#!/usr/bin/env python3
# The stations' server for the end-to-end tests, on 127.0.0.1:80 inside the
# test's own network namespace. A station's playlist, /NAME/.../listenlive.m3u,
# answers with an M3U playlist that names /NAME/stream.mp3, an endless MP3
# stream sent two seconds ahead and then at the pace it plays; every other
# path answers 404. Each request is logged on stdout as
# "METHOD PATH STATUS TIME" (TIME: seconds since the epoch), a stream that the
# server ends as "END PATH TIME". The stream misbehaves as the file MODE says, read at
# each request and while streaming:
#   drop SECONDS TIMES [dead]  the next TIMES streams end after SECONDS of
#                              audio; with "dead", every stream after them is
#                              closed before it answers
#   cut                        the streams open when it was written end now
#
#     station_server.py TONE.mp3 BITRATE_KBPS [MODE]
import http.server
import itertools
import os
import sys
import threading
import time

tone = open(sys.argv[1], "rb").read()
looped = tone + tone  # a chunk may run past the end of the file
bytes_per_second = int(sys.argv[2]) * 1000 // 8


def content_type(path):
    parts = path.split("/")
    if len(parts) >= 3 and parts[1] and path.endswith("/listenlive.m3u"):
        return "audio/x-mpegurl"
    if len(parts) == 3 and parts[1] and parts[2] == "stream.mp3":
        return "audio/mpeg"
    return None

mode_file = sys.argv[3] if len(sys.argv) > 3 else None
lock = threading.Lock()
drops = {}  # the mode file's time: the drops it has left


def mode():
    try:
        stamp = os.stat(mode_file).st_mtime
        with open(mode_file) as f:
            return stamp, f.read().split()
    except (OSError, TypeError):
        return 0, []


def stream_plan():
    """Seconds of audio before the end (None: endless), or -1: no answer."""
    stamp, words = mode()
    if not words or words[0] != "drop":
        return None
    with lock:
        left = drops.setdefault(stamp, int(words[2]))
        if left > 0:
            drops[stamp] = left - 1
            return float(words[1])
    return -1 if words[3:] == ["dead"] else None


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        kind = content_type(self.path)
        status = 200 if kind else 404
        plan = stream_plan() if self.path.endswith(".mp3") and status == 200 else None
        if plan == -1:
            print(f"{self.command} {self.path} closed {time.time():.3f}", flush=True)
            return self.close_connection_now()
        print(f"{self.command} {self.path} {status} {time.time():.3f}", flush=True)
        if status == 404:
            return self.send_error(404)
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.end_headers()
        if self.path.endswith(".m3u"):
            name = self.path.split("/")[1]
            return self.wfile.write(f"http://stream.absolutradio.de/{name}/stream.mp3\n".encode())
        chunk, start, opened = bytes_per_second // 10, time.monotonic(), time.time()
        try:
            for n in itertools.count():
                at = n * chunk % len(tone)
                self.wfile.write(looped[at:at + chunk])
                time.sleep(max(0.0, n * 0.1 - 2.0 - (time.monotonic() - start)))
                played = time.monotonic() - start
                stamp, words = mode()
                if (plan is not None and played >= plan) or (words == ["cut"] and stamp > opened):
                    print(f"END {self.path} {time.time():.3f}", flush=True)
                    return self.close_connection_now()
        except (BrokenPipeError, ConnectionResetError):
            pass

    def close_connection_now(self):
        self.close_connection = True
        self.wfile.flush()
        self.connection.shutdown(2)

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer.allow_reuse_address = True
http.server.ThreadingHTTPServer.daemon_threads = True
http.server.ThreadingHTTPServer(("127.0.0.1", 80), Handler).serve_forever()
