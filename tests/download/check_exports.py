#!/usr/bin/env python3
"""Checks Dunmere.dll's export table on both builds.

    check_exports.py I686_DLL X86_64_DLL

Each DLL must export exactly the six C functions under their plain names and
CDownLoadFile's assignment operator. On i686 the six must be cdecl: their
code returns with a plain `ret` (the caller removes the arguments), never
with `ret $n` as a stdcall function would.
"""
import re
import subprocess
import sys

FUNCTIONS = ["ChangeDownFileNum", "DownLoadByTask", "DownLoadForSingle", "InitDll", "PauseDownload",
             "TakeDownloadRecord"]
OPERATOR = "_ZN13CDownLoadFileaSERKS_"
OPERATOR_DEMANGLED = "CDownLoadFile::operator=(CDownLoadFile const&)"


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, check=True).stdout


def export_names(objdump, dll):
    text = run(objdump, "-p", dll)
    table = text.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return []
    names = []
    for line in table[1].splitlines()[1:]:
        m = re.match(r"\s*\[\s*\d+\]\s+(\S+)\s*$", line)
        if not m:
            break
        names.append(m.group(1))
    return names


def returns_of(objdump, dll, symbol):
    """The ways out of a function in the DLL's disassembly: its returns and
    jumps (a tail call ends with a jump to the callee)."""
    text = run(objdump, "-d", "--no-show-raw-insn", dll)
    m = re.search(r"^[0-9a-f]+ <%s>:\n(.*?)(?=^[0-9a-f]+ <[^>]+>:)" % re.escape(symbol), text, re.S | re.M)
    if not m:
        return None
    return re.findall(r"\t(?:ret[lw]?\b|jmp\s)[^\n]*", m.group(1))


def main(i686_dll, x86_64_dll):
    failures = []
    checks = 0

    for arch, dll in (("i686", i686_dll), ("x86_64", x86_64_dll)):
        checks += 1
        names = export_names("%s-w64-mingw32-objdump" % arch, dll)
        if sorted(names) != sorted(FUNCTIONS + [OPERATOR]):
            failures.append("%s: exports %s" % (arch, names))
        demangled = run("%s-w64-mingw32-c++filt" % arch, "-n", OPERATOR).strip()
        if demangled != OPERATOR_DEMANGLED:
            failures.append("%s: %s is %s" % (arch, OPERATOR, demangled))

    for name in FUNCTIONS:
        checks += 1
        rets = returns_of("i686-w64-mingw32-objdump", i686_dll, "_" + name)
        if not rets:
            failures.append("i686: no code found for %s" % name)
        elif any("$" in r for r in rets):
            failures.append("i686: %s pops its own arguments: %s" % (name, rets))

    for f in failures:
        print("FAIL " + f)
    print("%d passed, %d failed" % (checks - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
