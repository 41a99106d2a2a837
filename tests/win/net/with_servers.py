"""with_servers.py COMMAND...: runs COMMAND with Debian's radicale and a TLS
server whose certificate no one trusts on 127.0.0.1, told in the environment."""

import http.server
import os
import shutil
import ssl
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "sync"))
import servers  # noqa: E402


def untrusted_tls_server(folder):
    key, cert = os.path.join(folder, "key.pem"), os.path.join(folder, "cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"],
                   check=True, capture_output=True)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), http.server.BaseHTTPRequestHandler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


folder = tempfile.mkdtemp(prefix="amicord-tls-")
dav, tls = servers.Server("radicale"), untrusted_tls_server(folder)
env = dict(os.environ, AMICORD_TEST_DAV=dav.base + "/", AMICORD_TEST_DAV_BOOK=dav.book,
           AMICORD_TEST_DAV_USER=servers.USER, AMICORD_TEST_DAV_PASSWORD=servers.PASSWORD,
           AMICORD_TEST_TLS=f"https://127.0.0.1:{tls.server_address[1]}/",
           AMICORD_TEST_CLOSED=f"http://127.0.0.1:{servers.free_port()}/")
try:
    sys.exit(subprocess.run(sys.argv[1:], env=env, timeout=240).returncode)
finally:
    tls.shutdown()
    dav.stop()
    shutil.rmtree(folder, ignore_errors=True)
