#!/usr/bin/python3
"""Stand-in check-IP and dyndns2 update servers for exercising the client.

Loopback only (others exit 2).  Every server prints one "READY ..." line once
it listens and runs until SIGTERM/SIGINT or --max-seconds, whichever first.
--record F appends per request '=== REQUEST <n> <len>' (over TLS also the
version and sni=NAME or sni=-), a newline, then exactly <len> raw bytes.
"""

import argparse
import base64
import ipaddress
import os
import signal
import socket
import ssl
import sys
import threading
import time
from urllib.parse import parse_qs, urlsplit

MAX_REQUEST = 64 * 1024
READ_TIMEOUT = 5.0
SILENT_HOLD = 30.0
TLS_TIMEOUT = 10.0
PIECE_SIZES = (1, 7, 2, 50, 3, 11, 1, 1, 29, 4, 128, 5)
PIECE_PAUSE = 0.02
MODES = ("normal", "close", "pieces", "silent", "huge", "trickle", "plain-on-tls", "tls-close", "garbage")
GARBAGE = bytes(range(7, 256, 3)) * 4
LOOPBACK = ipaddress.IPv4Network("127.0.0.0/8")

_out_lock = threading.Lock()


def say(line):
    with _out_lock:
        print(line, flush=True)


def log(msg):
    with _out_lock:
        print("standin: " + msg, file=sys.stderr, flush=True)


def http_head(status, content_type):
    return ("HTTP/1.0 %s\r\nContent-Type: %s\r\n\r\n" % (status, content_type)).encode()


class Recorder:
    """Appends each raw request after its '=== REQUEST' line (see the top)."""

    def __init__(self, path):
        self.path = path
        self.count = 0
        self.lock = threading.Lock()

    def add(self, data, conn):
        tls = b""
        if isinstance(conn, ssl.SSLSocket):
            tls = b" %s sni=%s" % (conn.version().encode(),
                                   (getattr(conn, "sni", None) or "-").encode("ascii", "replace"))
        with self.lock:
            self.count += 1
            with open(self.path, "ab") as f:
                f.write(b"=== REQUEST %d %d%s\n" % (self.count, len(data), tls))
                f.write(data)


class HostTable:
    """Addresses per host name, shared by every update listener in a process."""

    def __init__(self, known=None, print_updates=False):
        self.known = set(known) if known else None
        self.print_updates = print_updates
        self.addresses = {}
        self.lock = threading.Lock()

    def is_known(self, host):
        return self.known is None or host in self.known

    def apply(self, host, ip, forced=None):
        with self.lock:
            code = forced or ("nochg" if self.addresses.get(host) == ip else "good")
            self.addresses[host] = ip
        if self.print_updates:
            say("UPDATE %s -> %s (%s)" % (host, ip, code))
        return code


class CheckIpService:
    """The marker page at /index.php; at any other path the address alone,
    as HTTPS check-IP services answer.  announce: say each query."""
    content_type = "text/html"

    def __init__(self, ip_text, announce=None):
        # fsencode gives back the exact argv bytes, even non-UTF-8 ones
        self.body = (b"<html><head><title>Current IP Check</title></head><body>"
                     b"Current IP Address: " + os.fsencode(ip_text) + b"</body></html>\r\n")
        self.bare = os.fsencode(ip_text) + b"\n"
        self.announce = announce

    def reply(self, request, peer):
        line = request.partition(b"\r\n")[0].decode("latin-1")
        if self.announce:
            say("CHECKIP %s: %s" % (self.announce, line))
        parts = line.split(" ")
        if len(parts) == 3 and parts[1] != "/index.php":
            return http_head("200 OK", "text/plain") + self.bare
        return http_head("200 OK", self.content_type) + self.body


class UpdateService:
    content_type = "text/plain"

    def __init__(self, user, password, reply, table):
        self.credentials = ("%s:%s" % (user, password)).encode()
        self.forced = None if reply == "auto" else reply
        self.table = table

    def reply(self, request, peer):
        head, _, _ = request.partition(b"\r\n\r\n")
        lines = head.decode("latin-1").split("\r\n")
        parts = lines[0].split(" ")
        if len(parts) != 3 or parts[0] != "GET":
            return http_head("400 Bad Request", self.content_type) + b"bad request\r\n"
        url = urlsplit(parts[1])
        if url.path != "/nic/update":
            return http_head("404 Not Found", self.content_type) + b"not found\r\n"
        query = parse_qs(url.query, keep_blank_values=True)
        names = query.get("hostname", [""])[0].split(",")
        myip = query.get("myip", [peer[0]])[0]
        authorized = self.authorized(lines[1:])
        body = "".join(self.answer(n, myip, authorized) + "\r\n" for n in names)
        return http_head("200 OK", self.content_type) + body.encode("latin-1", "replace")

    def authorized(self, header_lines):
        for line in header_lines:
            name, _, value = line.partition(":")
            if name.strip().lower() != "authorization":
                continue
            scheme, _, token = value.strip().partition(" ")
            if scheme.lower() != "basic":
                return False
            try:
                return base64.b64decode(token.strip(), validate=True) == self.credentials
            except ValueError:
                return False
        return False

    def answer(self, host, myip, authorized):
        if not authorized:
            return "badauth"
        if not self.table.is_known(host):
            return "nohost"
        if self.forced in (None, "good", "nochg"):
            return "%s %s" % (self.table.apply(host, myip, self.forced), myip)
        return self.forced


def read_request(sock, first_only=False):
    """Read up to the blank line, peer close, 5 s or 64 KiB, whichever first."""
    data = b""
    deadline = time.monotonic() + READ_TIMEOUT
    while b"\r\n\r\n" not in data and len(data) < MAX_REQUEST:
        left = deadline - time.monotonic()
        if left <= 0:
            break
        sock.settimeout(left)
        try:
            chunk = sock.recv(MAX_REQUEST - len(data))
        except socket.timeout:
            break
        if not chunk:
            break
        data += chunk
        if first_only:
            break
    return data


def send_in_pieces(sock, data):
    pos, i = 0, 0
    while pos < len(data):
        size = PIECE_SIZES[i % len(PIECE_SIZES)]
        sock.sendall(data[pos:pos + size])
        pos, i = pos + size, i + 1
        time.sleep(PIECE_PAUSE)


def send_huge(sock, head, megabytes):
    # plain LF lines: nothing in here may look like a CR LF-preceded reply code
    line = b"filler filler filler filler filler filler filler filler filler fill\n"
    chunk = line * (65536 // len(line))
    sock.sendall(head)
    left = megabytes * 1024 * 1024
    while left > 0:
        sock.sendall(chunk[:left])
        left -= len(chunk)


def wait_for_close(sock, seconds):
    """Say nothing for up to `seconds`; True as soon as the client closes."""
    deadline = time.monotonic() + seconds
    while (left := deadline - time.monotonic()) > 0:
        sock.settimeout(left)
        try:
            if not sock.recv(4096):
                return True
        except socket.timeout:
            break
    return False


def trickle(sock, reply, pause):
    """One byte per pause, then the body over and over, until the client goes."""
    data, body = reply, reply.partition(b"\r\n\r\n")[2] or reply
    while True:
        for i in range(len(data)):
            sock.sendall(data[i:i + 1])
            if wait_for_close(sock, pause):
                return
        data = body


def finish(sock):
    """Signal end of reply cleanly: close_notify for TLS, FIN for TCP."""
    try:
        if isinstance(sock, ssl.SSLSocket):
            sock.settimeout(2.0)
            sock.unwrap()
        else:
            sock.shutdown(socket.SHUT_WR)
    except OSError:
        pass  # the client already went; nothing left to tell it


class Server:
    def __init__(self, addr, port, service, mode="normal", tls=None,
                 recorder=None, huge_mb=8, trickle_pause=2.5):
        self.addr, self.port, self.service = addr, port, service
        self.mode, self.tls, self.recorder, self.huge_mb = mode, tls, recorder, huge_mb
        self.trickle_pause = trickle_pause
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            self.sock.bind((addr, port))
        except OSError as e:
            sys.exit("standin: cannot bind %s:%d: %s" % (addr, port, e.strerror))
        self.sock.listen(16)

    def serve_forever(self):
        while True:
            conn, peer = self.sock.accept()
            threading.Thread(target=self.serve_connection, args=(conn, peer),
                             daemon=True).start()

    def serve_connection(self, conn, peer):
        # as real HTTPS servers do; without it the TLS 1.3 session ticket sent
        # after the handshake waits ~40 ms for the client's delayed ACK
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        try:
            if self.mode == "close":
                return
            if self.mode == "garbage":  # bytes that are no protocol at all
                conn.recv(4096)
                conn.sendall(GARBAGE)
                return
            if self.tls and self.mode != "plain-on-tls":
                conn.settimeout(TLS_TIMEOUT)
                conn = self.tls.wrap_socket(conn, server_side=True)
                if self.mode == "tls-close":
                    return
            self.converse(conn, peer)
        except OSError as e:  # includes ssl.SSLError and timeouts
            reason = getattr(e, "reason", None) or e.strerror or e
            log("%s:%d <- %s:%d: %s (%s)" % (self.addr, self.port, peer[0], peer[1],
                                             e.__class__.__name__, reason))
        finally:
            conn.close()

    def converse(self, conn, peer):
        # a TLS client waits for our hello, so answer whatever it sent first
        request = read_request(conn, first_only=self.mode == "plain-on-tls")
        if self.recorder:
            self.recorder.add(request, conn)
        if self.mode == "silent":
            wait_for_close(conn, SILENT_HOLD)
            return
        conn.settimeout(None)
        if self.mode == "huge":
            send_huge(conn, http_head("200 OK", self.service.content_type), self.huge_mb)
        elif not request:
            log("%s:%d: empty request from %s" % (self.addr, self.port, peer[0]))
        elif self.mode == "trickle":
            trickle(conn, self.service.reply(request, peer), self.trickle_pause)
            return
        elif self.mode == "pieces":
            send_in_pieces(conn, self.service.reply(request, peer))
        else:
            conn.sendall(self.service.reply(request, peer))
        finish(conn)


def tls_context(cert_dir):
    """cert.pem (the chain to send, leaf first) and key.pem of tools/test_chain.sh."""
    cert, key = os.path.join(cert_dir, "cert.pem"), os.path.join(cert_dir, "key.pem")
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.minimum_version = ssl.TLSVersion.TLSv1_2
    ctx.maximum_version = ssl.TLSVersion.TLSv1_3
    ctx.set_ciphers("DEFAULT:@SECLEVEL=1")  # be lenient with older Windows stacks
    ctx.load_cert_chain(cert, key)
    # the recorder reads it back; None when the client sent no name
    ctx.sni_callback = lambda conn, name, _ctx: setattr(conn, "sni", name)
    return ctx


def loopback(text):
    try:
        ok = ipaddress.IPv4Address(text) in LOOPBACK
    except ValueError:
        ok = False
    if not ok:
        raise argparse.ArgumentTypeError("%r is not a 127.0.0.0/8 address" % text)
    return text


def port_number(text):
    port = int(text)
    if not 0 < port < 65536:
        raise argparse.ArgumentTypeError("bad port %s" % text)
    return port


def build_parser():
    common = argparse.ArgumentParser(add_help=False)
    common.add_argument("--max-seconds", type=float, default=600)
    common.add_argument("--record", metavar="FILE")
    served = argparse.ArgumentParser(add_help=False, parents=[common])
    served.add_argument("--addr", type=loopback, required=True)
    served.add_argument("--port", type=port_number, default=80)
    served.add_argument("--mode", choices=MODES, default="normal")
    served.add_argument("--huge-mb", type=int, default=8)
    served.add_argument("--trickle-pause", type=float, default=2.5)
    served.add_argument("--tls", action="store_true")
    served.add_argument("--cert-dir")
    creds = argparse.ArgumentParser(add_help=False)
    creds.add_argument("--user", required=True)
    creds.add_argument("--password", required=True)

    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("checkip", parents=[served], help="check-IP page server")
    p.add_argument("--ip", required=True)
    p = sub.add_parser("update", parents=[served, creds], help="dyndns2 update server")
    p.add_argument("--reply", default="auto")
    p.add_argument("--hosts")
    p.add_argument("--print-updates", action="store_true")
    p = sub.add_parser("demo", parents=[common, creds], help="all three servers at once")
    p.add_argument("--checkip-addr", type=loopback, required=True)
    p.add_argument("--update-addr", type=loopback, required=True)
    p.add_argument("--hosts", required=True)
    p.add_argument("--ip", required=True)
    p.add_argument("--cert-dir", required=True)
    p.add_argument("--checkip-cert-dir", help="also serve check-IP over TLS on port 443")
    return parser


def host_list(text):
    return text.split(",") if text else None


def make_servers(args, parser):
    recorder = Recorder(args.record) if args.record else None
    if args.command == "demo":
        table = HostTable(host_list(args.hosts), print_updates=True)
        update = UpdateService(args.user, args.password, "auto", table)
        ctx = tls_context(args.cert_dir)
        servers = [Server(args.checkip_addr, 80, CheckIpService(args.ip), recorder=recorder),
                   Server(args.update_addr, 80, update, recorder=recorder),
                   Server(args.update_addr, 443, update, tls=ctx, recorder=recorder)]
        if args.checkip_cert_dir:
            servers.append(Server(args.checkip_addr, 443, CheckIpService(args.ip, announce="over TLS"),
                                  tls=tls_context(args.checkip_cert_dir), recorder=recorder))
        return servers, ["READY demo"]
    tls = getattr(args, "tls", False)
    if args.mode in ("plain-on-tls", "tls-close", "garbage") and not tls:
        parser.error("--mode %s needs --tls" % args.mode)
    if tls and not args.cert_dir:
        parser.error("--tls needs --cert-dir")
    if args.command == "checkip":
        service = CheckIpService(args.ip)
    else:
        table = HostTable(host_list(args.hosts), args.print_updates)
        service = UpdateService(args.user, args.password, args.reply, table)
    server = Server(args.addr, args.port, service, args.mode,
                    tls_context(args.cert_dir) if tls else None, recorder, args.huge_mb,
                    args.trickle_pause)
    return [server], ["READY %s %d" % (args.addr, args.port)]


def stop(signum, frame):
    raise SystemExit(0)


def main():
    parser = build_parser()
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    servers, ready = make_servers(args, parser)
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    for line in ready:
        say(line)
    deadline = time.monotonic() + args.max_seconds
    while (left := deadline - time.monotonic()) > 0:
        time.sleep(left)
    return 0


if __name__ == "__main__":
    sys.exit(main())
