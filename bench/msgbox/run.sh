#!/usr/bin/env bash
# Message box layout benchmark: the time from Show until the box's loop
# runs, for texts of 1,000 to 100,000 characters of several shapes, under
# wine64 and Xvfb. Not a test.
#   bench/msgbox/run.sh
# RAVONYX_BUILD_DIR chooses the build folder (default: build/).
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
build=${RAVONYX_BUILD_DIR:-$top/build}
cd "$top"

scripts/setup
cmake --preset x86_64 -B "$build/x86_64" >/dev/null
cmake --build "$build/x86_64" --target msgbox_bench >/dev/null
scripts/wine-session "$build/wineprefix" /usr/lib/wine/wine64 "$build/x86_64/bin/msgbox_bench.exe"
