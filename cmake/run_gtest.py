#!/usr/bin/env python3
"""Run a GoogleTest program and pass only a run that gtest recorded whole.

    run_gtest.py -- COMMAND ARGS...

COMMAND ARGS start the test program (under Wine: the emulator, the .exe and
its own arguments). Under Wine a program that crashes, overflows its stack
or calls ExitProcess in the middle of a test can end with exit code 0, so
the exit code alone proves nothing. This runner

  1. lists the program's tests (COMMAND ARGS --gtest_list_tests), honouring
     the same filter;
  2. runs COMMAND ARGS --gtest_output=xml:FILE, passing its output through
     and following gtest's "[ RUN      ]" and "[       OK ]" lines;
  3. passes only when the program ended with 0, gtest wrote its report
     (it does so at the very end of the run), every listed test is in it,
     and none of them failed.

Otherwise it says why, naming the test that was running when the program
ended, and exits with 1.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

RUN = re.compile(r"^\[ RUN      \] (\S+)")
DONE = re.compile(r"^\[ +(OK|FAILED|SKIPPED) +\] (\S+)(?: \(\d+ ms\))?$")


def windows_path(unix_path):
    """/tmp/a/b -> Z:\\tmp\\a\\b: Wine maps Z: to the Unix root."""
    return "Z:" + unix_path.replace("/", "\\")


def parse_listing(text):
    """The full names listed by --gtest_list_tests, in order."""
    names = []
    suite = None
    for line in text.splitlines():
        bare = line.split("#", 1)[0].rstrip()
        if not bare:
            continue
        if not line.startswith(" "):
            suite = bare
        elif suite:
            names.append(suite + bare.strip())
    return names


def parse_report(path):
    """{full name: (ran, failed, skipped)} from gtest's XML report, or None
    when there is no readable report."""
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        return None
    cases = {}
    for case in root.iter("testcase"):
        name = "%s.%s" % (case.get("classname"), case.get("name"))
        ran = case.get("status") == "run"
        failed = case.find("failure") is not None or case.find("error") is not None
        skipped = case.get("result") == "skipped"
        cases[name] = (ran, failed, skipped)
    return cases


class Progress:
    """Follows gtest's progress lines."""

    def __init__(self):
        self.running = None
        self.started = 0

    def feed(self, line):
        line = line.rstrip("\r\n")
        begun = RUN.match(line)
        if begun:
            self.running = begun.group(1)
            self.started += 1
            return
        ended = DONE.match(line)
        if ended and ended.group(2) == self.running:
            self.running = None


def is_disabled(name):
    """gtest lists DISABLED_ tests but runs them only when asked to."""
    suite, _, test = name.partition(".")
    return suite.startswith("DISABLED_") or "/DISABLED_" in suite or test.startswith("DISABLED_")


def runs_disabled(command):
    flag = "--gtest_also_run_disabled_tests"
    return any(word == flag or word.startswith(flag + "=") and not word.endswith("=0") for word in command) \
        or os.environ.get("GTEST_ALSO_RUN_DISABLED_TESTS", "0") not in ("", "0")


def list_tests(command):
    try:
        listed = subprocess.run(command + ["--gtest_list_tests"], capture_output=True, text=True,
                                errors="replace", stdin=subprocess.DEVNULL)
    except OSError as e:
        return None, "cannot start %s: %s" % (command[0], e)
    names = parse_listing(listed.stdout)
    if not runs_disabled(command):
        names = [n for n in names if not is_disabled(n)]
    if listed.returncode != 0 or not names or "[ RUN" in listed.stdout:
        sys.stdout.write(listed.stdout)
        sys.stderr.write(listed.stderr)
        return None, "listing the tests gave exit code %d and %d names" % (listed.returncode, len(names))
    return names, None


def run_tests(command, report, progress):
    """Runs the program, passing its output on; its exit code, or a negative
    signal number when it was killed."""
    child = subprocess.Popen(command + ["--gtest_output=xml:" + windows_path(report)],
                             stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)

    def forward(signum, _frame):
        # ctest's time-out or Ctrl-C: say what was running, then stop.
        if progress.running:
            print("run_gtest: stopped while %s was running" % progress.running, flush=True)
        try:
            child.kill()
        except OSError:
            pass

    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, forward)
    for raw in child.stdout:
        line = raw.decode("utf-8", "replace")
        sys.stdout.write(line)
        sys.stdout.flush()
        progress.feed(line)
    return child.wait()


def verdict(names, report, code, progress):
    """The reasons the run does not pass; empty when it does."""
    problems = []
    if progress.running:
        problems.append("the program ended inside %s (its [ RUN ] has no [ OK ] or [ FAILED ])"
                        % progress.running)
    if code != 0:
        problems.append("exit code %d" % code)
    cases = parse_report(report)
    if cases is None:
        if not progress.running:
            problems.append("gtest wrote no report: the program ended before the end of its run "
                            "(%d of %d tests had started)" % (progress.started, len(names)))
        else:
            problems.append("gtest wrote no report")
        return problems
    missing = [n for n in names if n not in cases or not cases[n][0]]
    if missing:
        problems.append("not run: " + ", ".join(missing))
    failed = [n for n in names if n in cases and cases[n][1]]
    if failed:
        problems.append("failed: " + ", ".join(failed))
    return problems


def main(argv):
    if "--" not in argv or argv.index("--") == len(argv) - 1:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    command = argv[argv.index("--") + 1:]
    names, error = list_tests(command)
    if error:
        print("run_gtest: FAILED: " + error, flush=True)
        return 1
    folder = tempfile.mkdtemp(prefix="run_gtest.")
    try:
        report = os.path.join(folder, "report.xml")
        progress = Progress()
        code = run_tests(command, report, progress)
        problems = verdict(names, report, code, progress)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    if problems:
        print("run_gtest: FAILED: " + "; ".join(problems), flush=True)
        return 1
    print("run_gtest: all %d tests ran to their end and passed" % len(names), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
