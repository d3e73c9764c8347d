#!/usr/bin/env python3
"""A loopback web server standing in for the program's web sites in tests.

It listens on 127.0.0.1 on a port the system chooses and prints that port as
its first line on stdout; after that it prints one line per request
("GET <path>"), so that a test can count what the browser asked for. It
answers for any Host: header. It stops when its stdin closes, so a test that
ends for whatever reason never leaves it behind.

Pages:
  /wqzmodhtm/demomod.html, /public/wqzmodhtm/wqzLumo/page1.htm
                    a titled page with a link to page2.htm
  .../page2.htm     a second page
  /redirect-me/     302 to /redirected.htm
  /redirected.htm   where the redirect ends
  /never.htm        sends its headers, then holds the connection without
                    ever finishing the body (until the server stops)
  anything else     404
"""

import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

# A background no page of the program itself has, so that a screenshot can
# tell the page apart from the rest of the window.
PAGE_BACKGROUND = "#00c8c8"

STOPPING = threading.Event()
OUTPUT_LOCK = threading.Lock()


def page(title, body):
    return (
        "<!DOCTYPE html><html><head><meta charset='utf-8'>"
        f"<title>{title}</title>"
        f"<style>html,body{{margin:0;height:100%;background:{PAGE_BACKGROUND}}}</style>"
        f"</head><body><h1>{title}</h1>{body}</body></html>"
    ).encode("utf-8")


FIRST_PAGE = page("Option payoffs: first page", "<p><a href='page2.htm'>Next page</a></p>")
SECOND_PAGE = page("Option payoffs: second page", "<p>The second page.</p>")
REDIRECTED_PAGE = page("Redirected", "<p>Where the redirect ends.</p>")
NOT_FOUND = page("Not found", "<p>No such page.</p>")

PAGES = {
    "/wqzmodhtm/demomod.html": FIRST_PAGE,
    "/public/wqzmodhtm/wqzLumo/page1.htm": FIRST_PAGE,
    "/redirected.htm": REDIRECTED_PAGE,
}


def say(line):
    with OUTPUT_LOCK:
        try:
            sys.stdout.write(line + "\n")
            sys.stdout.flush()
        except (BrokenPipeError, ValueError):
            pass


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass

    def send_page(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        say(f"{self.command} {path}")
        if path in PAGES:
            self.send_page(200, PAGES[path])
        elif path.endswith("/page2.htm"):
            self.send_page(200, SECOND_PAGE)
        elif path == "/redirect-me/":
            self.send_response(302)
            self.send_header("Location", "/redirected.htm")
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif path == "/never.htm":
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.wfile.write(b"<!DOCTYPE html><html><head><title>Never</title></head><body>")
            self.wfile.flush()
            # Hold the connection open without finishing the body.
            STOPPING.wait()
            self.close_connection = True
        else:
            self.send_page(404, NOT_FOUND)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        # A browser that gives up on a page closes its connection; that is no
        # fault worth a traceback.
        pass


def main():
    server = Server(("127.0.0.1", 0), Handler)
    say(str(server.server_address[1]))
    serving = threading.Thread(target=server.serve_forever, daemon=True)
    serving.start()
    try:
        # Anything written to stdin is ignored; its end is the signal to stop.
        while sys.stdin.buffer.read(4096):
            pass
    except KeyboardInterrupt:
        pass
    STOPPING.set()
    server.shutdown()
    server.server_close()


if __name__ == "__main__":
    main()
