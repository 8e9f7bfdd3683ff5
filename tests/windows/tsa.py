# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""A timestamp authority on 127.0.0.1 for the signed test build: it answers
RFC 3161 requests (HTTP POST, application/timestamp-query) with openssl ts.

  tsa.py DIR   signs with DIR/tsa-key.pem and DIR/tsa-cert.pem; prints its
               URL, then serves until it is ended
"""

import subprocess
import sys
import tempfile
from http.server import BaseHTTPRequestHandler, HTTPServer
from pathlib import Path

keys = Path(sys.argv[1]).resolve()
work = Path(tempfile.mkdtemp(prefix="tarmalo-tsa-"))
(work / "serial").write_text("01\n")
(work / "tsa.cnf").write_text(f"""[ tsa ]
default_tsa = tarmalo
[ tarmalo ]
serial = {work}/serial
crypto_device = builtin
signer_cert = {keys}/tsa-cert.pem
signer_key = {keys}/tsa-key.pem
signer_digest = sha256
default_policy = 1.3.6.1.4.1.4146.2.3
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
""")


class Handler(BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        (work / "query.tsq").write_bytes(query)
        r = subprocess.run(["openssl", "ts", "-reply", "-config", str(work / "tsa.cnf"),
                            "-queryfile", str(work / "query.tsq"), "-out", str(work / "reply.tsr")],
                           capture_output=True, text=True)
        if r.returncode != 0:
            self.send_error(500, r.stderr.strip()[-200:])
            return
        reply = (work / "reply.tsr").read_bytes()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)


server = HTTPServer(("127.0.0.1", 0), Handler)
print(f"http://127.0.0.1:{server.server_port}/", flush=True)
server.serve_forever()
