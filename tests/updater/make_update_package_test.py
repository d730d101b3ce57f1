#!/usr/bin/env python3
"""Tests of tools/democatalog/make_update_package.py against files of the
build: the package's entries, its MD5 file, and the ProductVersion given to
the program.

    make_update_package_test.py SCRIPT BIN_FOLDER UPDATER_VERSION
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

SCRIPT = BIN = VERSION = None


def product_versions(data):
    """The ProductVersion text and the fixed product version numbers of a
    program's version resource."""
    resource = data.find("VS_VERSION_INFO\0".encode("utf-16-le"))
    key = "ProductVersion\0".encode("utf-16-le")
    at = data.find(key, resource)
    start = at + len(key)
    start += (-(start - (at - 6))) % 4
    end = start
    while data[end:end + 2] != b"\0\0":
        end += 2
    fixed = data.find(struct.pack("<I", 0xFEEF04BD), resource)
    ms, ls = struct.unpack("<II", data[fixed + 16:fixed + 24])
    return data[start:end].decode("utf-16-le"), (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


class MakeUpdatePackage(unittest.TestCase):
    def setUp(self):
        self.out = tempfile.mkdtemp(prefix="ravonyx-package-")
        self.addCleanup(shutil.rmtree, self.out, True)
        self.program = os.path.join(BIN, "Uplark.exe")   # a program with a version resource
        self.library = os.path.join(BIN, "Dunmere.dll")

    def run_script(self, *args):
        return subprocess.run([sys.executable, SCRIPT, self.out, "--program", self.program,
                               "--library", self.library] + list(args),
                              capture_output=True, text=True, timeout=60)

    def test_package_entries_digest_and_version(self):
        new = ".".join(str((int(n) + 1) % 10) for n in VERSION.split("."))
        self.assertEqual(len(new), len(VERSION))
        p = self.run_script("--version", new)
        self.assertEqual(p.returncode, 0, p.stderr)
        package = os.path.join(self.out, "update", "Tessaly.zip")
        with open(package, "rb") as f:
            digest = hashlib.md5(f.read()).hexdigest()
        with open(package + ".md5") as f:
            self.assertEqual(f.read(), digest + "\n")
        with zipfile.ZipFile(package) as z:
            self.assertEqual(sorted(z.namelist()),
                             [".meta/build.txt", "Dunmere.dll", "Ravonyx.exe", "Skins/demo.xml", "readme.txt"])
            shipped = z.read("Ravonyx.exe")
            with open(self.library, "rb") as f:
                self.assertEqual(z.read("Dunmere.dll"), f.read())
        with open(self.program, "rb") as f:
            original = f.read()
        self.assertEqual(product_versions(original), (VERSION, tuple(int(n) for n in VERSION.split("."))))
        self.assertEqual(product_versions(shipped), (new, tuple(int(n) for n in new.split("."))))
        self.assertEqual(len(shipped), len(original))

    def test_a_version_of_another_length_is_refused(self):
        p = self.run_script("--version", VERSION + ".1")
        self.assertEqual(p.returncode, 2)
        self.assertIn("characters", p.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.out, "update", "Tessaly.zip")))


if __name__ == "__main__":
    SCRIPT, BIN, VERSION = sys.argv[1:4]
    unittest.main(argv=sys.argv[:1])
