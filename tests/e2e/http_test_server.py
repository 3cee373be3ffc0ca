"""A small HTTP server on 127.0.0.1 for the tests of the HTTP fetcher and the
update check. It records every request it sees and answers by path:

  /echo            the request line and headers as received, as the body
  /text/N          N bytes of ASCII letters, with Content-Length
  /bytes/N         N bytes running through all byte values, with Content-Length
  /nolength        a body without Content-Length (the connection end ends it)
  /missing         a 404 page
  /headers         Last-Modified and Forwarded headers
  /hang            reads the request and never answers
  /stall           headers and 10 of 100 announced bytes, then nothing
  /version         the text in server.version_text (the update check's file)
  /routines        the bytes in server.routines_body (a routines file, or not)
  /HOW/N, /HOW/routines, /HOW/version: N letters or those bodies answered as
                   HOW says: short (half sent), long (half announced), unsized
                   (no length), chunked, chunkcut (closed inside a chunk)

Run alone (python3 http_test_server.py [port]) it prints its port and serves
until stopped."""
import http.server
import sys
import threading


def text_body(n):
    return bytes(ord("a") + i % 26 for i in range(n))


def binary_body(n):
    return bytes((i * 7 + 3) % 256 for i in range(n))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        raw = self.requestline + "\r\n" + "".join("%s: %s\r\n" % kv for kv in self.headers.items())
        self.server.requests.append(raw)
        path = self.path
        if path == "/echo":
            self.send_body(raw.encode("latin-1"))
        elif path.startswith("/text/"):
            self.send_body(text_body(int(path[6:])))
        elif path.startswith("/bytes/"):
            self.send_body(binary_body(int(path[7:])))
        elif path == "/nolength":
            self.send_response(200)
            self.end_headers()
            self.wfile.write(b"no length here")
        elif path == "/missing":
            self.send_body(b"<html>not found</html>", 404)
        elif path == "/headers":
            self.send_body(b"x", extra={"Last-Modified": "Wed, 21 Oct 2015 07:28:00 GMT",
                                        "Forwarded": "for=192.0.2.60"})
        elif path == "/hang":
            self.server.stopping.wait(120)
        elif path == "/stall":
            self.send_response(200)
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b"0123456789")
            self.wfile.flush()
            self.server.stopping.wait(120)
        elif path == "/version":
            self.send_body(self.server.version_text.encode("latin-1"))
        elif path == "/routines":
            self.send_body(self.server.routines_body)
        elif path.split("/")[1] in ("short", "long", "unsized", "chunked", "chunkcut"):
            how, what = path[1:].split("/", 1)
            named = {"routines": self.server.routines_body, "version": self.server.version_text.encode("latin-1")}
            self.answer_as(how, named[what] if what in named else text_body(int(what)))
        else:
            self.send_body(b"unknown", 404)

    def send_body(self, body, status=200, extra=None):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def answer_as(self, how, body):
        half = len(body) // 2
        chunks = [b"%x\r\n%s\r\n" % (len(body[i:i + 1000]), body[i:i + 1000]) for i in range(0, len(body), 1000)]
        length = {"short": len(body), "long": half}.get(how)
        head = ("Content-Length: %d\r\n" % length if length is not None else
                "" if how == "unsized" else "Transfer-Encoding: chunked\r\n")
        sent = {"short": body[:half], "chunked": b"".join(chunks) + b"0\r\n\r\n",
                "chunkcut": b"".join(chunks)[:half + 5 * (half // 1000 + 1)]}.get(how, body)
        self.close_connection = True
        self.wfile.write(("HTTP/1.1 200 OK\r\nConnection: close\r\n%s\r\n" % head).encode("latin-1") + sent)


class TestServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port=0):
        super().__init__(("127.0.0.1", port), Handler)
        self.requests = []
        self.version_text = ""
        self.routines_body = b""
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self.serve_forever, daemon=True)

    @property
    def port(self):
        return self.server_address[1]

    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.stopping.set()
        self.shutdown()
        self.server_close()


if __name__ == "__main__":
    server = TestServer(int(sys.argv[1]) if len(sys.argv) > 1 else 0)
    print(server.port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        server.stop()
