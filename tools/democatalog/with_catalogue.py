#!/usr/bin/env python3
"""Run a command while the demo catalogue is up on its fixed ports.

    with_catalogue.py -- COMMAND ARGS...

For black-box runs of the test build's Ravonyx.exe, whose three sites are
fixed at build time (18080-18082). The servers run in this process; they
stop when the command ends, fails or this launcher gets SIGTERM, SIGINT or
SIGHUP. Exits with the command's exit code (128+N if it died of signal N,
127 if it could not be started, 2 if the catalogue could not start).
"""

import os
import signal
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "testserver"))
sys.path.insert(0, HERE)

import make_packages  # noqa: E402
import serve  # noqa: E402
import with_server  # noqa: E402


def main(argv=None):
    argv = sys.argv[1:] if argv is None else list(argv)
    if "--" not in argv or argv.index("--") != 0 or len(argv) < 2:
        print("usage: with_catalogue.py -- COMMAND ARGS...", file=sys.stderr)
        return 2
    cmd = argv[1:]

    def on_signal(signum, _frame):
        raise with_server._Signalled(signum)

    for s in with_server.FORWARDED_SIGNALS:
        signal.signal(s, on_signal)
    servers = {}
    rc = 1
    try:
        make_packages.ensure()
        servers = serve.start_sites({site: port for site, port in serve.SITES})
        rc = with_server._run(cmd, dict(os.environ))
    except with_server._Signalled as s:
        rc = 128 + s.signum
    except (OSError, ValueError, subprocess.CalledProcessError) as e:
        print("with_catalogue: %s" % e, file=sys.stderr)
        rc = 2
    finally:
        for s in with_server.FORWARDED_SIGNALS:
            signal.signal(s, signal.SIG_IGN)
        for server in servers.values():
            server.stop()
    return rc


if __name__ == "__main__":
    sys.exit(main())
