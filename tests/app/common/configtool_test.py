#!/usr/bin/env python3
"""Round trips through configtool.exe under wine64.

    configtool_test.py WINE64 CONFIGTOOL_EXE

Runs in the test session's Wine prefix (code page 936).
"""

import os
import subprocess
import sys
import tempfile
import unittest

WINE = CONFIGTOOL = None


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def run(*args, cwd=None):
    """The tool's exit code and output. Under Wine a crash can end with any
    code, 0 included: the test build's configtool.exe writes the file named
    in RAVONYX_EXIT_MARK when it ends normally, and a run without it fails."""
    with tempfile.TemporaryDirectory(prefix="configtool-mark-") as marks:
        mark = os.path.join(marks, "ended")
        env = dict(os.environ, RAVONYX_EXIT_MARK=wine_path(mark))
        done = subprocess.run([WINE, CONFIGTOOL, *args], cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        if not os.path.exists(mark):
            raise AssertionError("configtool.exe %s did not end normally (exit code %d): %s"
                                 % (" ".join(args), done.returncode, done.stderr.decode("utf-8", "replace")))
    return done.returncode, done.stdout.decode("utf-8")


class ConfigTool(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="configtool-")
        self.ini = os.path.join(self.folder.name, "common.ini")

    def tearDown(self):
        self.folder.cleanup()

    def test_encode_and_decode(self):
        for text, symbols in [("Path", "r34Gl900"), ("HotKey_V", "t3BGtJqZoHn0"),
                              ("D:\\下载\\", "u6RjFV+rJ4A0")]:
            with self.subTest(text=text):
                self.assertEqual((0, symbols + "\n"), run("encode", text))
                self.assertEqual((0, text + "\n"), run("decode", symbols))

    def test_malformed_and_empty(self):
        self.assertEqual((1, "abc\n"), run("decode", "np.cm"))
        self.assertEqual(1, run("decode", "!abc")[0])
        self.assertEqual(1, run("encode", "")[0])

    def test_write_then_read(self):
        ini = wine_path(self.ini)
        self.assertEqual(0, run("write", "DownLoad", "Path", "E:\\主题\\", ini)[0])
        self.assertEqual(0, run("write", "Update", "AutoUpdate", "0", ini)[0])
        with open(self.ini, "rb") as f:
            stored = f.read().decode("ascii")
        self.assertIn("[DownLoad]\r\nr34Gl900=", stored)
        self.assertIn("[Update]\r\n", stored)
        self.assertNotIn("Path", stored)
        self.assertEqual((0, "E:\\主题\\\n"), run("read", "DownLoad", "Path", ini))
        self.assertEqual((0, "0\n"), run("read", "Update", "AutoUpdate", ini, "1"))

    def test_absent_values(self):
        ini = wine_path(self.ini)
        self.assertEqual((0, "7\n"), run("read", "Common", "Task", ini, "7"))
        self.assertEqual((1, ""), run("read", "Common", "Task", ini))
        self.assertEqual(1, run("write", "Common", "Task", "", ini)[0])
        self.assertFalse(os.path.exists(self.ini))

    def test_file_relative_to_the_current_folder(self):
        self.assertEqual(0, run("write", "Common", "AutoStart", "1", "common.ini", cwd=self.folder.name)[0])
        self.assertTrue(os.path.exists(self.ini))

    def test_bad_command_lines(self):
        for args in [(), ("encode",), ("read", "a", "b"), ("frobnicate", "x")]:
            with self.subTest(args=args):
                self.assertEqual(2, run(*args)[0])


if __name__ == "__main__":
    WINE, CONFIGTOOL = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
