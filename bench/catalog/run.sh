#!/usr/bin/env bash
# Local item list benchmark: adding an entry, a finished message's status
# change and the start-up pass on lists of 100, 1,000 and 10,000 entries,
# under wine64. Not a test.
#   bench/catalog/run.sh
# RAVONYX_BUILD_DIR chooses the build folder (default: build/).
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
build=${RAVONYX_BUILD_DIR:-$top/build}
cd "$top"

scripts/setup
cmake --preset x86_64 -B "$build/x86_64" >/dev/null
cmake --build "$build/x86_64" --target catalog_bench >/dev/null
scripts/wine-session "$build/wineprefix" /usr/lib/wine/wine64 "$build/x86_64/bin/catalog_bench.exe"
