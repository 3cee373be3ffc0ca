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
  /version/HOW     the same text served as HOW says (see answer_as)
  /routines        the bytes in server.routines_body (a routines file, or not)
  /routines/HOW    the same bytes served as HOW says (see answer_as)
  /HOW/N           N bytes of ASCII letters served as HOW says, where HOW is
                   short   (all N announced, half sent, then closed),
                   long    (N/2 announced, all N sent),
                   chunked (whole, in chunks of 1000 and the last chunk),
                   chunkcut (chunked, closed in the chunk holding byte N/2),
                   chunkend (chunked, closed after whole chunks, no last one),
                   unsized (no length, not chunked: the close ends it)

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
        elif path.startswith("/version/"):
            self.answer_as(path[9:], self.server.version_text.encode("latin-1"))
        elif path == "/routines":
            self.send_body(self.server.routines_body)
        elif path.startswith("/routines/"):
            self.answer_as(path[10:], self.server.routines_body)
        elif path.count("/") == 2 and path.split("/")[1] in self.ANSWERS:
            how, n = path[1:].split("/")
            self.answer_as(how, text_body(int(n)))
        else:
            self.send_body(b"unknown", 404)

    def send_body(self, body, status=200, extra=None):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    ANSWERS = ("short", "long", "chunked", "chunkcut", "chunkend", "unsized")

    def answer_as(self, how, body):
        """Answers with body in the way `how` names, written as raw bytes
        with an HTTP/1.1 status line, then closes the connection."""
        half = len(body) // 2
        headers = {"short": "Content-Length: %d" % len(body), "long": "Content-Length: %d" % half,
                   "unsized": ""}.get(how, "Transfer-Encoding: chunked")
        head = "HTTP/1.1 200 OK\r\nConnection: close\r\n" + (headers + "\r\n" if headers else "") + "\r\n"
        if how == "short":
            sent = body[:half]
        elif how in ("long", "unsized"):
            sent = body
        else:
            chunks = [b"%x\r\n%s\r\n" % (len(c), c) for c in (body[i:i + 1000] for i in range(0, len(body), 1000))]
            if how == "chunked":
                sent = b"".join(chunks) + b"0\r\n\r\n"
            elif how == "chunkend":
                sent = b"".join(chunks[:max(1, len(chunks) // 2)])
            else:
                cut = chunks[half // 1000]
                sent = b"".join(chunks[:half // 1000]) + cut[:len(cut) // 2]
        self.close_connection = True
        self.wfile.write(head.encode("latin-1") + sent)
        self.wfile.flush()


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
