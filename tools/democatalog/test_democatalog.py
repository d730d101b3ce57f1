#!/usr/bin/env python3
"""Tests of the demo catalogue: serve.py starts the three sites, each serves
its pages, folders answer with their index page, "/api.php" goes to the
operations table, and the servers stop on SIGTERM.

Ports are picked free, so the tests run beside a running catalogue.
"""
import re
import os
import signal
import subprocess
import sys
import unittest
import urllib.error
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import hooks  # noqa: E402


def get(port, path):
    """(status, body text) of a GET on 127.0.0.1."""
    try:
        with urllib.request.urlopen("http://127.0.0.1:%d%s" % (port, path), timeout=10) as reply:
            return reply.status, reply.read().decode("utf-8")
    except urllib.error.HTTPError as e:
        return e.code, e.read().decode("utf-8", "replace")


class DemoCatalogue(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.process = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "serve.py"), "--web-port", "0", "--content-port", "0",
             "--download-port", "0"], stdout=subprocess.PIPE, text=True)
        line = cls.process.stdout.readline().split()
        assert line and line[0] == "READY", line
        cls.ports = dict(field.split("=") for field in line[1:])
        cls.ports = {site: int(port) for site, port in cls.ports.items()}

    @classmethod
    def tearDownClass(cls):
        if cls.process.poll() is None:
            cls.process.terminate()
            cls.process.wait(10)
        cls.process.stdout.close()

    def test_sites_serve_their_pages(self):
        cases = [
            ("web", "/", "拉沃工坊"),
            ("web", "/help.html", "使用帮助"),
            ("content", "/index.html?action=2", "壁纸分类"),
            ("content", "/zhuti/", "推荐主题"),
            ("content", "/bizhi/", "推荐壁纸"),
            ("content", "/zhuti/fengjing/", "风景主题"),
            ("content", "/ad/webgame.html", "网页游戏"),
            ("content", "/feedback.html", "意见反馈"),
            ("download", "/readme.txt", "download server"),
        ]
        for site, path, text in cases:
            with self.subTest(site=site, path=path):
                status, body = get(self.ports[site], path)
                self.assertEqual(status, 200)
                self.assertIn(text, body)

    def test_every_menu_link_of_the_content_site_opens_a_page(self):
        # The left menu's "?item=" links open content site + text + "/".
        # The menu page builds its links by script from [title, item] pairs;
        # an item of digits only picks a tab of the program instead.
        _, menu = get(self.ports["content"], "/index.html")
        items = [item for item in re.findall(r'\["[^"]*", "([^"]*)"\]', menu) if not item.isdigit()]
        self.assertGreaterEqual(len(items), 5)
        for item in items:
            with self.subTest(item=item):
                self.assertEqual(get(self.ports["content"], "/%s/" % item)[0], 200)

    def test_missing_pages_and_folders_without_index_are_404(self):
        for site, path in [("web", "/nothing.html"), ("content", "/zhuti"), ("download", "/"),
                           ("content", "/../serve.py")]:
            with self.subTest(site=site, path=path):
                self.assertEqual(get(self.ports[site], path)[0], 404)

    def test_api_operations_come_from_the_table(self):
        self.assertEqual(get(self.ports["web"], "/api.php?op=nosuch")[0], 404)
        hooks.API_OPERATIONS["demo_echo"] = lambda query, request: "success | " + query["gid"]
        try:
            # The table is read per request, so an operation added to the
            # module of a catalogue started in this process answers at once.
            import serve
            servers = serve.start_sites({"web": 0, "content": 0, "download": 0})
            try:
                status, body = get(servers["web"].port, "/api.php?op=demo_echo&gid=%E4%B8%AD5")
                self.assertEqual((status, body), (200, "success | 中5"))
            finally:
                for server in servers.values():
                    server.stop()
        finally:
            del hooks.API_OPERATIONS["demo_echo"]

    def test_a_failing_operation_answers_500(self):
        def broken(query, request):
            raise RuntimeError("broken")
        respond = hooks.responder("web", os.path.join(HERE, "web"))

        class Request:
            method, path, query = "GET", "/api.php", "op=broken"
        hooks.API_OPERATIONS["broken"] = broken
        try:
            with open(os.devnull, "w") as quiet:
                saved, sys.stderr = sys.stderr, quiet
                try:
                    self.assertEqual(respond(Request())[0], 500)
                finally:
                    sys.stderr = saved
        finally:
            del hooks.API_OPERATIONS["broken"]

    def test_the_version_file_lists_the_builds_default_versions_without_a_line_break(self):
        status, body = get(self.ports["content"], "/version/RODiruder.html")
        self.assertEqual(status, 200)
        self.assertFalse(body.endswith("\n"))
        fields = body.split(" | ")
        self.assertEqual(fields[0], "success")
        self.assertEqual([f.split("=")[0] for f in fields[1:]], ["main_version", "dll_version", "main_md5", "dll_md5"])
        self.assertEqual([f.split("=")[1] for f in fields[1:3]], ["1.0.0.1", "1.0.0.1"])
        for md5 in (fields[3].split("=")[1], fields[4].split("=")[1]):
            self.assertRegex(md5, "^[0-9a-f]{32}$")

    def test_build_root_and_version_choice(self):
        import serve
        import tempfile
        with tempfile.TemporaryDirectory() as build_root:
            os.makedirs(os.path.join(build_root, "download", "update"))
            os.makedirs(os.path.join(build_root, "content", "version"))
            with open(os.path.join(build_root, "download", "update", "Uplark.zip"), "wb") as f:
                f.write(b"PK package")
            with open(os.path.join(build_root, "content", "version", "update.html"), "w") as f:
                f.write("success | main_version=1.0.0.2 | dll_version=1.0.0.2 | main_md5=a | dll_md5=b")
            cases = [
                ("update", 200, "main_version=1.0.0.2"),
                ("fail", 200, "fail"),
                ("too-few-fields", 200, "success | main_version=1.0.0.2 | dll_version=1.0.0.2"),
                ("wrong-names", 200, "Main_Version="),
                ("nosuch", 404, "no version file"),
            ]
            for version, status, text in cases:
                with self.subTest(version=version):
                    servers = serve.start_sites({"web": 0, "content": 0, "download": 0}, build_root=build_root,
                                                version=version)
                    try:
                        got = get(servers["content"].port, "/version/RODiruder.html")
                        self.assertEqual(got[0], status)
                        self.assertIn(text, got[1])
                        if version == "too-few-fields":
                            self.assertEqual(len(got[1].split(" | ")), 3)
                        # The build root comes first, the sites' own files stay.
                        self.assertEqual(get(servers["download"].port, "/update/Uplark.zip"), (200, "PK package"))
                        self.assertEqual(get(servers["download"].port, "/readme.txt")[0], 200)
                        self.assertEqual(get(servers["download"].port, "/update/../../serve.py")[0], 404)
                    finally:
                        for server in servers.values():
                            server.stop()

    def test_stops_on_sigterm(self):
        process = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "serve.py"), "--web-port", "0", "--content-port", "0",
             "--download-port", "0"], stdout=subprocess.PIPE, text=True)
        self.assertTrue(process.stdout.readline().startswith("READY "))
        process.send_signal(signal.SIGTERM)
        self.assertEqual(process.wait(10), 0)
        process.stdout.close()


if __name__ == "__main__":
    unittest.main()
