#!/usr/bin/env python3
"""Tests of the local HTTP test server and its launcher.

Run as `python3 tools/testserver/test_testserver.py` (exits non-zero on a
failure) or through `python3 -m unittest`.
"""

import base64
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import testserver  # noqa: E402

DATA = bytes((i * 7 + i // 256) % 256 for i in range(1000))
BIG = bytes(i % 251 for i in range(12000))
SPACED = b"file with a space in its name\n"
IO_TIMEOUT = 5.0     # upper bound for anything that should happen promptly
QUIET = 0.25         # how long "nothing arrives" is watched for


def make_root():
    root = tempfile.mkdtemp(prefix="testserver-test-")
    os.makedirs(os.path.join(root, "dir"))
    for name, data in (("data.bin", DATA), ("big.bin", BIG), ("dir/with space.txt", SPACED)):
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
    return root


def request(target, method="GET", headers=(), body=b""):
    lines = ["%s %s HTTP/1.1" % (method, target), "Host: 127.0.0.1"]
    lines += ["%s: %s" % h for h in headers]
    if body:
        lines.append("Content-Length: %d" % len(body))
    return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body


def connect(port):
    return socket.create_connection(("127.0.0.1", port), timeout=IO_TIMEOUT)


def read_all(sock):
    """Everything until EOF, and the number of recv calls that returned data."""
    out, pieces = bytearray(), 0
    while True:
        data = sock.recv(65536)
        if not data:
            return bytes(out), pieces
        out += data
        pieces += 1


def read_exactly(sock, n):
    out = bytearray()
    while len(out) < n:
        data = sock.recv(n - len(out))
        if not data:
            break
        out += data
    return bytes(out)


def exchange(port, raw):
    with connect(port) as s:
        s.sendall(raw)
        return read_all(s)[0]


def parse(reply):
    """(status, {lower-case name: value}, body) of a raw reply."""
    head, sep, body = reply.partition(b"\r\n\r\n")
    assert sep, "no end of header in %r" % reply[:200]
    lines = head.decode("latin-1").split("\r\n")
    status = int(lines[0].split(" ")[1])
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    return status, headers, body


def get(port, target, headers=(), method="GET"):
    return parse(exchange(port, request(target, method=method, headers=headers)))


def control(port, name, obj=None):
    body = json.dumps(obj).encode() if obj is not None else b""
    return get_raw_control(port, name, body)


def get_raw_control(port, name, body):
    status, _, reply = parse(exchange(port, request("/_control/" + name, method="POST", body=body)))
    return status, reply


def assert_quiet(test, sock):
    """The peer keeps the connection open and sends nothing for a while."""
    sock.settimeout(QUIET)
    with test.assertRaises(socket.timeout):
        data = sock.recv(1)
        test.fail("unexpected data %r" % data)
    sock.settimeout(IO_TIMEOUT)


class ServerCase(unittest.TestCase):
    """One server for the class; every test starts from an empty state."""

    @classmethod
    def setUpClass(cls):
        cls.root = make_root()
        cls.server = testserver.TestServer(cls.root)
        cls.port = cls.server.start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        shutil.rmtree(cls.root, ignore_errors=True)

    def setUp(self):
        self.server.reset()

    def route(self, *routes):
        status, reply = control(self.port, "route", list(routes))
        self.assertEqual(status, 200, reply)


class FileServingTests(ServerCase):
    def test_ranges_in_origin_and_absolute_form(self):
        cases = [
            # range header, status, content-range, expected body
            (None, 200, None, DATA),
            ("bytes=100-", 206, "bytes 100-999/1000", DATA[100:]),
            ("bytes=100-199", 206, "bytes 100-199/1000", DATA[100:200]),
            ("bytes=999-", 206, "bytes 999-999/1000", DATA[999:]),
            ("bytes=-10", 206, "bytes 990-999/1000", DATA[-10:]),
            ("bytes=900-5000", 206, "bytes 900-999/1000", DATA[900:]),
            ("bytes=1000-", 416, "bytes */1000", b""),
            ("bytes=5000-6000", 416, "bytes */1000", b""),
            ("bytes=50-10", 200, None, DATA),          # malformed: ignored
            ("bytes=0-1,5-6", 200, None, DATA),        # several ranges: ignored
        ]
        for target in ("/data.bin", "http://127.0.0.1:%d/data.bin" % self.port):
            for rng, status, crange, body in cases:
                with self.subTest(target=target, range=rng):
                    hdrs = [("Range", rng)] if rng else []
                    st, h, b = get(self.port, target, hdrs)
                    self.assertEqual(st, status)
                    self.assertEqual(h.get("content-range"), crange)
                    self.assertEqual(h["content-length"], str(len(body)))
                    self.assertEqual(b, body)
                    if status != 416:
                        self.assertEqual(h["accept-ranges"], "bytes")

    def test_head_sends_headers_only(self):
        for rng, status, length in ((None, 200, "1000"), ("bytes=600-", 206, "400")):
            with self.subTest(range=rng):
                st, h, b = get(self.port, "/data.bin", [("Range", rng)] if rng else [], method="HEAD")
                self.assertEqual((st, h["content-length"], b), (status, length, b""))

    def test_paths(self):
        cases = [
            ("/dir/with%20space.txt", 200, SPACED),
            ("http://127.0.0.1:1/dir/with%20space.txt?x=1", 200, SPACED),
            ("/dir/./with%20space.txt", 200, SPACED),
            ("/missing.bin", 404, None),
            ("/dir", 404, None),
            ("/", 404, None),
            ("/../" + os.path.basename(self.root) + "/data.bin", 404, None),
            ("/dir/%2e%2e/%2e%2e/etc/passwd", 404, None),
        ]
        for target, status, body in cases:
            with self.subTest(target=target):
                st, _, b = get(self.port, target)
                self.assertEqual(st, status)
                if body is not None:
                    self.assertEqual(b, body)

    def test_other_methods_on_files_are_refused(self):
        st, _, _ = parse(exchange(self.port, request("/data.bin", method="POST", body=b"x")))
        self.assertEqual(st, 405)

    def test_client_that_keeps_sending_gets_its_reply(self):
        junk = request("/data.bin") * 3 + b"x" * 300000
        with connect(self.port) as s:
            s.sendall(request("/data.bin", headers=[("Range", "bytes=10-")]) + junk)
            st, h, b = parse(read_all(s)[0])
        self.assertEqual((st, b), (206, DATA[10:]))
        self.assertEqual(get(self.port, "/data.bin")[2], DATA)

    def test_many_clients_at_once(self):
        socks = [connect(self.port) for _ in range(20)]
        try:
            for i, s in enumerate(socks):
                s.sendall(request("/big.bin", headers=[("Range", "bytes=%d-" % (i * 100))]))
            for i, s in enumerate(socks):
                self.assertEqual(parse(read_all(s)[0])[2], BIG[i * 100:])
        finally:
            for s in socks:
                s.close()


class LogTests(ServerCase):
    def test_log_holds_exact_raw_requests_in_order(self):
        first = (b"GET http://127.0.0.1:8123/data.bin?a=%41 HTTP/1.1\r\n"
                 b"Range: bytes=5-\r\nX-Odd:   spaced  \r\nhost:127.0.0.1\r\n\r\n")
        second = (b"POST /dir/with%20space.txt HTTP/1.1\r\nContent-Length: 6\r\n\r\n"
                  b"ab\x00\xff\r\n")
        exchange(self.port, first)
        control(self.port, "count")                 # control requests stay out of the log
        exchange(self.port, second)

        status, body = control(self.port, "log")
        self.assertEqual(status, 200)
        entries = json.loads(body)["requests"]
        self.assertEqual([e["n"] for e in entries], [1, 2])
        self.assertEqual([base64.b64decode(e["raw_b64"]) for e in entries], [first, second])
        self.assertEqual([e["raw"].encode("latin-1") for e in entries], [first, second])
        self.assertNotEqual(entries[0]["conn"], entries[1]["conn"])
        self.assertEqual([(e["method"], e["path"], e["query"], e["complete"]) for e in entries],
                         [("GET", "/data.bin", "a=%41", True), ("POST", "/dir/with space.txt", "", True)])
        self.assertEqual(entries[0]["target"], "http://127.0.0.1:8123/data.bin?a=%41")

        _, _, text = get(self.port, "/_control/log.txt")
        self.assertIn(b"=== 1 conn=%d\n" % entries[0]["conn"] + first + b"\n", text)
        self.assertIn(b"=== 2 conn=%d\n" % entries[1]["conn"] + second + b"\n", text)
        self.assertTrue(text.startswith(b"=== 1 "))

    def test_count_and_filters(self):
        for target in ("/data.bin", "/data.bin?x=1", "http://127.0.0.1:1/data.bin?x=1", "/missing"):
            exchange(self.port, request(target))
        cases = [("", "4"), ("?path=/data.bin", "3"), ("?path=/data.bin%3Fx%3D1", "2"),
                 ("?path=/missing", "1"), ("?path=/other", "0")]
        for query, expected in cases:
            with self.subTest(query=query):
                self.assertEqual(get(self.port, "/_control/count" + query)[2], expected.encode())
        _, _, text = get(self.port, "/_control/log.txt?path=/missing")
        self.assertEqual(text.count(b"=== "), 1)
        self.assertIn(b"GET /missing HTTP/1.1\r\n", text)

    def test_incomplete_request_is_logged(self):
        with connect(self.port) as s:
            s.sendall(b"GET /data.bin HTTP/1.1\r\nRange: by")
        self.assertTrue(self.server.wait_log(1, timeout=IO_TIMEOUT))
        entry = self.server.log_entries()[0]
        self.assertEqual((entry["raw"], entry["complete"]),
                         ("GET /data.bin HTTP/1.1\r\nRange: by", False))

    def test_bad_request_line_is_logged_and_answered(self):
        st, _, _ = parse(exchange(self.port, b"NONSENSE\r\n\r\n"))
        self.assertEqual(st, 400)
        self.assertEqual(self.server.log_entries()[0]["raw"], "NONSENSE\r\n\r\n")


class RouteTests(ServerCase):
    def test_fixed_replies(self):
        self.route(
            {"path": "/text", "status": 201, "body": "héllo", "headers": {"X-Test": "1"}},
            {"path": "/bin", "body_b64": base64.b64encode(b"\x00\x01\xfe").decode()},
            {"path": "/api.php?op=getinfo_box&gid=5", "body": "five"},
            {"path": "/api.php", "body": "any"},
            {"path": "/html", "body": "<p>", "headers": {"Content-Type": "text/html", "Connection": None}},
            {"path": "/alias.bin", "file": "data.bin"},
            {"path": "/digits", "body": "0123456789"},
            {"path": "/space%20d", "body": "decoded"},
            {"path": "/gone", "status": 410},
        )
        cases = [
            # target, request headers, status, expected headers, body
            ("/text", [], 201, {"x-test": "1", "content-type": "text/plain; charset=utf-8"},
             "héllo".encode()),
            ("/bin", [], 200, {"content-length": "3"}, b"\x00\x01\xfe"),
            ("/api.php?op=getinfo_box&gid=5", [], 200, {}, b"five"),
            ("http://127.0.0.1:1/api.php?op=getinfo_box&gid=5", [], 200, {}, b"five"),
            ("/api.php?op=getinfo_box&gid=6", [], 200, {}, b"any"),
            ("/api.php", [], 200, {}, b"any"),
            ("/html", [], 200, {"content-type": "text/html", "connection": None}, b"<p>"),
            ("/alias.bin", [("Range", "bytes=990-")], 206, {"content-range": "bytes 990-999/1000"},
             DATA[990:]),
            ("/digits", [("Range", "bytes=5-")], 206, {"content-range": "bytes 5-9/10"}, b"56789"),
            ("/space%20d", [], 200, {}, b"decoded"),
            ("/spac%65%20d", [], 200, {}, b"decoded"),
            ("/gone", [], 410, {"content-length": "0"}, b""),
        ]
        for target, hdrs, status, want_headers, body in cases:
            with self.subTest(target=target):
                st, h, b = get(self.port, target, hdrs)
                self.assertEqual((st, b), (status, body))
                for name, value in want_headers.items():
                    self.assertEqual(h.get(name), value, name)

    def test_route_for_any_method(self):
        self.route({"path": "/submit", "body": "ok"})
        st, _, b = parse(exchange(self.port, request("/submit", method="POST", body=b"data")))
        self.assertEqual((st, b), (200, b"ok"))

    def test_times_limits_a_route_then_the_file_is_served(self):
        self.route({"path": "/data.bin", "status": 503, "times": 2})
        results = [get(self.port, "/data.bin")[0] for _ in range(3)]
        self.assertEqual(results, [503, 503, 200])

    def test_route_only_for_a_range_start(self):
        self.route({"path": "/data.bin", "status": 404, "when_range_from": 500, "times": 1})
        cases = [
            # Range header, status: the route takes the first request from 500 only
            ([("Range", "bytes=0-")], 206),
            ([], 200),
            ([("Range", "bytes=500-")], 404),
            ([("Range", "bytes=500-")], 206),
        ]
        for hdrs, status in cases:
            self.assertEqual(get(self.port, "/data.bin", hdrs)[0], status, hdrs)

    def test_posting_a_route_again_replaces_it(self):
        self.route({"path": "/x", "body": "one"})
        self.route({"path": "/x", "body": "two"})
        self.assertEqual(get(self.port, "/x")[2], b"two")

    def test_bad_routes_are_refused(self):
        cases = [
            b'{"path": "/x", "bogus": 1}',
            b'{"body": "no path"}',
            b'{"path": "x"}',
            b'{"path": "/x", "status": "200"}',
            b'{"path": "/x", "status": 99}',
            b'{"path": "/x", "drop_after": -1}',
            b'{"path": "/x", "ignore_range": 1}',
            b'{"path": "/x", "body": "a", "file": "b"}',
            b'{"path": "/x", "body_b64": "***"}',
            b'{"path": "/x", "headers": {"A": 1}}',
            b'[{"path": "/ok"}, {"path": "/x", "chunks": 0}]',
            b'"just a string"',
            b'{not json',
            b'',
        ]
        for body in cases:
            with self.subTest(body=body):
                status, reply = get_raw_control(self.port, "route", body)
                self.assertEqual(status, 400)
                self.assertFalse(json.loads(reply)["ok"])
        # a refused list installs none of its routes
        self.assertEqual(get(self.port, "/ok")[0], 404)


class MisbehaviourTests(ServerCase):
    def test_drop_after_n_bytes_the_first_k_times(self):
        self.route({"path": "/data.bin", "drop_after": 100, "drop_times": 2})
        for i, want in enumerate([DATA[:100], DATA[:100], DATA]):
            with self.subTest(request=i + 1):
                st, h, b = get(self.port, "/data.bin")
                self.assertEqual((st, h["content-length"], b), (200, "1000", want))

    def test_drop_only_for_a_range_start(self):
        self.route({"path": "/data.bin", "drop_after": 10, "drop_when_range_from": 500},
                   {"path": "/big.bin", "drop_after": 0, "drop_when_range_from": 0, "drop_times": 1})
        cases = [
            ("/data.bin", None, DATA),
            ("/data.bin", "bytes=400-", DATA[400:]),
            ("/data.bin", "bytes=500-", DATA[500:510]),
            ("/data.bin", "bytes=500-599", DATA[500:510]),
            ("/big.bin", "bytes=0-", b""),
            ("/big.bin", "bytes=0-", BIG),
        ]
        for target, rng, want in cases:
            with self.subTest(target=target, range=rng):
                self.assertEqual(get(self.port, target, [("Range", rng)] if rng else [])[2], want)

    def test_drop_with_reset(self):
        self.route({"path": "/data.bin", "drop_after": 10, "drop_reset": True})
        with connect(self.port) as s:
            s.sendall(request("/data.bin"))
            with self.assertRaises(ConnectionResetError):
                read_all(s)

    def test_reply_shapes(self):
        cases = [
            # route keys, range, status, content-range (None: absent), has length, body
            ({"ignore_range": True}, "bytes=100-", 200, None, True, DATA),
            ({"status": 503}, "bytes=100-", 503, None, True, b""),
            ({"no_length": True}, None, 200, None, False, DATA),
            ({"no_length": True}, "bytes=600-", 206, "bytes 600-999/1000", False, DATA[600:]),
            ({"content_range_start": 7}, "bytes=100-", 206, "bytes 7-999/1000", True, DATA[100:]),
            ({"ignore_range": True, "no_length": True}, "bytes=100-", 200, None, False, DATA),
        ]
        for keys, rng, status, crange, has_length, body in cases:
            with self.subTest(keys=keys, range=rng):
                self.route(dict(keys, path="/data.bin"))
                st, h, b = get(self.port, "/data.bin", [("Range", rng)] if rng else [])
                self.assertEqual((st, h.get("content-range"), "content-length" in h, b),
                                 (status, crange, has_length, body))
                if has_length:
                    self.assertEqual(h["content-length"], str(len(body)))

    def test_stall_does_not_block_other_clients(self):
        self.route({"path": "/silent", "stall": True},
                   {"path": "/big.bin", "stall": True, "stall_after": 0})
        with connect(self.port) as silent, connect(self.port) as header_only:
            silent.sendall(request("/silent"))
            header_only.sendall(request("/big.bin"))
            head = bytearray()
            while not head.endswith(b"\r\n\r\n"):
                head += header_only.recv(1)
            self.assertTrue(head.startswith(b"HTTP/1.1 200 "))
            self.assertEqual(get(self.port, "/data.bin")[2], DATA)
            assert_quiet(self, silent)
            assert_quiet(self, header_only)
            self.assertEqual(get(self.port, "/dir/with%20space.txt")[2], SPACED)

    def test_timed_stall_then_the_reply_completes(self):
        self.route({"path": "/data.bin", "stall": 0.3, "stall_after": 50})
        start = time.monotonic()
        st, _, b = get(self.port, "/data.bin")
        self.assertGreaterEqual(time.monotonic() - start, 0.3)
        self.assertEqual((st, b), (200, DATA))

    def test_chunked_writes_arrive_whole(self):
        plain = exchange(self.port, request("/data.bin", headers=[("Range", "bytes=10-")]))
        self.route({"path": "/data.bin", "chunks": 4, "chunk_delay": 0.03})
        with connect(self.port) as s:
            s.sendall(request("/data.bin", headers=[("Range", "bytes=10-")]))
            chunked, pieces = read_all(s)
        self.assertEqual(chunked, plain)
        self.assertGreater(pieces, 1)

    def test_garbage_header(self):
        for keys, closes in (({}, False), ({"stall": 0}, True)):
            with self.subTest(keys=keys):
                self.route(dict(keys, path="/data.bin", garbage_header=2000))
                with connect(self.port) as s:
                    s.sendall(request("/data.bin"))
                    got = read_exactly(s, 2000)
                    self.assertEqual(len(got), 2000)
                    self.assertTrue(got.startswith(b"HTTP/1.1 200 OK\r\n"))
                    self.assertNotIn(b"\r\n\r\n", got)
                    if closes:
                        self.assertEqual(s.recv(1), b"")
                    else:
                        assert_quiet(self, s)

    def test_rate_limit(self):
        self.route({"path": "/big.bin", "rate": 40000})
        start = time.monotonic()
        st, _, b = get(self.port, "/big.bin", [("Range", "bytes=2000-")])
        elapsed = time.monotonic() - start
        self.assertEqual((st, b), (206, BIG[2000:]))
        self.assertGreaterEqual(elapsed, 10000 / 40000 * 0.9)

    def test_combined_drop_chunks_and_rate(self):
        self.route({"path": "/big.bin", "drop_after": 3000, "chunks": 3, "chunk_delay": 0.01,
                    "rate": 100000, "drop_times": 1})
        st, h, b = get(self.port, "/big.bin", [("Range", "bytes=1000-")])
        self.assertEqual((st, h["content-range"], b), (206, "bytes 1000-11999/12000", BIG[1000:4000]))
        self.assertEqual(get(self.port, "/big.bin", [("Range", "bytes=4000-")])[2], BIG[4000:])


class ResponderTests(unittest.TestCase):
    """Dynamic replies: asked only when no route answers; None serves files."""

    def setUp(self):
        self.root = make_root()
        self.asked = []

        def respond(req):
            self.asked.append((req.method, req.path, req.query))
            if req.path == "/dynamic":
                return 201, ("made for %s" % req.query).encode(), "text/plain"
            if req.path == "/missing":
                return 404, b"none here\n", "text/plain"
            return None
        self.server = testserver.TestServer(self.root, responder=respond)
        self.port = self.server.start()

    def tearDown(self):
        self.server.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def test_replies_fall_through_and_yield_to_routes(self):
        status, headers, body = get(self.port, "/dynamic?x=1")
        self.assertEqual((status, body, headers["content-type"]), (201, b"made for x=1", "text/plain"))
        self.assertEqual(get(self.port, "/missing")[::2], (404, b"none here\n"))
        self.assertEqual(get(self.port, "/data.bin")[::2], (200, DATA))
        self.assertEqual(get(self.port, "/data.bin", headers=[("Range", "bytes=10-19")])[::2], (206, DATA[10:20]))
        status, _ = control(self.port, "route", {"path": "/dynamic", "body": "fixed"})
        self.assertEqual(status, 200)
        self.assertEqual(get(self.port, "/dynamic")[::2], (200, b"fixed"))
        self.assertEqual([a[1] for a in self.asked], ["/dynamic", "/missing", "/data.bin", "/data.bin"])


class ControlTests(unittest.TestCase):
    def setUp(self):
        self.root = make_root()
        self.addCleanup(shutil.rmtree, self.root, True)

    def start(self, **kw):
        server = testserver.TestServer(self.root, **kw)
        server.start()
        self.addCleanup(server.stop)
        return server

    def test_reset_clears_log_and_routes_but_keeps_startup_routes(self):
        server = self.start(routes=[{"path": "/boot", "body": "boot"}])
        port = server.port
        self.assertEqual(control(port, "route", {"path": "/added", "body": "added"})[0], 200)
        get(port, "/added")
        self.assertEqual(get(port, "/_control/count")[2], b"1")
        self.assertEqual(control(port, "reset"), (200, b'{"ok": true}'))
        self.assertEqual(get(port, "/_control/count")[2], b"0")
        self.assertEqual(get(port, "/added")[0], 404)
        self.assertEqual(get(port, "/boot")[2], b"boot")
        self.assertEqual(json.loads(get(port, "/_control/log")[2])["requests"][0]["n"], 1)

    def test_wait_for_requests(self):
        server = self.start()
        port = server.port
        timer = threading.Timer(0.3, lambda: get(port, "/data.bin"))
        timer.start()
        self.addCleanup(timer.join)
        status, reply = get(port, "/_control/wait?count=1&path=/data.bin&timeout=5")[::2]
        self.assertEqual((status, json.loads(reply)), (200, {"ok": True, "count": 1}))
        start = time.monotonic()
        status, reply = get(port, "/_control/wait?count=2&timeout=0.2")[::2]
        self.assertEqual((status, json.loads(reply)), (200, {"ok": False, "count": 1}))
        self.assertLess(time.monotonic() - start, 2.0)
        for bad in ("count=x", "timeout=-1", "timeout=1000", "count=-1"):
            self.assertEqual(get(port, "/_control/wait?" + bad)[0], 400, bad)

    def test_unknown_control_request(self):
        server = self.start()
        self.assertEqual(get(server.port, "/_control/nothing")[0], 404)

    def test_stop_ends_stalls_and_holds(self):
        server = self.start()
        server.add_routes([{"path": "/silent", "stall": True},
                           {"path": "/garbage", "garbage_header": 100},
                           {"path": "/slow", "rate": 1}])
        socks = []
        for path in ("/silent", "/garbage", "/slow"):
            s = connect(server.port)
            s.sendall(request(path))
            socks.append(s)
        self.assertTrue(server.wait_log(3, timeout=IO_TIMEOUT))
        start = time.monotonic()
        server.stop()
        self.assertLess(time.monotonic() - start, 2.0)
        for s in socks:
            with s:
                read_all(s)        # ends: the server closed the connection


class CommandLineTests(unittest.TestCase):
    def setUp(self):
        self.root = make_root()
        self.addCleanup(shutil.rmtree, self.root, True)

    def run_launcher(self, args, **kw):
        return subprocess.run([sys.executable, os.path.join(HERE, "with_server.py")] + args,
                              capture_output=True, text=True, timeout=30, **kw)

    def test_server_script_reports_its_port_and_stops_on_sigterm(self):
        routes = os.path.join(self.root, "routes.json")
        with open(routes, "w") as f:
            json.dump([{"path": "/boot", "body": "from file"}], f)
        port_file = os.path.join(self.root, "port")
        proc = subprocess.Popen([sys.executable, os.path.join(HERE, "testserver.py"), "--root", self.root,
                                 "--port-file", port_file, "--routes", routes],
                                stdout=subprocess.PIPE, text=True)
        try:
            line = proc.stdout.readline()
            self.assertRegex(line, r"^PORT \d+\n$")
            port = int(line.split()[1])
            with open(port_file) as f:
                self.assertEqual(int(f.read()), port)
            self.assertEqual(get(port, "/boot")[2], b"from file")
            self.assertEqual(get(port, "/data.bin")[2], DATA)
            proc.send_signal(signal.SIGTERM)
            self.assertEqual(proc.wait(timeout=IO_TIMEOUT), 0)
        finally:
            proc.kill()
            proc.wait()
            proc.stdout.close()

    CHILD = r"""
import json, os, socket, sys
env = {k: v for k, v in os.environ.items() if k.startswith("RAVONYX_TEST_SERVER")}
root = env["RAVONYX_TEST_SERVER_ROOT_UNIX"]
with open(os.path.join(root, "made.txt"), "wb") as f:
    f.write(b"made by the child")
host, port = env["RAVONYX_TEST_SERVER"].split(":")
s = socket.create_connection((host, int(port)))
s.sendall(b"GET http://%s/made.txt HTTP/1.1\r\n\r\n" % env["RAVONYX_TEST_SERVER"].encode())
reply = b""
while True:
    d = s.recv(65536)
    if not d:
        break
    reply += d
env["body"] = reply.partition(b"\r\n\r\n")[2].decode()
print(json.dumps(env), flush=True)
sys.exit(int(sys.argv[1]))
"""

    def test_launcher_environment_and_exit_code(self):
        for code in (0, 3):
            with self.subTest(code=code):
                p = self.run_launcher(["--", sys.executable, "-c", self.CHILD, str(code)])
                self.assertEqual(p.returncode, code, p.stderr)
                env = json.loads(p.stdout)
                root = env["RAVONYX_TEST_SERVER_ROOT_UNIX"]
                self.assertTrue(os.path.isabs(root))
                self.assertEqual(env["RAVONYX_TEST_SERVER_ROOT"], "Z:" + root.replace("/", "\\"))
                self.assertRegex(env["RAVONYX_TEST_SERVER"], r"^127\.0\.0\.1:\d+$")
                self.assertEqual(env["body"], "made by the child")
                self.assertFalse(os.path.exists(root), "temporary root left behind")
                if code:
                    self.assertIn("GET http://%s/made.txt HTTP/1.1" % env["RAVONYX_TEST_SERVER"], p.stderr)

    def test_launcher_listens_on_a_given_port(self):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        p = self.run_launcher(["--port", str(port), "--", sys.executable, "-c", self.CHILD, "0"])
        self.assertEqual(p.returncode, 0, p.stderr)
        env = json.loads(p.stdout)
        self.assertEqual(env["RAVONYX_TEST_SERVER"], "127.0.0.1:%d" % port)
        self.assertEqual(env["body"], "made by the child")

    def test_launcher_keeps_a_given_root(self):
        p = self.run_launcher(["--root", self.root, "--", sys.executable, "-c", self.CHILD, "0"])
        self.assertEqual(p.returncode, 0, p.stderr)
        env = json.loads(p.stdout)
        self.assertEqual(env["RAVONYX_TEST_SERVER_ROOT_UNIX"], os.path.realpath(self.root))
        self.assertTrue(os.path.isfile(os.path.join(self.root, "made.txt")))

    def test_launcher_command_not_found(self):
        p = self.run_launcher(["--", os.path.join(self.root, "no-such-program")])
        self.assertEqual(p.returncode, 127)

    def test_launcher_cleans_up_on_sigterm(self):
        child = ("import os, sys, time\n"
                 "print(os.environ['RAVONYX_TEST_SERVER_ROOT_UNIX'], flush=True)\n"
                 "time.sleep(60)\n")
        proc = subprocess.Popen([sys.executable, os.path.join(HERE, "with_server.py"), "--",
                                 sys.executable, "-c", child],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        try:
            root = proc.stdout.readline().strip()
            self.assertTrue(os.path.isdir(root))
            proc.send_signal(signal.SIGTERM)
            self.assertEqual(proc.wait(timeout=IO_TIMEOUT), 128 + signal.SIGTERM)
            self.assertFalse(os.path.exists(root))
        finally:
            proc.kill()
            proc.wait()
            proc.stdout.close()


if __name__ == "__main__":
    unittest.main()
