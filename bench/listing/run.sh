#!/usr/bin/env bash
# Paging benchmark: Ex_GetPageCount and Ex_LoadDLFile through the script
# object on theme lists of 1,000 and 10,000 entries, under wine64. Not a
# test.
#   bench/listing/run.sh
# RAVONYX_BUILD_DIR chooses the build folder (default: build/).
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
build=${RAVONYX_BUILD_DIR:-$top/build}
cd "$top"

scripts/setup
cmake --preset x86_64 -B "$build/x86_64" >/dev/null
cmake --build "$build/x86_64" --target listing_bench >/dev/null
scripts/wine-session "$build/wineprefix" /usr/lib/wine/wine64 "$build/x86_64/bin/listing_bench.exe"
