#!/usr/bin/env python3
"""Download benchmark (run through run.sh, inside a wine session).

Serves a 64 MiB and a 256 MiB file from nginx on 127.0.0.1, once without a
limit and once with a per-connection rate limit, and downloads each with
Dunmere's DownLoadForSingle (three connections, under wine64), with
`aria2c -x3 -s3 -k1M` and with curl on one connection, `--runs` times each.
Every result's sha256 is checked. Prints the median MB/s (10^6 bytes) of
each; uncapped, Dunmere's ratio to each peer and the share of its download
time that the merge of the part files takes (timed by the driver on the
downloaded file cut into its parts), against the same merge done by Linux
outside Wine, and the rate up to which each stays within 10 % of the
download; capped, Dunmere's ratio to the limit
of three connections at the cap. Then a resume case: the Dunmere driver
is killed halfway through a capped download and run again; it prints how many
bytes the resumed run fetched against what was missing.
"""
import argparse
import hashlib
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

WINE = "/usr/lib/wine/wine64"
MIB = 1 << 20


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(MIB), b""):
            h.update(block)
    return h.hexdigest()


class Nginx:
    """nginx on a loopback port: /files/ uncapped, /capped/ with limit_rate."""

    def __init__(self, work, www, rate):
        self.work = work
        self.port = free_port()
        self.log = os.path.join(work, "access.log")
        conf = os.path.join(work, "nginx.conf")
        with open(conf, "w") as f:
            f.write("""
worker_processes 1;
daemon off;
pid %(w)s/nginx.pid;
error_log %(w)s/error.log;
events { worker_connections 512; }
http {
    log_format bench '$request_uri "$http_range" $status $body_bytes_sent';
    access_log %(log)s bench;
    client_body_temp_path %(w)s/body;
    proxy_temp_path %(w)s/proxy;
    fastcgi_temp_path %(w)s/fastcgi;
    uwsgi_temp_path %(w)s/uwsgi;
    scgi_temp_path %(w)s/scgi;
    sendfile on;
    server {
        listen 127.0.0.1:%(port)d;
        location /files/ { alias %(www)s/; }
        location /capped/ { alias %(www)s/; limit_rate %(rate)s; }
    }
}
""" % {"w": work, "log": self.log, "port": self.port, "www": www, "rate": rate})
        self.proc = subprocess.Popen(["nginx", "-c", conf, "-p", work], stderr=subprocess.DEVNULL)
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("nginx did not start")

    def url(self, area, name):
        return "http://127.0.0.1:%d/%s/%s" % (self.port, area, name)

    def log_size(self):
        return os.path.getsize(self.log) if os.path.exists(self.log) else 0

    def requests_since(self, offset):
        with open(self.log) as f:
            f.seek(offset)
            return sum(1 for _ in f)

    def ranges_since(self, offset):
        """The first byte asked for by each request logged after offset."""
        starts = []
        with open(self.log) as f:
            f.seek(offset)
            for line in f:
                rng = line.split()[1].strip('"')
                starts.append(int(rng[6:-1]) if rng.startswith("bytes=") else 0)
        return starts

    def bytes_sent_since(self, offset):
        """Body bytes nginx sent for the requests logged after offset, and
        the part of them sent to requests from byte 0 (in a resumed run only
        the length probe asks from there: part 0 resumes from its part file)."""
        total = from_start = 0
        with open(self.log) as f:
            f.seek(offset)
            for line in f:
                parts = line.split()
                sent = int(parts[-1])
                total += sent
                if parts[1] in ('"bytes=0-"', '"-"'):
                    from_start += sent
        return total, from_start

    def stop(self):
        os.kill(self.proc.pid, signal.SIGTERM)
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.kill(self.proc.pid, signal.SIGKILL)
            self.proc.wait()


def clear(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def run_dunmere(driver, url, out, fresh=True):
    if fresh:
        clear(out)
    p = subprocess.run([WINE, driver, url, wine_path(out) + "\\"], capture_output=True, text=True)
    words = p.stdout.split()
    if p.returncode != 0 or not words or words[0] != "ok":
        raise RuntimeError("dunmere failed for %s: %s %s" % (url, p.stdout, p.stderr))
    return float(words[1]) / 1000.0


def run_aria2(url, out):
    clear(out)
    start = time.monotonic()
    subprocess.run(["aria2c", "-x3", "-s3", "-k1M", "-q", "-d", out, "--allow-overwrite=true",
                    "--auto-file-renaming=false", url], check=True)
    return time.monotonic() - start


def run_curl(url, out):
    clear(out)
    start = time.monotonic()
    subprocess.run(["curl", "-sS", "-o", os.path.join(out, url.rsplit("/", 1)[1]), url], check=True)
    return time.monotonic() - start


def run_merge(driver, out, name):
    """Cuts the downloaded file into its three part files and times the
    library's merge of them; seconds."""
    p = subprocess.run([WINE, driver, "--merge", wine_path(os.path.join(out, name))],
                       capture_output=True, text=True)
    words = p.stdout.split()
    if p.returncode != 0 or not words or words[0] != "merged":
        raise RuntimeError("the merge failed for %s: %s %s" % (name, p.stdout, p.stderr))
    return float(words[1]) / 1000.0


def part_ranges(size):
    """The byte ranges of the three part files of a size-byte download."""
    part = size // 3
    return [(0, part), (part, 2 * part), (2 * part, size)]


def copy_bytes(source, fd, block, count):
    """Copies count bytes from the file object source to the descriptor fd
    through block."""
    view = memoryview(block)
    while count > 0:
        got = source.readinto(view[:min(count, len(block))])
        if not got:
            raise RuntimeError("a part file ended early")
        os.write(fd, view[:got])
        count -= got


def run_native_merge(out, name):
    """The floor for the merge: the same part files, merged the same way
    (the first renamed to the target, the other two copied after it, then
    deleted) by Linux itself, outside Wine; seconds."""
    target = os.path.join(out, name)
    ranges = part_ranges(os.path.getsize(target))
    part = ranges[0][1]
    paths = ["%s_%d" % (target, i) for i in range(3)]
    block = bytearray(256 * 1024)  # the library's block, the fastest here too
    with open(target, "rb") as whole:
        for path, (start, end) in zip(paths, ranges):
            whole.seek(start)
            fd = os.open(path, os.O_WRONLY | os.O_CREAT, 0o644)  # as the driver: created, not truncated
            try:
                copy_bytes(whole, fd, block, end - start)
            finally:
                os.close(fd)
    os.unlink(target)
    start = time.monotonic()
    os.rename(paths[0], target)
    fd = os.open(target, os.O_WRONLY)
    try:
        os.ftruncate(fd, part)
        os.lseek(fd, part, os.SEEK_SET)
        for path in paths[1:]:
            with open(path, "rb", buffering=0) as f:
                copy_bytes(f, fd, block, os.path.getsize(path))
    finally:
        os.close(fd)
    for path in paths[1:]:
        os.unlink(path)
    return time.monotonic() - start


def rate_bytes(rate):
    """nginx's limit_rate value in bytes per second ("4m" is 4 MiB/s)."""
    units = {"k": 1 << 10, "m": 1 << 20, "g": 1 << 30}
    unit = units.get(rate[-1].lower())
    return int(rate[:-1]) * unit if unit else int(rate)


def timed_runs(args, run, url, out, name, digest, after=None):
    """Seconds of each run, checking the file each time; after(), when
    given, is called after each check and its results are returned too."""
    seconds, extra = [], []
    for _ in range(args.runs):
        seconds.append(run(url))
        if sha256(os.path.join(out, name)) != digest:
            raise RuntimeError("a wrong file for %s" % url)
        if after:
            extra.append(after())
            if sha256(os.path.join(out, name)) != digest:
                raise RuntimeError("the merge gave a wrong file for %s" % url)
    return seconds, extra


def measure(args, nginx, files, out):
    tools = [("dunmere", lambda u: run_dunmere(args.driver, u, out)),
             ("aria2c", lambda u: run_aria2(u, out)),
             ("curl", lambda u: run_curl(u, out))]
    print("uncapped (MB/s; merge: the merge's share of Dunmere's download time; floor: the share of the")
    print("same merge done by Linux itself, outside Wine)")
    print("%-13s %9s %9s %9s %10s %8s %7s %7s" % ("file", "dunmere", "aria2c", "curl", "vs aria2c", "vs curl",
                                                  "merge", "floor"))
    merge_lines = []
    for name, size, digest in files:
        url = nginx.url("files", name)
        speed = {}
        for tool, run in tools:
            after = None
            if tool == "dunmere":
                after = lambda: (run_merge(args.driver, out, name), run_native_merge(out, name))
            seconds, merges = timed_runs(args, run, url, out, name, digest, after)
            speed[tool] = size / statistics.median(seconds) / 1e6
            if merges:
                download = statistics.median(seconds)
                merge = statistics.median(m for m, _ in merges)
                floor = statistics.median(f for _, f in merges)
        print("%-13s %9.1f %9.1f %9.1f %9.2fx %7.2fx %6.1f%% %6.1f%%" % (
            name, speed["dunmere"], speed["aria2c"], speed["curl"], speed["dunmere"] / speed["aria2c"],
            speed["dunmere"] / speed["curl"], 100 * merge / download, 100 * floor / download), flush=True)
        # The merge is at most 10 % of a download that takes at least ten
        # times as long: up to this rate.
        merge_lines.append("%-13s merge %5.1f ms, floor %5.1f ms (%.2fx); 10 %% of the download up to %.0f MB/s "
                           "(the floor: %.0f MB/s)" % (name, 1000 * merge, 1000 * floor, merge / floor,
                                                       size / (10 * merge) / 1e6, size / (10 * floor) / 1e6))
    print("\n".join(merge_lines), flush=True)

    if args.uncapped_only:
        return
    limit = 3 * rate_bytes(args.rate) / 1e6
    print("capped at %s per connection (MB/s; limit: what three connections can carry)" % args.rate)
    print("%-13s %9s %9s %9s %9s %9s" % ("file", "dunmere", "aria2c", "curl", "limit", "vs limit"))
    for name, size, digest in files:
        url = nginx.url("capped", name)
        speed = {}
        for tool, run in tools:
            seconds, _ = timed_runs(args, run, url, out, name, digest)
            speed[tool] = size / statistics.median(seconds) / 1e6
        print("%-13s %9.1f %9.1f %9.1f %9.1f %8.2fx" % (
            name, speed["dunmere"], speed["aria2c"], speed["curl"], limit, speed["dunmere"] / limit), flush=True)


def part_bytes(out, name, size):
    """Bytes the part files hold within their ranges."""
    present = 0
    for i, (start, end) in enumerate(part_ranges(size)):
        path = os.path.join(out, "%s_%d" % (name, i))
        if os.path.exists(path):
            present += min(os.path.getsize(path), end - start)
    return present


def resume_case(args, nginx, files, out):
    name, size, digest = files[0]
    url = nginx.url("capped", name)
    clear(out)
    killed_from = nginx.log_size()
    driver = subprocess.Popen([WINE, args.driver, url, wine_path(out) + "\\"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while part_bytes(out, name, size) < size // 2 and driver.poll() is None:
        time.sleep(0.05)
    driver.send_signal(signal.SIGKILL)
    driver.wait()
    # nginx logs a request when its connection ends: wait for the killed
    # run's probe and three parts, so that none of them counts for the next run.
    deadline = time.monotonic() + 30
    while nginx.requests_since(killed_from) < 4 and time.monotonic() < deadline:
        time.sleep(0.05)
    present = part_bytes(out, name, size)
    missing = size - present
    offset = nginx.log_size()
    seconds = run_dunmere(args.driver, url, out, fresh=False)
    if sha256(os.path.join(out, name)) != digest:
        raise RuntimeError("the resumed download is not the file")
    deadline = time.monotonic() + 30
    while nginx.requests_since(offset) < 4 and time.monotonic() < deadline:
        time.sleep(0.05)
    fetched, probe = nginx.bytes_sent_since(offset)
    # What the resumed run asked for: each part from its first missing byte
    # to the end of its range (the probe asks from 0 and reads only the header).
    ends = [end for _, end in part_ranges(size)]
    starts = sorted(nginx.ranges_since(offset))
    asked = 0
    for start in starts[1:]:
        asked += min(e for e in ends if e > start) - start
    print("resume: killed at %d of %d bytes, %d missing; the resumed run (%.1f s) asked for %d bytes "
          "(%.4fx the missing ones) in %d part requests; nginx wrote %d bytes to them, the excess being what it "
          "pushes past a range (the requests are open-ended) before the part closes, and %d to the length probe"
          % (present, size, missing, seconds, asked, asked / missing, len(starts) - 1, fetched - probe, probe))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--driver", required=True, help="dunmere_bench.exe of the x86_64 build")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--rate", default="4m", help="nginx limit_rate per connection (default 4m)")
    ap.add_argument("--sizes", default="64,256", help="file sizes in MiB (default 64,256)")
    ap.add_argument("--resume-only", action="store_true", help="only the resume case")
    ap.add_argument("--uncapped-only", action="store_true", help="only the uncapped downloads, no resume case")
    args = ap.parse_args()

    work = tempfile.mkdtemp(prefix="dunmere-bench-")
    os.chmod(work, 0o755)  # nginx's workers run as an unprivileged user
    www = os.path.join(work, "www")
    out = os.path.join(work, "out")
    os.makedirs(www)
    files = []
    for mib in (int(s) for s in args.sizes.split(",")):
        name = "file%dm.bin" % mib
        with open(os.path.join(www, name), "wb") as f:
            for _ in range(mib):
                f.write(os.urandom(MIB))
        files.append((name, mib * MIB, sha256(os.path.join(www, name))))
    nginx = Nginx(work, www, args.rate)
    try:
        print("%d runs each, median; Dunmere timed inside its driver, the others as processes" % args.runs)
        if not args.resume_only:
            measure(args, nginx, files, out)
        if not args.uncapped_only:
            resume_case(args, nginx, files, out)
    except Exception:
        with open(nginx.log) as f:
            print("the last requests nginx saw:\n" + "".join(f.readlines()[-8:]), file=sys.stderr)
        raise
    finally:
        nginx.stop()
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
