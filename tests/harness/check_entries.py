#!/usr/bin/env python3
"""Every ctest entry that runs a GoogleTest program runs it under the test
runner (cmake/run_gtest.py), so that no entry passes on exit code 0 alone:

    check_entries.py CTEST BUILD_DIR

An entry added with a bare add_test(... COMMAND some_tests) would count a
program that crashed in mid-test with exit code 0 as passed; so would an
entry with a PASS_REGULAR_EXPRESSION, which makes ctest judge by the output
and ignore the runner's verdict. The runner's own time limit lies under
ctest's time-out for the entry, so that a hung entry is stopped by the
runner, which names the test that hung, and not by ctest's silent kill.
"""
import json
import os
import subprocess
import sys
import unittest

CTEST, BUILD = (sys.argv[1:3] + [None] * 2)[:2]


def is_gtest_program(path):
    """A Windows program linked with GoogleTest: it knows gtest's flags."""
    if not path.lower().endswith((".exe", ".dll")) or not os.path.isfile(path):
        return False
    with open(path, "rb") as f:
        return b"gtest_list_tests" in f.read()


def judged_by_output(entry):
    """True when ctest passes the entry on a match in its output."""
    return any(p.get("name") == "PASS_REGULAR_EXPRESSION" for p in entry.get("properties") or [])


def unguarded(entries):
    """(entry, program) for each entry that starts a GoogleTest program
    without the runner anywhere on its command line, or with the runner but
    judged by its output."""
    found = []
    for entry in entries:
        command = entry.get("command") or []
        if any(os.path.basename(word) == "run_gtest.py" for word in command) and not judged_by_output(entry):
            continue
        found += [(entry["name"], word) for word in command if is_gtest_program(word)]
    return found


def property_of(entry, name):
    for p in entry.get("properties") or []:
        if p.get("name") == name:
            return p.get("value")
    return None


def runner_options(command):
    """The words between run_gtest.py and its "--" when the entry runs a
    program under the runner; None when it does not (a script that is given
    the runner's path only)."""
    for at, word in enumerate(command):
        if os.path.basename(word) == "run_gtest.py" and "--" in command[at + 1:]:
            options = command[at + 1:command.index("--", at + 1)]
            if not options or options[0] == "--limit":
                return options
    return None


def runner_limit(options):
    """The --limit among the runner's options, or None."""
    if options[:1] == ["--limit"] and len(options) == 2:
        try:
            return float(options[1])
        except ValueError:
            return None
    return None


def limits_not_under_the_timeout(entries):
    """(entry, runner limit, ctest time-out) for each entry under the runner
    whose runner has no limit, or one that does not end before ctest's."""
    found = []
    for entry in entries:
        options = runner_options(entry.get("command") or [])
        if options is None:
            continue
        limit = runner_limit(options)
        timeout = property_of(entry, "TIMEOUT")
        if limit is None or timeout is None or not 0 < limit < float(timeout):
            found.append((entry["name"], limit, timeout))
    return found


class Entries(unittest.TestCase):
    def test_every_gtest_entry_runs_under_the_runner(self):
        listed = subprocess.run([CTEST, "--show-only=json-v1"], cwd=BUILD, capture_output=True, text=True,
                                check=True)
        entries = json.loads(listed.stdout)["tests"]
        self.assertGreater(sum(1 for e in entries if "run_gtest.py" in " ".join(e.get("command") or [])), 10,
                           "the runner is on no entry's command line")
        self.assertEqual(unguarded(entries), [])
        self.assertEqual(limits_not_under_the_timeout(entries), [])

    def test_a_bare_entry_is_found(self):
        probe = os.path.join(BUILD, "bin", "harness_probe.exe")
        bare = {"name": "bare", "command": ["/usr/lib/wine/wine64", probe]}
        guarded = {"name": "guarded", "command": ["python3", "/x/cmake/run_gtest.py", "--", "wine64", probe]}
        black_box = {"name": "black_box", "command": ["python3", "t.py", os.path.join(BUILD, "bin", "Uplark.exe")]}
        by_output = dict(guarded, name="by_output",
                         properties=[{"name": "PASS_REGULAR_EXPRESSION", "value": ["\\[  PASSED  \\]"]}])
        self.assertEqual(unguarded([bare, guarded, black_box, by_output]), [("bare", probe), ("by_output", probe)])

    def test_a_runner_without_a_limit_under_the_timeout_is_found(self):
        def entry(name, options, timeout):
            return {"name": name, "command": ["python3", "/x/cmake/run_gtest.py"] + options + ["--", "wine64", "p"],
                    "properties": [{"name": "TIMEOUT", "value": timeout}]}
        entries = [entry("under", ["--limit", "110"], 120), entry("none", [], 120),
                   entry("equal", ["--limit", "120"], 120), entry("over", ["--limit", "200"], 120),
                   {"name": "other", "command": ["python3", "t.py"]},
                   {"name": "given", "command": ["python3", "t.py", "/x/cmake/run_gtest.py", "wine64", "p"]}]
        self.assertEqual(limits_not_under_the_timeout(entries),
                         [("none", None, 120), ("equal", 120.0, 120), ("over", 200.0, 120)])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
