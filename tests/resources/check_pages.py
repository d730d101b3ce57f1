#!/usr/bin/env python3
"""The pages shown inside Ravonyx.exe's browsers: the program folder's local
pages and the demo catalogue's content site.

- Every inline script parses as ES3 (acorn --ecma3), since the program's
  browser control runs old script engines.
- The scripts do what the pages need, run in headless Chromium: the menu
  marks the list named by "?action=", the list pages name theirs by "?item=",
  and the catalogue's menu shows the list of its tab.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PAGE_ROOTS = [os.path.join(TOP, "resources", "program", "Local"),
              os.path.join(TOP, "tools", "democatalog", "content")]
SCRIPT = re.compile(r"<script\b[^>]*>(.*?)</script>", re.S | re.I)


def pages():
    found = []
    for root in PAGE_ROOTS:
        found += sorted(glob.glob(os.path.join(root, "**", "*.html"), recursive=True))
    return found


def chromium_dom(path, query):
    """The page's DOM after its scripts ran, from headless Chromium."""
    profile = tempfile.mkdtemp(prefix="pages-chromium-")
    try:
        out = subprocess.run(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + profile,
             "--dump-dom", "file://" + path + query],
            capture_output=True, text=True, timeout=120)
        return out.stdout
    finally:
        shutil.rmtree(profile, ignore_errors=True)


class Pages(unittest.TestCase):
    def test_there_are_pages(self):
        names = [os.path.relpath(p, TOP) for p in pages()]
        for required in ["resources/program/Local/list/menumanage.html",
                         "resources/program/Local/management/error.html",
                         "resources/program/Local/management/left.html",
                         "resources/program/Local/management/mythemes.html",
                         "resources/program/Local/management/myimages.html"]:
            self.assertIn(required, names)

    def test_scripts_parse_as_es3(self):
        for page in pages():
            with open(page, encoding="utf-8") as f:
                html = f.read()
            for i, script in enumerate(SCRIPT.findall(html)):
                with self.subTest(page=os.path.relpath(page, TOP), script=i):
                    with tempfile.NamedTemporaryFile("w", suffix=".js", encoding="utf-8", delete=False) as js:
                        js.write(script)
                    try:
                        result = subprocess.run(["acorn", "--ecma3", "--silent", js.name],
                                                capture_output=True, text=True, timeout=60)
                    finally:
                        os.unlink(js.name)
                    self.assertEqual(result.returncode, 0, result.stderr)

    def test_es3_check_rejects_modern_syntax(self):
        with tempfile.NamedTemporaryFile("w", suffix=".js", delete=False) as js:
            js.write("var marks = { a: 1, };\nlet b = () => 2;\n")
        try:
            result = subprocess.run(["acorn", "--ecma3", "--silent", js.name], capture_output=True, timeout=60)
        finally:
            os.unlink(js.name)
        self.assertNotEqual(result.returncode, 0)

    def test_scripts_mark_the_list_shown(self):
        local = PAGE_ROOTS[0]
        content = PAGE_ROOTS[1]
        cases = [
            (local + "/list/menumanage.html", "?action=2", r'<a id="menu2" href="[^"]*" class="current">'),
            (local + "/list/menumanage.html", "", r'<a id="menu0" href="[^"]*" class="current">'),
            (local + "/management/mythemes.html", "?item=2", r'<h1 id="title">下载中的主题</h1>'),
            (local + "/management/myimages.html", "?item=1", r'<h1 id="title">已下载的壁纸</h1>'),
            (content + "/index.html", "?action=3", r'<h1 id="title">网页游戏</h1>'),
            (content + "/index.html", "?action=3", r'<ul id="list3" style="display: block;">'),
        ]
        for path, query, pattern in cases:
            with self.subTest(page=os.path.relpath(path, TOP), query=query):
                self.assertRegex(chromium_dom(path, query), pattern)

    def test_list_pages_offer_the_functions_the_program_calls(self):
        for name in ("mythemes.html", "myimages.html"):
            with open(os.path.join(PAGE_ROOTS[0], "management", name), encoding="utf-8") as f:
                html = f.read()
            for function in ("displayDownloadProgress", "EnableStartBnt"):
                self.assertRegex(html, r"function %s\(" % function, name)


if __name__ == "__main__":
    unittest.main()
