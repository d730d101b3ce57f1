#!/usr/bin/env python3
"""Run a command while the test server is up.

    with_server.py [--root DIR] [--port N] [--routes FILE] [--verbose] -- COMMAND ARGS...

Starts the server on a free port of 127.0.0.1, or on port N for programs
whose server address is fixed (in this process, so start-up costs no extra
interpreter), serving DIR or a fresh temporary folder, and runs
COMMAND with

    RAVONYX_TEST_SERVER            127.0.0.1:<port>
    RAVONYX_TEST_SERVER_ROOT       the root as Wine sees it: Z:\\path\\to\\root
    RAVONYX_TEST_SERVER_ROOT_UNIX  the root as a Unix path

in its environment.  Afterwards (also when the command fails or this launcher
gets SIGTERM/SIGINT/SIGHUP) the server is stopped and a temporary root is
removed.  Exits with the command's exit code (128+N if it died of signal N,
127 if it could not be started).  When the command fails, the request lines
the server saw are printed to stderr to help find out why.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import testserver  # noqa: E402

FORWARDED_SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)
KILL_GRACE = 5.0    # seconds a command gets to exit after a forwarded signal


class _Signalled(Exception):
    def __init__(self, signum):
        super().__init__(signum)
        self.signum = signum


def wine_path(unix_path):
    """/tmp/a/b -> Z:\\tmp\\a\\b (Wine maps Z: to the Unix root)."""
    return "Z:" + unix_path.replace("/", "\\")


def server_env(base, port, root):
    env = dict(base)
    env["RAVONYX_TEST_SERVER"] = "%s:%d" % (testserver.HOST, port)
    env["RAVONYX_TEST_SERVER_ROOT"] = wine_path(root)
    env["RAVONYX_TEST_SERVER_ROOT_UNIX"] = root
    return env


def _run(cmd, env):
    """Run cmd; returns its exit status in shell form."""
    try:
        child = subprocess.Popen(cmd, env=env)
    except OSError as e:
        print("with_server: cannot run %s: %s" % (cmd[0], e), file=sys.stderr)
        return 127
    signalled = None
    while True:
        try:
            if signalled is None:
                rc = child.wait()
            else:
                try:
                    rc = child.wait(timeout=KILL_GRACE)
                except subprocess.TimeoutExpired:
                    child.kill()
                    rc = child.wait()
            break
        except _Signalled as s:
            if signalled is None:
                signalled = s.signum
                try:
                    child.send_signal(s.signum)
                except OSError:
                    pass
    if rc < 0:
        return 128 - rc
    if signalled is not None and rc == 0:
        return 128 + signalled
    return rc


def main(argv=None):
    argv = sys.argv[1:] if argv is None else list(argv)
    if "--" not in argv:
        print("usage: with_server.py [--root DIR] [--port N] [--routes FILE] [--verbose] -- COMMAND ARGS...",
              file=sys.stderr)
        return 2
    split = argv.index("--")
    cmd = argv[split + 1:]
    ap = argparse.ArgumentParser(prog="with_server.py")
    ap.add_argument("--root", help="folder to serve (default: a temporary folder, removed afterwards)")
    ap.add_argument("--port", type=int, default=0,
                    help="port to listen on (default 0: a free one); for programs whose server address is fixed")
    ap.add_argument("--routes", help="JSON file with routes to install at start-up")
    ap.add_argument("--verbose", action="store_true", help="print each request line to stderr")
    args = ap.parse_args(argv[:split])
    if not cmd:
        ap.error("no command given after --")

    def on_signal(signum, _frame):
        raise _Signalled(signum)

    old_handlers = {s: signal.signal(s, on_signal) for s in FORWARDED_SIGNALS}
    temp_root = None
    server = None
    rc = 1
    try:
        if args.root:
            os.makedirs(args.root, exist_ok=True)
            root = os.path.realpath(args.root)
        else:
            temp_root = root = os.path.realpath(tempfile.mkdtemp(prefix="ravonyx-testserver-"))
        routes = testserver.load_routes_file(args.routes) if args.routes else None
        server = testserver.TestServer(root, port=args.port, routes=routes, verbose=args.verbose)
        server.start()
        rc = _run(cmd, server_env(os.environ, server.port, root))
    except _Signalled as s:
        rc = 128 + s.signum
    except (OSError, ValueError) as e:
        print("with_server: %s" % e, file=sys.stderr)
        rc = 2
    finally:
        # A second signal during clean-up must not leave the server or the
        # temporary folder behind.
        for s in FORWARDED_SIGNALS:
            signal.signal(s, signal.SIG_IGN)
        if server is not None:
            server.stop()
            if rc != 0:
                entries = server.log_entries()
                print("with_server: command exited with %d; the server saw %d request(s):"
                      % (rc, len(entries)), file=sys.stderr)
                for e in entries:
                    line = e["raw"].split("\r\n", 1)[0]
                    print("  #%d conn %d: %s" % (e["n"], e["conn"], line), file=sys.stderr)
        if temp_root is not None:
            shutil.rmtree(temp_root, ignore_errors=True)
        for s, h in old_handlers.items():
            signal.signal(s, h)
    return rc


if __name__ == "__main__":
    sys.exit(main())
