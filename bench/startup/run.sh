#!/usr/bin/env bash
# Start-up benchmark: the time from process start to the main window's first
# paint, Ravonyx.exe against a bare Win32 program with one window, under
# wine64, alternately in one run.
#   bench/startup/run.sh [RUNS]     (default 5)
# Ravonyx.exe runs from a copy of the x86_64 program folder whose download
# root is a temporary folder, in a Wine prefix of the benchmark's own
# (<build>/bench-wineprefix), without the demo catalogue (the browser areas
# show their waiting text either way). The copies of the programs and DLLs
# lose their debug sections first: the test build carries about 17 MB of them
# in Ravonyx.exe, which the shipped build does not, and Wine reads them in
# at every start. RAVONYX_BUILD_DIR chooses the build folder (default:
# build/). Not a test.
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
build=${RAVONYX_BUILD_DIR:-$top/build}
runs=${1:-5}
cd "$top"

scripts/setup
cmake --preset x86_64 -B "$build/x86_64" >/dev/null
cmake --build "$build/x86_64" --target program_folder startup_bench bare_window >/dev/null
build=$(cd "$build" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$build/x86_64/program" "$work/program"
cp "$build/x86_64/bin/bare_window.exe" "$work/bare_window.exe"
x86_64-w64-mingw32-strip --strip-debug "$work"/program/*.exe "$work"/program/*.dll "$work/bare_window.exe"
mkdir -p "$work/downloads"
wine_path() { local p=$1; echo "Z:${p//\//\\}"; }
python3 resources/program/make_config.py "$work/program/Config/common.ini" \
    DownLoad Path "$(wine_path "$work/downloads")\\"

scripts/wine-session "$build/bench-wineprefix" \
    /usr/lib/wine/wine64 "$build/x86_64/bin/startup_bench.exe" "$runs" \
    "$(wine_path "$work/program/Ravonyx.exe")" "拉沃工坊" "$(wine_path "$work/program")" \
    "$(wine_path "$work/bare_window.exe")" "Bare"
