#!/usr/bin/env python3
"""Fails when a program or DLL in the given folders imports a MinGW runtime DLL."""
import pathlib
import re
import subprocess
import sys

FORBIDDEN = re.compile(r"^(libgcc_s|libstdc\+\+|libwinpthread)", re.IGNORECASE)


def imports_of(path):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)],
                         capture_output=True, text=True, check=True).stdout
    return re.findall(r"DLL Name: (\S+)", out)


def main(folders):
    binaries = []
    for folder in folders:
        d = pathlib.Path(folder)
        if not folder:
            print("a build folder was not named")
            return 1
        found = sorted(p for p in d.iterdir() if p.suffix.lower() in (".exe", ".dll")) if d.is_dir() else []
        if not found:
            print(f"no programs or DLLs in {d}")
            return 1
        binaries += found
    bad = 0
    for b in binaries:
        wrong = [name for name in imports_of(b) if FORBIDDEN.match(name)]
        if wrong:
            print(f"{b}: imports {', '.join(wrong)}")
            bad += 1
    print(f"{len(binaries) - bad} passed, {bad} failed")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
