#!/usr/bin/env python3
"""The demo catalogue: the three servers Ravonyx.exe talks to, on 127.0.0.1.

  web site      port 18080, root web/       home page, "help.html", "/api.php"
  content site  port 18081, root content/   the catalogue's pages
  download      port 18082, root download/  packages

Each is a tools/testserver server (request log, control API, routes), with
two additions from this folder:
  - routes/<site>.json, when present, is installed at start-up (fixed
    replies, as the test server's --routes);
  - hooks.py answers dynamically: a folder's index.html, and "/api.php"
    operations by their "op" parameter (add them there).

Usage: serve.py [--web-port N] [--content-port N] [--download-port N]
                [--ready-file FILE] [--verbose] [--build-root DIR] [--version NAME]

--build-root DIR serves DIR/<site>/ files before the site's own (the
update packages and version files of make_demo_update.py); --version NAME
answers the content site's "version/RODiruder.html" with the version file
NAME (see README.md).
Port 0 picks a free port. Once all three listen it prints one line
"READY web=<port> content=<port> download=<port>" (also written to the ready
file). SIGTERM, SIGINT or SIGHUP stops it.
"""
import argparse
import os
import signal
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "testserver"))
sys.path.insert(0, HERE)

import hooks  # noqa: E402
import make_packages  # noqa: E402
import testserver  # noqa: E402

SITES = [("web", 18080), ("content", 18081), ("download", 18082)]


def start_sites(ports, verbose=False, build_root=None, version=None):
    """Starts the three servers; returns {site: TestServer}. build_root and
    version: see hooks.responder."""
    servers = {}
    try:
        for site, _ in SITES:
            routes_file = os.path.join(HERE, "routes", site + ".json")
            routes = testserver.load_routes_file(routes_file) if os.path.exists(routes_file) else None
            root = os.path.join(HERE, site)
            server = testserver.TestServer(root, port=ports[site], routes=routes, verbose=verbose,
                                           responder=hooks.responder(site, root, build_root, version))
            server.start()
            servers[site] = server
    except BaseException:
        for server in servers.values():
            server.stop()
        raise
    return servers


def main(argv=None):
    ap = argparse.ArgumentParser(description="The demo catalogue's three servers on 127.0.0.1.")
    for site, port in SITES:
        ap.add_argument("--%s-port" % site, type=int, default=port, help="default %d; 0 = a free port" % port)
    ap.add_argument("--ready-file", help="write the READY line to this file as well")
    ap.add_argument("--verbose", action="store_true", help="print each request line to stderr")
    ap.add_argument("--build-root", help="serve <site>/ files of this folder first (make_demo_update.py's output)")
    ap.add_argument("--version", help="the version file to give: update, current, upper-case-md5 (from the build "
                                      "root), fail, too-few-fields, wrong-names (content/version/cases/)")
    args = ap.parse_args(argv)

    ports = {site: getattr(args, site + "_port") for site, _ in SITES}
    # The stop signals are taken by sigwait below, never by a handler that
    # could run in the middle of a lock the main thread holds. Blocked before
    # the server threads start, so that they inherit the mask.
    stop_signals = {signal.SIGTERM, signal.SIGINT, signal.SIGHUP}
    signal.pthread_sigmask(signal.SIG_BLOCK, stop_signals)
    try:
        make_packages.ensure()
    except (OSError, subprocess.CalledProcessError) as e:
        print("democatalog: cannot make the packages: %s" % e, file=sys.stderr)
        return 2
    try:
        servers = start_sites(ports, args.verbose, args.build_root, args.version)
    except (OSError, ValueError) as e:
        print("democatalog: %s" % e, file=sys.stderr)
        return 2

    line = "READY " + " ".join("%s=%d" % (site, servers[site].port) for site, _ in SITES)
    if args.ready_file:
        tmp = args.ready_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(line + "\n")
        os.replace(tmp, args.ready_file)
    print(line, flush=True)
    signal.sigwait(stop_signals)
    for server in servers.values():
        server.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
