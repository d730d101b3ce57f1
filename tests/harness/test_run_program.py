#!/usr/bin/env python3
"""The runner of the programs tests start from outside (cmake/run_program.py)
on a probe that ends in each way a program can:

    test_run_program.py RUNNER EMULATOR END_PROBE.exe
"""
import os
import subprocess
import sys
import tempfile
import unittest

RUNNER, EMULATOR, PROBE = (sys.argv[1:4] + [None] * 3)[:3]


def run(*args):
    done = subprocess.run([sys.executable, RUNNER] + list(args), capture_output=True, text=True,
                          errors="replace", timeout=90)
    return done.returncode, done.stdout + done.stderr


class ProgramEnd(unittest.TestCase):
    def test_a_return_or_exit_passes(self):
        for mode in ("return", "exit"):
            with self.subTest(mode=mode):
                code, out = run("--", EMULATOR, PROBE, mode)
                self.assertEqual(code, 0, out)
                self.assertIn("end_probe.exe ended normally", out)

    def test_an_end_without_the_mark_fails_whatever_its_exit_code(self):
        for mode in ("exitprocess", "crash", "overflow", "abort"):
            with self.subTest(mode=mode):
                code, out = run("--", EMULATOR, PROBE, mode)
                self.assertEqual(code, 1, out)
                self.assertIn("it did not end normally", out)

    def test_a_file_it_should_write(self):
        with tempfile.TemporaryDirectory() as folder:
            wanted = os.path.join(folder, "picture.png")
            code, out = run("--writes", wanted, "--", EMULATOR, PROBE, "return")
            self.assertEqual(code, 1, out)
            self.assertIn("picture.png was not written", out)
            with open(wanted, "wb") as f:
                f.write(b"old")
            code, out = run("--writes", wanted, "--", EMULATOR, PROBE, "return")
            self.assertEqual(code, 1, "a file left from before counts: " + out)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
