#!/usr/bin/python3
"""A local RFC 3161 timestamp server for the release tests: openssl's `ts -reply` behind HTTP on 127.0.0.1.

    tsa_server.py CONFIG PORT_FILE

Listens on a free loopback port, which it writes to PORT_FILE once it accepts requests; answers every POST
of an application/timestamp-query with openssl's application/timestamp-reply, signed as CONFIG's [tsa]
section says. Runs until it is sent SIGTERM.
"""

import http.server
import signal
import subprocess
import sys
import tempfile
from pathlib import Path


class TimestampHandler(http.server.BaseHTTPRequestHandler):
    config = None

    def do_POST(self):
        if self.headers.get("Content-Type") != "application/timestamp-query":
            self.send_error(415, "expected application/timestamp-query")
            return
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with tempfile.TemporaryDirectory() as folder:
            query_file, reply_file = Path(folder) / "query.tsq", Path(folder) / "reply.tsr"
            query_file.write_bytes(query)
            result = subprocess.run(["openssl", "ts", "-reply", "-config", self.config, "-queryfile", query_file,
                                     "-out", reply_file], stdin=subprocess.DEVNULL, capture_output=True)
            if result.returncode != 0:
                self.send_error(500, result.stderr.decode(errors="replace").strip()[:200])
                return
            reply = reply_file.read_bytes()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, format, *args):
        sys.stderr.write("tsa: " + format % args + "\n")


def main():
    config, port_file = sys.argv[1], Path(sys.argv[2])
    TimestampHandler.config = config
    server = http.server.HTTPServer(("127.0.0.1", 0), TimestampHandler)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    # Written whole, then renamed: whoever waits for the file never reads half a number.
    partial = port_file.with_suffix(".partial")
    partial.write_text(str(server.server_address[1]))
    partial.rename(port_file)
    try:
        server.serve_forever()
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
