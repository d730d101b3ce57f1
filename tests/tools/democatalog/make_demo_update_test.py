#!/usr/bin/env python3
"""Tests of tools/democatalog/make_demo_update.py on files of the build: the
two packages, the versions stamped into them, and the version files that
offer them.

    make_demo_update_test.py SCRIPT BIN_FOLDER PROGRAM_VERSION UPDATER_VERSION
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

SCRIPT = BIN = PROGRAM_VERSION = UPDATER_VERSION = None


def product_version(data):
    """The ProductVersion text and the fixed product version numbers."""
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
    return data[start:end].decode("utf-16-le"), "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def md5_of(path):
    with open(path, "rb") as f:
        return hashlib.md5(f.read()).hexdigest()


class MakeDemoUpdate(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="ravonyx-demo-update-")
        subprocess.run([sys.executable, SCRIPT, cls.out, "--bin", BIN, "--program-version", PROGRAM_VERSION,
                        "--updater-version", UPDATER_VERSION], check=True, stdout=subprocess.DEVNULL)
        cls.update = os.path.join(cls.out, "download", "update")
        cls.versions = os.path.join(cls.out, "content", "version")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, True)

    def read_version_file(self, name):
        with open(os.path.join(self.versions, name), encoding="utf-8", newline="") as f:
            text = f.read()
        self.assertFalse(text.endswith("\n"), name)
        fields = text.split(" | ")
        self.assertEqual(fields[0], "success")
        return dict(field.split("=", 1) for field in fields[1:])

    def test_the_updater_package_holds_a_newer_updater_at_its_root(self):
        with zipfile.ZipFile(os.path.join(self.update, "Uplark.zip")) as z:
            self.assertEqual(z.namelist(), ["Uplark.exe"])
            data = z.read("Uplark.exe")
        text, numbers = product_version(data)
        self.assertNotEqual(text, UPDATER_VERSION)
        self.assertEqual(len(text), len(UPDATER_VERSION))
        self.assertEqual(numbers, text)
        with open(os.path.join(BIN, "Uplark.exe"), "rb") as f:
            self.assertEqual(product_version(f.read())[0], UPDATER_VERSION)

    def test_the_version_files_list_the_packages(self):
        listed = self.read_version_file("update.html")
        self.assertEqual(list(listed), ["main_version", "dll_version", "main_md5", "dll_md5"])
        self.assertEqual(listed["main_md5"], md5_of(os.path.join(self.update, "Tessaly.zip")))
        self.assertEqual(listed["dll_md5"], md5_of(os.path.join(self.update, "Uplark.zip")))
        with zipfile.ZipFile(os.path.join(self.update, "Tessaly.zip")) as z:
            self.assertEqual(product_version(z.read("Ravonyx.exe"))[0], listed["main_version"])
        with zipfile.ZipFile(os.path.join(self.update, "Uplark.zip")) as z:
            self.assertEqual(product_version(z.read("Uplark.exe"))[0], listed["dll_version"])
        self.assertNotEqual(listed["main_version"], PROGRAM_VERSION)

        current = self.read_version_file("current.html")
        self.assertEqual((current["main_version"], current["dll_version"]), (PROGRAM_VERSION, UPDATER_VERSION))
        upper = self.read_version_file("upper-case-md5.html")
        self.assertEqual(upper["main_md5"], listed["main_md5"].upper())
        self.assertEqual(upper["dll_md5"], listed["dll_md5"].upper())
        self.assertNotEqual(upper["dll_md5"], listed["dll_md5"])


if __name__ == "__main__":
    SCRIPT, BIN, PROGRAM_VERSION, UPDATER_VERSION = sys.argv[1:5]
    del sys.argv[1:5]
    unittest.main()
