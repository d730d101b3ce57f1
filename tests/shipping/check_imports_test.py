#!/usr/bin/env python3
"""The XP import check on programs built here for the purpose: one that
imports functions Windows XP SP3 lacks fails with each DLL and name, one
that imports only XP's functions passes, and a MinGW runtime DLL fails.

    check_imports_test.py
"""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_imports  # noqa: E402

COMPILER = "i686-w64-mingw32-gcc"

# Built for Windows 8, as a program that forgot XP would be.
NEWER = r"""
#define _WIN32_WINNT 0x0602
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
int main(void)
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    AddDllDirectory(L"C:\\");
    WSAPoll(0, 0, 0);
    char address[4];
    return inet_pton(AF_INET, "127.0.0.1", address) + (int)GetTickCount();
}
"""
XP_ONLY = r"""
#include <windows.h>
int main(void)
{
    MessageBoxW(0, L"x", L"y", MB_OK);
    return (int)GetTickCount();
}
"""


def build(folder, name, source, *libraries):
    c = folder / (name + ".c")
    c.write_text(source)
    subprocess.run([COMPILER, "-O0", "-o", str(folder / (name + ".exe")), str(c), *libraries], check=True)
    return folder / (name + ".exe")


@unittest.skipUnless(shutil.which(COMPILER), COMPILER + " is not installed")
class XpCheck(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory(prefix="check-imports-")
        cls.folder = pathlib.Path(cls.temp.name)
        cls.allowed = check_imports.load_allowed()
        # A folder as the build lays it out, with the shipped Uplark.exe.
        cls.bin = cls.folder / "bin"
        cls.bin.mkdir()
        cls.newer = build(cls.bin, "newer", NEWER, "-lws2_32")
        cls.xp_only = build(cls.bin, "Uplark", XP_ONLY, "-mwindows")

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def test_functions_newer_than_xp_fail_with_their_dll_and_name(self):
        wrong = check_imports.xp_problems(check_imports.imports_of(self.newer), self.allowed)
        for expected in ("KERNEL32.dll!GetSystemTimePreciseAsFileTime", "KERNEL32.dll!AddDllDirectory",
                         "WS2_32.dll!WSAPoll", "WS2_32.dll!inet_pton"):
            self.assertIn(expected.lower(), [w.lower() for w in wrong])
        self.assertNotIn("KERNEL32.dll!GetTickCount".lower(), [w.lower() for w in wrong])

    def test_a_program_of_xp_functions_passes(self):
        imports = check_imports.imports_of(self.xp_only)
        self.assertIn("MessageBoxW", imports.get("USER32.dll", []))
        self.assertEqual(check_imports.xp_problems(imports, self.allowed), [])

    def test_an_unknown_dll_and_the_runtime_dlls(self):
        imports = {"dwmapi.dll": ["DwmIsCompositionEnabled"], "libstdc++-6.dll": ["_ZdlPv"],
                   "libwinpthread-1.dll": ["pthread_create"], "KERNEL32.dll": ["GetTickCount64"]}
        wrong = check_imports.xp_problems(imports, self.allowed)
        self.assertIn("dwmapi.dll (a DLL not on the XP list)", wrong)
        self.assertIn("KERNEL32.dll!GetTickCount64", wrong)
        self.assertEqual(sorted(check_imports.runtime_problems(imports)),
                         ["imports the MinGW runtime libstdc++-6.dll",
                          "imports the MinGW runtime libwinpthread-1.dll"])

    def test_the_check_fails_on_a_folder_with_such_a_program_and_passes_without_it(self):
        self.assertEqual(check_imports.main([str(self.bin)]), 1)
        alone = self.folder / "alone"
        alone.mkdir()
        shutil.copy(self.xp_only, alone)
        self.assertEqual(check_imports.main([str(alone)]), 0)


class Parsing(unittest.TestCase):
    def test_objdump_lines(self):
        text = ("\tDLL Name: KERNEL32.dll\n\tvma:  Hint/Ord Member-Name Bound-To\n"
                "\t1d0e4\t  123  AddAtomA\n\t1d0f0\t  456  GetTickCount\n\n"
                "\tDLL Name: WS2_32.dll\n\tvma:  Hint/Ord Member-Name Bound-To\n\t1d200\t   23\n\n")
        self.assertEqual(check_imports.parse_imports(text),
                         {"KERNEL32.dll": ["AddAtomA", "GetTickCount"], "WS2_32.dll": ["@23"]})


if __name__ == "__main__":
    unittest.main(verbosity=2)
