#!/usr/bin/env python3
"""The test runner (cmake/run_gtest.py) on a probe program that ends in the
middle of its run in each way a program can:

    test_run_gtest.py RUNNER EMULATOR PROBE.exe
"""
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(sys.argv[1])) if len(sys.argv) > 1 else ".")

RUNNER, EMULATOR, PROBE = (sys.argv[1:4] + [None] * 3)[:3]


def run_probe(mode, *args, limit=None):
    env = dict(os.environ)
    env.pop("RAVONYX_PROBE", None)
    if mode:
        env["RAVONYX_PROBE"] = mode
    options = ["--limit", str(limit)] if limit else []
    done = subprocess.run([sys.executable, RUNNER] + options + ["--", EMULATOR, PROBE] + list(args), env=env,
                          capture_output=True, text=True, errors="replace", timeout=90)
    return done.returncode, done.stdout + done.stderr


class EarlyEnd(unittest.TestCase):
    def test_a_whole_run_passes(self):
        code, out = run_probe(None)
        self.assertEqual(code, 0, out)
        self.assertIn("all 3 tests ran to their end and passed", out)

    def test_every_early_end_fails_and_names_the_running_test(self):
        for mode in ("exit", "crash", "overflow", "abort"):
            with self.subTest(mode=mode):
                code, out = run_probe(mode)
                self.assertEqual(code, 1, out)
                self.assertIn("run_gtest: FAILED", out)
                self.assertIn("ended inside Probe.EndsTheProgram", out)
                self.assertNotIn("[ RUN      ] Probe.RunsLast", out, "the run went on")

    def test_a_failed_test_is_named(self):
        code, out = run_probe("fail")
        self.assertEqual(code, 1, out)
        self.assertIn("failed: Probe.EndsTheProgram", out)
        self.assertNotIn("ended inside", out)

    def test_a_run_past_the_limit_is_stopped_and_names_the_running_test(self):
        code, out = run_probe("hang", limit=30)
        self.assertEqual(code, 1, out)
        self.assertIn("Probe.EndsTheProgram was still running when the time limit of 30 s ran out", out)
        self.assertNotIn("[ RUN      ] Probe.RunsLast", out, "the run went on")
        # A run within the limit is not disturbed by it.
        code, out = run_probe(None, limit=60)
        self.assertEqual(code, 0, out)
        self.assertIn("all 3 tests ran to their end and passed", out)

    def test_a_filter_limits_what_must_run(self):
        code, out = run_probe("exit", "--gtest_filter=*RunsFirst:*RunsLast")
        self.assertEqual(code, 0, out)
        self.assertIn("all 2 tests ran to their end and passed", out)


class Verdict(unittest.TestCase):
    """The checks on gtest's report, with reports written here."""

    def setUp(self):
        import run_gtest
        self.runner = run_gtest
        self.folder = tempfile.TemporaryDirectory()
        self.report = os.path.join(self.folder.name, "report.xml")

    def tearDown(self):
        self.folder.cleanup()

    def write(self, cases):
        rows = "".join('<testcase name="%s" status="%s" result="completed" classname="S">%s</testcase>'
                       % (name, status, "<failure message='x'/>" if failed else "")
                       for name, status, failed in cases)
        with open(self.report, "w") as f:
            f.write('<?xml version="1.0"?><testsuites><testsuite name="S">%s</testsuite></testsuites>' % rows)

    def problems(self, names, code=0):
        progress = self.runner.Progress()
        return self.runner.verdict(names, self.report, code, progress)

    def test_reports(self):
        cases = [
            ("all ran", [("A", "run", False), ("B", "run", False)], 0, []),
            ("one absent", [("A", "run", False)], 0, ["not run: S.B"]),
            ("one not run", [("A", "run", False), ("B", "notrun", False)], 0, ["not run: S.B"]),
            ("one failed", [("A", "run", True), ("B", "run", False)], 0, ["failed: S.A"]),
            ("exit code", [("A", "run", False), ("B", "run", False)], 3, ["exit code 3"]),
        ]
        for title, rows, code, expected in cases:
            with self.subTest(title):
                self.write(rows)
                self.assertEqual(self.problems(["S.A", "S.B"], code), expected)

    def test_no_report_or_a_broken_one(self):
        self.assertIn("gtest wrote no report", self.problems(["S.A"])[0])
        with open(self.report, "w") as f:
            f.write("<testsuites><testsuite")
        self.assertIn("gtest wrote no report", self.problems(["S.A"])[0])

    def test_listing(self):
        listing = ("Suite.\n  One\n  Two  # GetParam() = 1\nTyped/0.  # TypeParam = int\n  Three\n")
        self.assertEqual(self.runner.parse_listing(listing), ["Suite.One", "Suite.Two", "Typed/0.Three"])

    def test_disabled_tests_need_not_run(self):
        for name, disabled in (("S.DISABLED_A", True), ("DISABLED_S.A", True), ("P/DISABLED_S.A", True),
                               ("S.A", False), ("S.A_DISABLED_", False)):
            with self.subTest(name):
                self.assertEqual(self.runner.is_disabled(name), disabled)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
