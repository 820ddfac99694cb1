#!/usr/bin/python3
"""A time-stamping service for the signed packages' check (RFC 3161 over HTTP,
as a certificate authority's is): each POST of a TimeStampReq is answered by
`openssl ts -reply` with the test authority's time-stamping certificate.
    timestamp-server.py <openssl ts config> <file to write the port to>
Listens on 127.0.0.1 at a free port until it is ended."""
import http.server
import os
import subprocess
import sys
import tempfile

config, port_file = sys.argv[1], sys.argv[2]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        request = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with tempfile.TemporaryDirectory() as folder:
            query, reply = os.path.join(folder, "query.tsq"), os.path.join(folder, "reply.tsr")
            with open(query, "wb") as f:
                f.write(request)
            done = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", query,
                                   "-out", reply], capture_output=True)
            if done.returncode != 0:
                sys.stderr.write(done.stderr.decode(errors="replace"))
                self.send_error(500)
                return
            with open(reply, "rb") as f:
                body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
with open(port_file + ".part", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(port_file + ".part", port_file)
server.serve_forever()
