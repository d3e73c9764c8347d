#!/usr/bin/env python3
"""Loopback servers for the file transfer tests.

  transfer_server.py ftp DIR USER PASSWORD   an FTP server (pyftpdlib) with one
                                             read-only account whose start
                                             folder is DIR
  transfer_server.py http DIR                a web server for the files in DIR

Either listens on 127.0.0.1 on a port the system chooses and prints that port
as its first line on stdout. The FTP server then prints "open" and "close" as
control connections come and go, so that a test can see a client hang up,
and "active" or "passive" for the mode each data connection is asked for. It
stops when its stdin closes, so a test that ends for whatever reason never
leaves it behind.

The FTP server breaks two kinds of download on purpose:
  cut-*    half of the file, then the data connection is dropped (426)
  short-*  half of the file, then the transfer is reported complete (226)
"""

import functools
import logging
import os
import sys
import threading
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer

STOPPING = threading.Event()


def say(line):
    try:
        sys.stdout.write(line + "\n")
        sys.stdout.flush()
    except (BrokenPipeError, ValueError):
        pass


def stop_when_stdin_closes():
    def wait():
        sys.stdin.read()
        STOPPING.set()

    threading.Thread(target=wait, daemon=True).start()


class HalfProducer:
    """Sends the first half of a file, then ends as its name asks."""

    def __init__(self, path, abort):
        with open(path, "rb") as f:
            data = f.read()
        self.data = data[: len(data) // 2]
        self.abort = abort

    def more(self):
        if self.data:
            data, self.data = self.data, b""
            return data
        if self.abort:
            # The data channel turns this into a dropped connection and 426.
            raise ConnectionAbortedError("cut off on purpose")
        return b""


def serve_ftp(folder, user, password):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    class Handler(FTPHandler):
        use_sendfile = False
        # A wrong password is answered at once; the tests try a few.
        auth_failed_timeout = 0

        def on_connect(self):
            say("open")

        def on_disconnect(self):
            say("close")

        def ftp_PORT(self, line):
            say("active")
            return super().ftp_PORT(line)

        def ftp_EPRT(self, line):
            say("active")
            return super().ftp_EPRT(line)

        def ftp_PASV(self, line):
            say("passive")
            return super().ftp_PASV(line)

        def ftp_EPSV(self, line):
            say("passive")
            return super().ftp_EPSV(line)

        def ftp_RETR(self, file):
            name = os.path.basename(file)
            if not name.startswith(("cut-", "short-")):
                return super().ftp_RETR(file)
            producer = HalfProducer(file, abort=name.startswith("cut-"))
            self.push_dtp_data(producer, isproducer=True, cmd="RETR")
            return file

    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, folder, perm="elr")
    Handler.authorizer = authorizer
    Handler.banner = "loopback test server"
    server = FTPServer(("127.0.0.1", 0), Handler)
    say(str(server.address[1]))
    while not STOPPING.is_set():
        server.serve_forever(timeout=0.1, blocking=False, handle_exit=False)
    server.close_all()


def serve_http(folder):
    class Handler(SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    server = ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Handler, directory=folder)
    )
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    say(str(server.server_address[1]))
    STOPPING.wait()
    server.shutdown()


def main():
    logging.basicConfig(level=logging.ERROR)
    stop_when_stdin_closes()
    if sys.argv[1] == "ftp":
        serve_ftp(sys.argv[2], sys.argv[3], sys.argv[4])
    else:
        serve_http(sys.argv[2])


if __name__ == "__main__":
    main()
