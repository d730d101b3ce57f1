#!/usr/bin/env python3
"""Run one of the test build's programs and pass only a normal end.

    run_program.py [--writes FILE]... -- COMMAND ARGS...

Under Wine a program that crashes can still end with exit code 0. The test
build's programs write the file named in RAVONYX_EXIT_MARK when their C
runtime ends them (tests/support/ExitMarkWriter.c), which no crash, stack
overflow or ExitProcess does. This runner passes when the program ended
with 0, left that mark, and wrote every FILE named (each removed first).
"""

import argparse
import os
import subprocess
import sys
import tempfile


def windows_path(unix_path):
    """/tmp/a/b -> Z:\\tmp\\a\\b: Wine maps Z: to the Unix root."""
    return "Z:" + unix_path.replace("/", "\\")


def main(argv):
    parser = argparse.ArgumentParser(usage=__doc__.strip().splitlines()[2])
    parser.add_argument("--writes", action="append", default=[], metavar="FILE")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    options = parser.parse_args(argv)
    command = options.command[1:] if options.command[:1] == ["--"] else options.command
    if not command:
        parser.error("no command")
    for path in options.writes:
        if os.path.exists(path):
            os.remove(path)
    with tempfile.TemporaryDirectory(prefix="run_program.") as folder:
        mark = os.path.join(folder, "ended")
        env = dict(os.environ, RAVONYX_EXIT_MARK=windows_path(mark))
        code = subprocess.call(command, env=env, stdin=subprocess.DEVNULL)
        problems = []
        if code != 0:
            problems.append("exit code %d" % code)
        if not os.path.exists(mark):
            problems.append("it did not end normally (a crash, a stack overflow, an abort or ExitProcess)")
    problems += ["%s was not written" % path for path in options.writes
                 if not os.path.isfile(path) or os.path.getsize(path) == 0]
    name = os.path.basename(command[-1] if len(command) == 1 else command[1])
    if problems:
        print("run_program: %s FAILED: %s" % (name, "; ".join(problems)), flush=True)
        return 1
    print("run_program: %s ended normally" % name, flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
