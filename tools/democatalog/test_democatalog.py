#!/usr/bin/env python3
"""Tests of the demo catalogue: serve.py starts the three sites, each serves
its pages, folders answer with their index page, "/api.php" goes to the
operations table, and the servers stop on SIGTERM.

Ports are picked free, so the tests run beside a running catalogue.
"""
import os
import io
import re
import socket
import signal
import subprocess
import sys
import unittest
import urllib.error
import urllib.request
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import catalog  # noqa: E402
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
            ("content", "/zhuti/1/", "风景主题"),
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
        # The page builds its links from its table of [text, item] pairs; a
        # number there picks a tab of the program instead.
        _, menu = get(self.ports["content"], "/index.html")
        self.assertIn('href=\\"index.html?item=" + link[1]', menu)
        items = [item for item in re.findall(r'\["[^"]+", "([^"]+)"\]', menu) if not item.isdigit()]
        self.assertGreaterEqual(len(items), 5)
        for item in items:
            with self.subTest(item=item):
                self.assertEqual(get(self.ports["content"], "/%s/" % item)[0], 200)

    def test_missing_pages_and_folders_without_index_are_404(self):
        for site, path in [("web", "/nothing.html"), ("content", "/zhuti"), ("download", "/"),
                           ("content", "/../serve.py")]:
            with self.subTest(site=site, path=path):
                self.assertEqual(get(self.ports[site], path)[0], 404)

    def test_item_records_for_every_listed_item_and_fail_for_others(self):
        full_addresses = 0
        for item_id, (kind, name) in catalog.ITEMS.items():
            status, body = get(self.ports["web"], "/api.php?op=getinfo_box&gid=%d" % item_id)
            self.assertEqual(status, 200)
            fields = body.split(" | ")
            self.assertEqual(len(fields), 6, body)
            self.assertEqual(fields[0], "success")
            self.assertEqual(fields[1], "gamename:" + name)
            # The program puts the content site's address before it.
            section = "zhuti" if kind == catalog.THEME else "bizhi"
            self.assertRegex(fields[2], r"^contenturl:%s/[12]/$" % section)
            self.assertEqual(get(self.ports["content"], "/" + fields[2][len("contenturl:"):])[0], 200)
            self.assertTrue(fields[3].startswith("imagepath:"))
            self.assertEqual(fields[4], "gamepath:Ravonyx\\download\\%d.zip" % item_id)
            self.assertTrue(fields[5].startswith("jsons:{") and fields[5].endswith(',"status":1,"progress":"0"}'))
            self.assertIn("$imagelocalpath$%d.png" % item_id, fields[5])
            image = fields[3][len("imagepath:"):]
            if image.startswith(catalog.WEB_SITE):
                full_addresses += 1
                image = image[len(catalog.WEB_SITE):]
            with urllib.request.urlopen("http://127.0.0.1:%d%s" % (self.ports["web"], image), timeout=10) as reply:
                self.assertEqual(reply.read(8), b"\x89PNG\r\n\x1a\n")
        self.assertEqual(full_addresses, 1)
        self.assertTrue(any(ord(ch) > 0x4E00 for _, name in catalog.ITEMS.values() for ch in name))
        self.assertEqual(set(catalog.ITEMS), set(range(101, 109)) | set(range(201, 209)))
        for gid in ("100", "209", "999999", "abc", ""):
            self.assertEqual(get(self.ports["web"], "/api.php?op=getinfo_box&gid=" + gid), (200, "fail"))

    def test_recommendations_of_each_kind(self):
        for kind, section in ((1, "theme"), (2, "bizhi")):
            status, body = get(self.ports["web"], "/api.php?op=getref_box&type=%d" % kind)
            self.assertEqual(status, 200)
            self.assertTrue(body.startswith("success|<li>"), body)
            ids = re.findall(r"openItem\('(\d+)', '%s'\)" % section, body)
            self.assertEqual(len(ids), 4, body)
            self.assertTrue(all(catalog.ITEMS[int(i)][0] == kind for i in ids))
        for kind in ("0", "3", "", "x"):
            self.assertEqual(get(self.ports["web"], "/api.php?op=getref_box&type=" + kind), (200, "fail"))

    def test_start_pages_and_usage_reports(self):
        status, body = get(self.ports["web"], "/api.php?op=gethome_box&act=gethome")
        self.assertEqual(status, 200)
        self.assertEqual(body, "success | _start:%s/::0,%s/help.html::about:blank,%s/old.html::2"
                         % ((catalog.WEB_SITE,) * 3))
        for act in ("action=gethome", "act=other", ""):
            self.assertEqual(get(self.ports["web"], "/api.php?op=gethome_box&" + act), (200, "0"))
        for query in ("action=showrun&sid=0&mac=00-00-00-00-00-00", "action=", "action=active7&sid=12&mac=AA"):
            self.assertEqual(get(self.ports["web"], "/api.php?op=postadinfo_box&" + query), (200, "success"))

    def test_pop_up_states_and_pages(self):
        for kind in ("news", "start"):
            status, body = get(self.ports["web"], "/api.php?op=ad_box&type=%s&action=state" % kind)
            fields = body.split(" | ")
            self.assertEqual((status, len(fields), fields[0]), (200, 6, "success"), body)
            self.assertEqual(fields[5], "isday=1")
        # No state for "min"; unknown types and actions fail.
        for query in ("type=min&action=state", "type=x&action=info", "type=news&action=x", ""):
            self.assertEqual(get(self.ports["web"], "/api.php?op=ad_box&" + query), (200, "fail"))
        for kind in ("news", "start", "min"):
            status, body = get(self.ports["web"], "/api.php?op=ad_box&type=%s&action=info" % kind)
            fields = body.split(" | ")
            self.assertEqual((status, len(fields), fields[0]), (200, 4, "success"), body)
            self.assertTrue(fields[1].startswith("Width=") and fields[2].startswith("Height="), body)
            url = fields[3][len("Url="):]
            self.assertTrue(url.startswith(catalog.CONTENT_SITE), url)
            status, page = get(self.ports["content"], "/" + url[len(catalog.CONTENT_SITE):])
            self.assertEqual(status, 200, url)
            if kind != "news":
                self.assertIn("Ex_CloseRbPopDlg", page)

    def test_search_pages(self):
        def found(target):
            status, body = self.raw_get(self.ports["web"], target)
            self.assertEqual(status, 200, target)
            return [int(i) for i in re.findall(r'<li id="item_(\d+)">', body)], body

        cases = [
            (b"/search.html?a=box&type=theme&keyword=%E8%93%9D", [101]),
            ("/search.html?a=box&type=theme&keyword=蓝".encode("utf-8"), [101]),  # as the program sends it
            (b"/search.html?a=box&type=desktop&keyword=lake", [202]),
            (b"/search.html?a=box&type=desktop&keyword=", list(range(201, 209))),
            (b"/search.html?a=box&type=theme&keyword=nothing", []),
        ]
        for target, ids in cases:
            items, body = found(target)
            self.assertEqual(items, ids, target)
            self.assertIn("showLocalStates('%s', %d);" % (",".join(map(str, ids)), 2 if b"desktop" in target else 1),
                          body)
        _, body = found(b"/search.html?a=box&type=theme&keyword=%3Cscript%3E")
        self.assertIn("&lt;script&gt;", body)
        self.assertNotIn("<script>", body)

    @staticmethod
    def raw_get(port, target):
        """(status, body text) of a GET whose request line holds the bytes
        of target as they are, the way the program's browser may send them."""
        with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
            s.sendall(b"GET " + target + b" HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n")
            data = b""
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                data += chunk
        head, _, body = data.partition(b"\r\n\r\n")
        return int(head.split()[1]), body.decode("utf-8")

    def test_packages_open_with_their_password_in_the_installed_layout(self):
        for item_id, (kind, name) in catalog.ITEMS.items():
            with urllib.request.urlopen("http://127.0.0.1:%d/%d.zip" % (self.ports["download"], item_id),
                                        timeout=60) as reply:
                archive = zipfile.ZipFile(io.BytesIO(reply.read()))
            names = set(archive.namelist())
            top = str(item_id)
            if kind == catalog.THEME:
                self.assertLessEqual({"%s/%s.theme" % (top, name), "%s/%s/%s.msstyles" % (top, name, name),
                                      "%s/%s/WALLPAPER/%s.jpg" % (top, name, name)}, names)
            else:
                self.assertEqual({"%s/%s.jpg" % (top, name)}, names)
            for info in archive.infolist():
                self.assertEqual(info.flag_bits & 0x801, 0x801, info.filename)  # encrypted, UTF-8 name
                with self.assertRaises(RuntimeError):
                    archive.read(info)  # no password
                data = archive.read(info, pwd=catalog.password(item_id).encode())
                if info.filename.endswith(".jpg"):
                    self.assertEqual(data[:2], b"\xff\xd8")

    def test_the_large_package_comes_slowly_enough_to_pause(self):
        request = urllib.request.Request("http://127.0.0.1:%d/%d.zip" % (self.ports["download"], catalog.LARGE_ITEM),
                                         headers={"Range": "bytes=0-59999"})
        with urllib.request.urlopen(request, timeout=30) as reply:
            self.assertEqual(reply.status, 206)
            self.assertGreater(int(reply.headers["Content-Range"].split("/")[1]), 1000000)

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
