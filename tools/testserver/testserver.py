#!/usr/bin/env python3
"""Local HTTP/1.1 test server for the Ravonyx test programs.

Serves files from a root folder on 127.0.0.1, logs every raw request, and can
be told per path to answer with fixed replies or to misbehave (drop the
connection, stall, ignore Range, lie in Content-Range, ...).  It is driven
over HTTP on its own port through /_control/... requests, so a test program
that only has sockets or WinINet can set it up.  See README.md beside this
file for the control API and the route keys.

Standard library only.  Usable as a script (prints "PORT <n>") or as a module
(TestServer(root).start() returns the port).
"""

import argparse
import base64
import http
import json
import mimetypes
import os
import re
import select
import signal
import socket
import socketserver
import struct
import sys
import threading
import time
import urllib.parse

HOST = "127.0.0.1"
CONTROL_PREFIX = "/_control/"
MAX_REQUEST_HEAD = 64 * 1024          # bytes of request line + headers we accept
MAX_REQUEST_BODY = 64 * 1024 * 1024
REQUEST_IDLE_TIMEOUT = 30.0           # seconds a client may sit silent mid-request
DRAIN_TIMEOUT = 2.0                   # seconds we keep reading after our reply
POLL = 0.05                           # granularity of waits that watch for shutdown
DEFAULT_CHUNK_DELAY = 0.05
MAX_WAIT = 120                        # longest /_control/wait, in seconds


class RouteError(ValueError):
    """A route description that cannot be used."""


def _is_int(v):
    return isinstance(v, int) and not isinstance(v, bool)


def _is_number(v):
    return isinstance(v, (int, float)) and not isinstance(v, bool)


def _split_key(path):
    """'/a%20b?x=1' -> ('/a b', 'x=1'); '/a' -> ('/a', None)."""
    if "?" in path:
        p, q = path.split("?", 1)
    else:
        p, q = path, None
    return urllib.parse.unquote(p, errors="replace"), q


class Route:
    """One entry of the route table, with its own hit counters."""

    # key -> checker(value) returning an error text or None
    _CHECKS = {
        "path": lambda v: None if isinstance(v, str) and v.startswith("/") else "must be a string starting with '/'",
        "status": lambda v: None if _is_int(v) and 100 <= v <= 599 else "must be an integer 100..599",
        "headers": lambda v: None if isinstance(v, dict) and all(
            isinstance(k, str) and (val is None or isinstance(val, str)) for k, val in v.items())
            else "must be an object of string (or null) values",
        "body": lambda v: None if isinstance(v, str) else "must be a string",
        "body_b64": lambda v: None if isinstance(v, str) else "must be a base64 string",
        "file": lambda v: None if isinstance(v, str) else "must be a string",
        "times": lambda v: None if _is_int(v) and v >= 1 else "must be an integer >= 1",
        "drop_after": lambda v: None if _is_int(v) and v >= 0 else "must be an integer >= 0",
        "drop_times": lambda v: None if _is_int(v) and v >= 1 else "must be an integer >= 1",
        "drop_when_range_from": lambda v: None if _is_int(v) and v >= 0 else "must be an integer >= 0",
        "drop_reset": lambda v: None if isinstance(v, bool) else "must be a boolean",
        "ignore_range": lambda v: None if isinstance(v, bool) else "must be a boolean",
        "no_length": lambda v: None if isinstance(v, bool) else "must be a boolean",
        "content_range_start": lambda v: None if _is_int(v) and v >= 0 else "must be an integer >= 0",
        "stall": lambda v: None if v is True or (_is_number(v) and v >= 0) else "must be seconds >= 0 or true",
        "stall_after": lambda v: None if _is_int(v) and v >= 0 else "must be an integer >= 0",
        "chunks": lambda v: None if _is_int(v) and v >= 1 else "must be an integer >= 1",
        "chunk_delay": lambda v: None if _is_number(v) and v >= 0 else "must be seconds >= 0",
        "rate": lambda v: None if _is_number(v) and v > 0 else "must be bytes per second > 0",
        "garbage_header": lambda v: None if _is_int(v) and v >= 1 else "must be an integer >= 1",
        "when_range_from": lambda v: None if _is_int(v) and v >= 0 else "must be an integer >= 0",
    }

    def __init__(self, fields):
        if not isinstance(fields, dict):
            raise RouteError("a route must be a JSON object")
        for key, value in fields.items():
            check = self._CHECKS.get(key)
            if check is None:
                raise RouteError("unknown route key %r" % key)
            err = check(value)
            if err:
                raise RouteError("route key %r %s" % (key, err))
        if "path" not in fields:
            raise RouteError("route needs a 'path'")
        if sum(k in fields for k in ("body", "body_b64", "file")) > 1:
            raise RouteError("give at most one of 'body', 'body_b64', 'file'")
        self.fields = dict(fields)
        g = fields.get
        self.path = fields["path"]
        self.match_path, self.match_query = _split_key(self.path)
        self.status = g("status")
        self.headers = g("headers") or {}
        self.body = None
        if "body" in fields:
            self.body = fields["body"].encode("utf-8")
        elif "body_b64" in fields:
            try:
                self.body = base64.b64decode(fields["body_b64"], validate=True)
            except ValueError as e:
                raise RouteError("body_b64 is not valid base64: %s" % e)
        self.file = g("file")
        self.times = g("times")
        self.drop_after = g("drop_after")
        self.drop_times = g("drop_times")
        self.drop_when_range_from = g("drop_when_range_from")
        self.drop_reset = g("drop_reset", False)
        self.ignore_range = g("ignore_range", False)
        self.no_length = g("no_length", False)
        self.content_range_start = g("content_range_start")
        stall = g("stall")
        self.stall = None if stall is None else (None if stall is True else float(stall))
        self.has_stall = stall is not None
        self.stall_after = g("stall_after")
        self.chunks = g("chunks", 1)
        self.chunk_delay = float(g("chunk_delay", DEFAULT_CHUNK_DELAY))
        self.rate = g("rate")
        self.garbage_header = g("garbage_header")
        self.when_range_from = g("when_range_from")
        self.hits = 0
        self.drops = 0


class Request:
    def __init__(self):
        self.raw = b""
        self.complete = False
        self.error = None        # (status, text) when the request cannot be served
        self.method = ""
        self.target = ""
        self.version = ""
        self.path = ""
        self.query = ""
        self.headers = {}        # lower-case name -> last value
        self.body = b""


def parse_range(value, total):
    """Parse a Range header against a resource of `total` bytes.

    Returns None when the header is to be ignored (not a single byte range,
    or malformed), "unsatisfiable" when it starts at or beyond the end, or a
    (start, end) pair with `end` inclusive.
    """
    m = re.fullmatch(r"\s*bytes\s*=\s*(\d*)\s*-\s*(\d*)\s*", value)
    if not m or (m.group(1) == "" and m.group(2) == ""):
        return None
    first, last = m.group(1), m.group(2)
    if first == "":                       # suffix: the last N bytes
        n = int(last)
        if n == 0 or total == 0:
            return "unsatisfiable"
        return max(0, total - n), total - 1
    start = int(first)
    end = int(last) if last else total - 1
    if last and end < start:
        return None
    if start >= total:
        return "unsatisfiable"
    return start, min(end, total - 1)


def requested_range_start(headers):
    m = re.match(r"\s*bytes\s*=\s*(\d+)\s*-", headers.get("range", ""))
    return int(m.group(1)) if m else None


def resolve_file(root, url_path):
    """Map a decoded URL path to a regular file under root, or None."""
    parts = [p for p in url_path.split("/") if p not in ("", ".")]
    if any(p == ".." for p in parts) or not parts:
        return None
    full = os.path.join(root, *parts)
    try:
        return full if os.path.isfile(full) else None
    except (ValueError, OSError):
        return None


def reason_phrase(status):
    try:
        return http.HTTPStatus(status).phrase
    except ValueError:
        return "Status %d" % status


def garbage_header_bytes(n):
    """n bytes that start like a reply header but never reach a blank line."""
    out = bytearray(b"HTTP/1.1 200 OK\r\n")
    i = 0
    while len(out) < n:
        out += b"X-Filler-%04d: %s\r\n" % (i, b"x" * 40)
        i += 1
    return bytes(out[:n])


class _Stopped(Exception):
    """The connection is to be given up (server stopping or peer gone)."""


class TestServer:
    """The server: routes, request log, and the listening socket."""

    def __init__(self, root, port=0, routes=None, verbose=False, responder=None):
        self.root = os.path.realpath(root)
        self.verbose = verbose
        # Optional dynamic replies: responder(request) is asked for every
        # request that no route answers, and returns None (serve files as
        # usual) or (status, body bytes, content type).
        self.responder = responder
        self._lock = threading.Lock()
        self._log_changed = threading.Condition(self._lock)
        self._stop = threading.Event()
        self._initial_fields = []
        self._routes = {}
        self._log = []
        self._conn_counter = 0
        self._t0 = time.monotonic()
        if routes:
            self._initial_fields = [Route(s).fields for s in routes]
        self._install_initial_routes()
        app = self

        class Handler(socketserver.BaseRequestHandler):
            def handle(self):
                app._handle_connection(self.request, self.client_address)

        class TCPServer(socketserver.ThreadingTCPServer):
            allow_reuse_address = True
            daemon_threads = True
            request_queue_size = 128

        self._tcp = TCPServer((HOST, port), Handler)
        self.port = self._tcp.server_address[1]
        self._thread = None

    # ----- life cycle -----------------------------------------------------

    def start(self):
        """Serve in a background thread; returns the port."""
        self._thread = threading.Thread(target=self._tcp.serve_forever,
                                        kwargs={"poll_interval": 0.05},
                                        name="testserver", daemon=True)
        self._thread.start()
        return self.port

    def stop(self):
        """Stop accepting, end stalls and holds, close the listening socket."""
        self._stop.set()
        if self._thread is not None:
            self._tcp.shutdown()
            self._thread.join()
            self._thread = None
        self._tcp.server_close()

    @property
    def address(self):
        return "%s:%d" % (HOST, self.port)

    # ----- state ----------------------------------------------------------

    def _install_initial_routes(self):
        self._routes = {}
        for fields in self._initial_fields:
            r = Route(fields)
            self._routes[(r.match_path, r.match_query)] = r

    def add_routes(self, route_list):
        if isinstance(route_list, dict):
            route_list = [route_list]
        if not isinstance(route_list, list):
            raise RouteError("expected a route object or a list of them")
        routes = [Route(s) for s in route_list]
        with self._lock:
            for r in routes:
                self._routes[(r.match_path, r.match_query)] = r
        return len(routes)

    def reset(self):
        """Forget the log and all routes added since start-up."""
        with self._lock:
            self._log = []
            self._install_initial_routes()

    def log_entries(self, path=None):
        with self._lock:
            entries = list(self._log)
        if path is not None:
            entries = [e for e in entries if self._entry_matches(e, path)]
        return entries

    def wait_log(self, count, path=None, timeout=5.0):
        """Wait until the log holds at least `count` requests (for `path`, if
        given); returns whether it did within `timeout` seconds."""
        def enough():
            entries = self._log if path is None else \
                [e for e in self._log if self._entry_matches(e, path)]
            return len(entries) >= count
        with self._log_changed:
            return self._log_changed.wait_for(enough, timeout)

    @staticmethod
    def _entry_matches(entry, key):
        p, q = _split_key(key)
        if entry["path"] != p:
            return False
        return q is None or entry["query"] == q

    def _next_conn_id(self):
        with self._lock:
            self._conn_counter += 1
            return self._conn_counter

    def _record(self, req, conn_id, peer):
        entry = {
            "conn": conn_id,
            "peer_port": peer[1],
            "time": round(time.monotonic() - self._t0, 6),
            "method": req.method,
            "target": req.target,
            "path": req.path,
            "query": req.query,
            "complete": req.complete,
            "raw": req.raw.decode("latin-1"),
            "raw_b64": base64.b64encode(req.raw).decode("ascii"),
        }
        with self._lock:
            entry["n"] = len(self._log) + 1
            self._log.append(entry)
            self._log_changed.notify_all()
        if self.verbose:
            line = req.raw.split(b"\r\n", 1)[0].decode("latin-1")
            print("testserver: #%d conn %d: %s" % (entry["n"], conn_id, line),
                  file=sys.stderr, flush=True)

    def _pick_route(self, req):
        """The route for this request, counting the hit; None for plain files."""
        with self._lock:
            for key in ((req.path, req.query), (req.path, None)):
                r = self._routes.get(key)
                if r is None:
                    continue
                if r.when_range_from is not None and \
                        requested_range_start(req.headers) != r.when_range_from:
                    continue
                if r.times is not None and r.hits >= r.times:
                    continue
                r.hits += 1
                return r
        return None

    def _take_drop(self, route, req):
        if route is None or route.drop_after is None or req.method == "HEAD":
            return False
        if route.drop_when_range_from is not None and \
                requested_range_start(req.headers) != route.drop_when_range_from:
            return False
        with self._lock:
            if route.drop_times is not None and route.drops >= route.drop_times:
                return False
            route.drops += 1
            return True

    # ----- connection handling -------------------------------------------

    def _handle_connection(self, sock, peer):
        conn_id = self._next_conn_id()
        sock.settimeout(POLL)
        try:
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        except OSError:
            pass
        reset = False
        try:
            req = self._read_request(sock)
            if req is None:
                return
            if req.complete and req.error is None and req.path.startswith(CONTROL_PREFIX):
                self._send_all(sock, self._control(req))
            else:
                self._record(req, conn_id, peer)
                if req.error is not None:
                    if req.raw and req.error[0] != 0:
                        self._send_all(sock, self._simple_reply(*req.error))
                else:
                    reset = self._serve(sock, req)
        except (_Stopped, OSError):
            pass
        finally:
            self._finish(sock, reset)

    def _read_request(self, sock):
        req = Request()
        buf = bytearray()
        idle_deadline = time.monotonic() + REQUEST_IDLE_TIMEOUT
        head_end = -1
        while head_end < 0:
            data = self._recv(sock, idle_deadline)
            if not data:
                if not buf:
                    return None
                req.raw = bytes(buf)
                req.error = (0, "")     # incomplete: log it, nothing to answer
                self._parse_head(req, bytes(buf), partial=True)
                return req
            buf += data
            idle_deadline = time.monotonic() + REQUEST_IDLE_TIMEOUT
            head_end = buf.find(b"\r\n\r\n")
            if head_end < 0 and len(buf) > MAX_REQUEST_HEAD:
                req.raw = bytes(buf)
                req.error = (431, "request header too large\n")
                self._parse_head(req, bytes(buf), partial=True)
                return req
        head = bytes(buf[:head_end + 4])
        rest = bytes(buf[head_end + 4:])
        self._parse_head(req, head, partial=False)
        length = 0
        if req.error is None and "content-length" in req.headers:
            try:
                length = int(req.headers["content-length"].strip())
                if length < 0 or length > MAX_REQUEST_BODY:
                    raise ValueError
            except ValueError:
                req.error = (400, "bad Content-Length\n")
                length = 0
        body = rest[:length]
        while len(body) < length:
            data = self._recv(sock, idle_deadline)
            if not data:
                req.raw = head + body
                req.error = (0, "")
                return req
            body += data
            idle_deadline = time.monotonic() + REQUEST_IDLE_TIMEOUT
        req.raw = head + body[:length]
        req.body = body[:length]
        req.complete = True
        return req

    def _recv(self, sock, deadline):
        """Next bytes from the peer, b"" on EOF or idle timeout."""
        while True:
            if self._stop.is_set():
                raise _Stopped()
            try:
                return sock.recv(65536)
            except socket.timeout:
                if time.monotonic() > deadline:
                    return b""
            except ConnectionError:
                return b""

    @staticmethod
    def _parse_head(req, head, partial):
        lines = head.decode("latin-1").split("\r\n")
        parts = lines[0].split(" ")
        if len(parts) != 3 or not parts[2].startswith("HTTP/"):
            if not partial:
                req.error = (400, "bad request line\n")
            if parts:
                req.method = parts[0]
            return
        req.method, req.target, req.version = parts
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                req.headers[name.strip().lower()] = value.strip()
        target = req.target
        if target.startswith(("http://", "https://")):
            s = urllib.parse.urlsplit(target)
            raw_path, req.query = s.path or "/", s.query
        elif target.startswith("/"):
            raw_path, _, req.query = target.partition("?")
        else:
            if not partial:
                req.error = (400, "bad request target\n")
            return
        req.path = urllib.parse.unquote(raw_path, errors="replace")

    def _finish(self, sock, reset):
        try:
            if reset:
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            else:
                # Half-close and read what the client still sends, so our
                # reply is not destroyed by a reset for unread input.
                sock.shutdown(socket.SHUT_WR)
                deadline = time.monotonic() + DRAIN_TIMEOUT
                while time.monotonic() < deadline and not self._stop.is_set():
                    try:
                        if not sock.recv(65536):
                            break
                    except socket.timeout:
                        continue
        except OSError:
            pass
        finally:
            try:
                sock.close()
            except OSError:
                pass

    # ----- replies --------------------------------------------------------

    @staticmethod
    def _build(status, headers, body=b""):
        head = "HTTP/1.1 %d %s\r\n" % (status, reason_phrase(status))
        head += "".join("%s: %s\r\n" % (k, v) for k, v in headers)
        return head.encode("latin-1") + b"\r\n" + body

    def _simple_reply(self, status, text, content_type="text/plain; charset=utf-8"):
        body = text.encode("utf-8") if isinstance(text, str) else text
        return self._build(status, [("Content-Type", content_type),
                                    ("Content-Length", str(len(body))),
                                    ("Connection", "close")], body)

    def _serve(self, sock, req):
        """Answer a non-control request; returns True to end with a reset."""
        route = self._pick_route(req)
        if route is not None and route.garbage_header:
            self._send_all(sock, garbage_header_bytes(route.garbage_header))
            self._hold(sock, route.stall if route.has_stall else None)
            return False

        content = None             # bytes that Range applies to
        content_type = "application/octet-stream"
        status = 200
        reply = self.responder(req) if route is None and self.responder is not None else None
        if route is not None and route.body is not None:
            content = route.body
            if "body" in route.fields:
                content_type = "text/plain; charset=utf-8"
        elif route is not None and route.file is not None:
            full = resolve_file(self.root, route.file)
            if full is None:
                status = 404
            else:
                content = self._read_file(full)
                content_type = mimetypes.guess_type(full)[0] or content_type
        elif route is not None and route.status is not None:
            content = b""
        elif reply is not None:
            status, content, content_type = reply
        elif req.method not in ("GET", "HEAD"):
            status = 405
        else:
            full = resolve_file(self.root, req.path)
            if full is None:
                status = 404
            else:
                content = self._read_file(full)
                content_type = mimetypes.guess_type(full)[0] or content_type

        headers = []
        if content is None:
            body = ("%d %s\n" % (status, reason_phrase(status))).encode("ascii")
            content_type = "text/plain; charset=utf-8"
        else:
            body = content
            explicit = route.status if route is not None else reply[0] if reply is not None else None
            use_range = (explicit in (None, 200) and "range" in req.headers
                         and not (route is not None and route.ignore_range))
            rng = parse_range(req.headers["range"], len(content)) if use_range else None
            if rng == "unsatisfiable":
                status, body = 416, b""
                headers.append(("Content-Range", "bytes */%d" % len(content)))
            elif rng is not None:
                start, end = rng
                status, body = 206, content[start:end + 1]
                shown = start
                if route is not None and route.content_range_start is not None:
                    shown = route.content_range_start
                headers.append(("Content-Range", "bytes %d-%d/%d" % (shown, end, len(content))))
            else:
                status = explicit or 200
            headers.insert(0, ("Accept-Ranges", "bytes"))
        headers.insert(0, ("Content-Type", content_type))
        if not (route is not None and route.no_length):
            headers.append(("Content-Length", str(len(body))))
        headers.append(("Connection", "close"))
        if route is not None:
            for name, value in route.headers.items():
                headers = [h for h in headers if h[0].lower() != name.lower()]
                if value is not None:
                    headers.append((name, value))

        head = self._build(status, headers)
        payload = b"" if req.method == "HEAD" else body
        drop = self._take_drop(route, req)
        if drop:
            payload = payload[:route.drop_after]
        data = head + payload
        if route is None:
            self._send_all(sock, data)
            return False
        pause_at = None
        if route.has_stall:
            pause_at = 0 if route.stall_after is None else min(len(data), len(head) + route.stall_after)
        self._send_planned(sock, data, route, pause_at)
        return drop and route.drop_reset

    @staticmethod
    def _read_file(full):
        with open(full, "rb") as f:
            return f.read()

    def _send_planned(self, sock, data, route, pause_at):
        """Write `data` in `route.chunks` pieces at `route.rate`, stalling at pause_at."""
        n = len(data)
        cuts = {n * i // route.chunks for i in range(1, route.chunks)}
        cuts = {c for c in cuts if 0 < c < n}
        points = sorted(cuts | ({pause_at} if pause_at is not None and 0 < pause_at <= n else set()) | {n})
        if pause_at == 0:
            self._hold_or_stop(sock, route.stall)
        pos = 0
        for end in points:
            self._send_paced(sock, data[pos:end], route.rate)
            pos = end
            if end == pause_at:
                self._hold_or_stop(sock, route.stall)
            elif end in cuts and route.chunk_delay > 0:
                if self._stop.wait(route.chunk_delay):
                    raise _Stopped()

    def _send_paced(self, sock, data, rate):
        if not rate:
            self._send_all(sock, data)
            return
        piece = max(1, int(rate / 50))
        t0 = time.monotonic()
        sent = 0
        view = memoryview(data)
        while sent < len(data):
            self._send_all(sock, view[sent:sent + piece])
            sent += len(view[sent:sent + piece])
            wait = t0 + sent / rate - time.monotonic()
            if wait > 0 and self._stop.wait(wait):
                raise _Stopped()

    def _send_all(self, sock, data):
        view = memoryview(data)
        while view:
            if self._stop.is_set():
                raise _Stopped()
            try:
                n = sock.send(view)
            except socket.timeout:
                continue
            view = view[n:]

    def _hold_or_stop(self, sock, seconds):
        if not self._hold(sock, seconds):
            raise _Stopped()

    def _hold(self, sock, seconds):
        """Keep the connection open, sending nothing, for `seconds` (None: until
        the server stops).  Input is read and thrown away.  Returns False if the
        server stopped or the peer closed meanwhile."""
        deadline = None if seconds is None else time.monotonic() + seconds
        while True:
            left = POLL if deadline is None else min(POLL, deadline - time.monotonic())
            if left <= 0:
                return True
            if self._stop.is_set():
                return False
            try:
                readable, _, _ = select.select([sock], [], [], left)
                if readable and not sock.recv(65536):
                    return False
            except socket.timeout:
                pass
            except (OSError, ValueError):
                return False

    # ----- control interface ---------------------------------------------

    def _control(self, req):
        name = req.path[len(CONTROL_PREFIX):]
        params = urllib.parse.parse_qs(req.query, keep_blank_values=True)
        path = params.get("path", [None])[0]
        try:
            if name == "route":
                try:
                    route_list = json.loads(req.body.decode("utf-8"))
                except (UnicodeDecodeError, ValueError) as e:
                    raise RouteError("body is not JSON: %s" % e)
                n = self.add_routes(route_list)
                return self._json(200, {"ok": True, "added": n})
            if name == "reset":
                self.reset()
                return self._json(200, {"ok": True})
            if name == "log":
                return self._json(200, {"requests": self.log_entries(path)})
            if name == "log.txt":
                out = bytearray()
                for e in self.log_entries(path):
                    out += b"=== %d conn=%d\n" % (e["n"], e["conn"])
                    out += base64.b64decode(e["raw_b64"]) + b"\n"
                return self._simple_reply(200, bytes(out), "text/plain; charset=iso-8859-1")
            if name == "count":
                return self._simple_reply(200, "%d" % len(self.log_entries(path)))
            if name == "wait":
                count, timeout = self._wait_params(params)
                deadline = time.monotonic() + timeout
                reached = self.wait_log(count, path, 0)
                while not reached and not self._stop.is_set() and time.monotonic() < deadline:
                    reached = self.wait_log(count, path, min(POLL * 4, max(0.0, deadline - time.monotonic())))
                return self._json(200, {"ok": reached, "count": len(self.log_entries(path))})
        except RouteError as e:
            return self._json(400, {"ok": False, "error": str(e)})
        return self._json(404, {"ok": False, "error": "unknown control request %r" % name})

    @staticmethod
    def _wait_params(params):
        try:
            count = int(params.get("count", ["1"])[0])
            timeout = float(params.get("timeout", ["10"])[0])
        except ValueError:
            raise RouteError("count must be an integer and timeout a number of seconds")
        if count < 0 or not 0 <= timeout <= MAX_WAIT:
            raise RouteError("count must be >= 0 and timeout 0..%d seconds" % MAX_WAIT)
        return count, timeout

    def _json(self, status, obj):
        return self._simple_reply(status, json.dumps(obj), "application/json")


def load_routes_file(path):
    with open(path, "r", encoding="utf-8") as f:
        data = json.load(f)
    if isinstance(data, dict) and "routes" in data:
        data = data["routes"]
    if isinstance(data, dict):
        data = [data]
    if not isinstance(data, list):
        raise RouteError("%s: expected a route object or a list of them" % path)
    return data


def main(argv=None):
    ap = argparse.ArgumentParser(description="Local HTTP/1.1 test server (127.0.0.1 only).")
    ap.add_argument("--root", default=".", help="folder to serve files from (default: .)")
    ap.add_argument("--port", type=int, default=0, help="port to listen on (default 0: a free one)")
    ap.add_argument("--port-file", help="also write the port number to this file")
    ap.add_argument("--routes", help="JSON file with routes to install at start-up")
    ap.add_argument("--verbose", action="store_true", help="print each request line to stderr")
    args = ap.parse_args(argv)

    try:
        routes = load_routes_file(args.routes) if args.routes else None
        server = TestServer(args.root, port=args.port, routes=routes, verbose=args.verbose)
    except (OSError, ValueError) as e:
        print("testserver: %s" % e, file=sys.stderr)
        return 2

    stop = threading.Event()
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, lambda *_: stop.set())
    server.start()
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write("%d\n" % server.port)
        os.replace(tmp, args.port_file)
    print("PORT %d" % server.port, flush=True)
    stop.wait()
    server.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
