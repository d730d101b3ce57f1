#!/usr/bin/env python3
"""Run a GoogleTest program and pass only a run that gtest recorded whole.

    run_gtest.py [--limit SECONDS] -- COMMAND ARGS...

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

--limit gives the whole run (listing included) a time limit of its own, set
just under ctest's time-out for the entry: ctest's kill leaves nothing to
say what hung, so the runner stops the program first and names the test
that was running.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
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
        self.running_since = None
        self.started = 0

    def feed(self, line):
        line = line.rstrip("\r\n")
        begun = RUN.match(line)
        if begun:
            self.running = begun.group(1)
            self.running_since = time.monotonic()
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


class Deadline:
    """The end of the run's time limit; none without a limit."""

    def __init__(self, seconds):
        self.seconds = seconds
        self.end = None if seconds is None else time.monotonic() + seconds

    def left(self):
        """Seconds left (never negative), or None without a limit."""
        return None if self.end is None else max(0.0, self.end - time.monotonic())


def list_tests(command, deadline):
    try:
        listed = subprocess.run(command + ["--gtest_list_tests"], capture_output=True, text=True,
                                errors="replace", stdin=subprocess.DEVNULL, timeout=deadline.left())
    except subprocess.TimeoutExpired:
        return None, "listing the tests did not end within the time limit of %g s" % deadline.seconds
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


def out_of_time(deadline, progress):
    """What the runner says when the time limit ends the run."""
    if progress.running:
        return "%s was still running when the time limit of %g s ran out (it had run %.0f s)" % (
            progress.running, deadline.seconds, time.monotonic() - progress.running_since)
    return "the time limit of %g s ran out with no test running (%d had started)" % (
        deadline.seconds, progress.started)


def run_tests(command, report, progress, deadline):
    """Runs the program, passing its output on. Returns its exit code (a
    negative signal number when it was killed) and, when the time limit
    ended the run, what was going on then."""
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

    def pass_output_on():
        for raw in child.stdout:
            line = raw.decode("utf-8", "replace")
            sys.stdout.write(line)
            sys.stdout.flush()
            progress.feed(line)

    # The output is read on a thread of its own, so that neither a program
    # that hangs nor a process it started that keeps the pipe open can hold
    # the runner past its limit.
    reader = threading.Thread(target=pass_output_on, daemon=True)
    reader.start()
    try:
        code = child.wait(timeout=deadline.left())
    except subprocess.TimeoutExpired:
        stopped = out_of_time(deadline, progress)
        child.kill()
        code = child.wait()
        reader.join(timeout=5)
        return code, stopped
    reader.join(timeout=deadline.left())
    if reader.is_alive():
        return code, ("the program ended, but a process it started still held its output when the time "
                      "limit of %g s ran out" % deadline.seconds)
    return code, None


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
    options = argv[:argv.index("--")]
    command = argv[argv.index("--") + 1:]
    limit = None
    if options:
        try:
            if len(options) != 2 or options[0] != "--limit" or float(options[1]) <= 0:
                raise ValueError
            limit = float(options[1])
        except ValueError:
            print(__doc__.strip().splitlines()[2], file=sys.stderr)
            return 2
    deadline = Deadline(limit)
    names, error = list_tests(command, deadline)
    if error:
        print("run_gtest: FAILED: " + error, flush=True)
        return 1
    folder = tempfile.mkdtemp(prefix="run_gtest.")
    try:
        report = os.path.join(folder, "report.xml")
        progress = Progress()
        code, stopped = run_tests(command, report, progress, deadline)
        problems = ([stopped] if stopped else []) + verdict(names, report, code, progress)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    if problems:
        print("run_gtest: FAILED: " + "; ".join(problems), flush=True)
        return 1
    print("run_gtest: all %d tests ran to their end and passed" % len(names), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
