"""Debian's CardDAV servers, started on 127.0.0.1 at a free port with their own
temporary storage, for the sync's tests and benchmark; and a phone's requests."""

import base64
import os
import shutil
import socket
import subprocess
import tempfile
import time
import urllib.request

USER, PASSWORD = "anna", "secret"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(port, process, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        if process.poll() is not None:
            raise RuntimeError("the server ended at once")
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return
        except OSError:
            time.sleep(0.1)
    raise RuntimeError("the server did not listen")


class Server:
    """kind 'radicale' or 'xandikos'; book is the address book's URL."""

    def __init__(self, kind):
        self.kind = kind
        self.folder = tempfile.mkdtemp(prefix=f"amicord-{kind}-")
        self.port = free_port()
        self.base = f"http://127.0.0.1:{self.port}"
        log = open(os.path.join(self.folder, "server.log"), "w")
        if kind == "radicale":
            with open(os.path.join(self.folder, "users"), "w") as users:
                users.write(f"{USER}:{PASSWORD}\n")
            command = ["radicale", "--server-hosts", f"127.0.0.1:{self.port}",
                       "--storage-filesystem-folder", os.path.join(self.folder, "storage"),
                       "--auth-type", "htpasswd", "--auth-htpasswd-filename", os.path.join(self.folder, "users"),
                       "--auth-htpasswd-encryption", "plain", "--rights-type", "owner_only"]
            self.book = f"{self.base}/{USER}/contacts/"
        else:
            command = ["xandikos", "-d", os.path.join(self.folder, "storage"), "-l", "127.0.0.1",
                       "-p", str(self.port), "--defaults", "--current-user-principal", f"/{USER}/"]
            self.book = f"{self.base}/{USER}/contacts/addressbook/"
        self.process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT)
        wait_for(self.port, self.process)
        if kind == "radicale":
            body = ('<?xml version="1.0"?><d:mkcol xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">'
                    '<d:set><d:prop><d:resourcetype><d:collection/><c:addressbook/></d:resourcetype>'
                    '<d:displayname>Contacts</d:displayname></d:prop></d:set></d:mkcol>')
            self.request("MKCOL", self.book, body.encode())

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def request(self, method, url, body=None, headers=None):
        request = urllib.request.Request(url, data=body, method=method, headers=dict(headers or {}))
        token = base64.b64encode(f"{USER}:{PASSWORD}".encode()).decode()
        request.add_header("Authorization", "Basic " + token)
        try:
            with urllib.request.urlopen(request, timeout=30) as answer:
                return answer.status, answer.read().decode("utf-8", "replace"), dict(answer.headers)
        except urllib.error.HTTPError as error:
            return error.code, error.read().decode("utf-8", "replace"), dict(error.headers)

    # What a phone does.
    def put_card(self, name, text, etag=None):
        headers = {"Content-Type": "text/vcard; charset=utf-8"}
        headers["If-Match" if etag else "If-None-Match"] = etag or "*"
        return self.request("PUT", self.book + name, text.replace("\r\n", "\n").replace("\n", "\r\n").encode(), headers)[0]

    def get_card(self, name):
        status, body, headers = self.request("GET", self.book + name)
        return (body, headers.get("ETag") or headers.get("Etag")) if status == 200 else (None, None)

    def delete_card(self, name):
        return self.request("DELETE", self.book + name)[0]

    def card_names(self):
        body = '<?xml version="1.0"?><d:propfind xmlns:d="DAV:"><d:prop><d:getetag/></d:prop></d:propfind>'
        status, text, _ = self.request("PROPFIND", self.book, body.encode(),
                                       {"Depth": "1", "Content-Type": "application/xml"})
        assert status == 207, (status, text)
        import re
        return sorted(href.split("/")[-1] for href in re.findall(r"<[^>]*href>([^<]+)</", text)
                      if not href.endswith("/"))


class Proxy:
    """Forwards to a server on 127.0.0.1; hook(method, path, body) runs before
    each request is forwarded and may answer 'drop' to send half the answer
    and close the connection."""

    def __init__(self, target, hook):
        import http.client
        import http.server
        import threading
        proxy = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def handle_any(self):
                length = int(self.headers.get("Content-Length") or 0)
                body = self.rfile.read(length) if length else b""
                action = hook(self.command, self.path, body)
                connection = http.client.HTTPConnection("127.0.0.1", target, timeout=30)
                headers = {k: v for k, v in self.headers.items() if k.lower() not in ("host", "connection")}
                connection.request(self.command, self.path, body, headers)
                answer = connection.getresponse()
                data = answer.read()
                self.send_response(answer.status)
                for key, value in answer.getheaders():
                    if key.lower() not in ("content-length", "connection", "transfer-encoding"):
                        self.send_header(key, value)
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                if action == "drop":
                    self.wfile.write(data[: len(data) // 2])
                    self.wfile.flush()
                    self.close_connection = True
                    self.connection.shutdown(2)
                    return
                self.wfile.write(data)

            do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_OPTIONS = do_MKCOL = handle_any

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()
