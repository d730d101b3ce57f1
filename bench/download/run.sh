#!/usr/bin/env bash
# Download benchmark: Dunmere.dll (DownLoadForSingle under wine64) against
# aria2c -x3 -s3 -k1M and curl, from a local nginx on 127.0.0.1.
#   bench/download/run.sh [bench.py options]     (bench.py --help)
# RAVONYX_BUILD_DIR chooses the build folder (default: build/). Not a test.
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
build=${RAVONYX_BUILD_DIR:-$top/build}
cd "$top"

sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"
missing=()
for p in nginx aria2 curl; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "bench: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

scripts/setup
cmake --preset x86_64 -B "$build/x86_64" >/dev/null
cmake --build "$build/x86_64" --target dunmere_bench >/dev/null

scripts/wine-session "$build/wineprefix" \
    python3 bench/download/bench.py --driver "$build/x86_64/bin/dunmere_bench.exe" "$@"
