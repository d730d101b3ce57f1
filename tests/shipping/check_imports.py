#!/usr/bin/env python3
"""Checks the import tables of the built programs and DLLs.

    check_imports.py SHIPPING_BIN [OTHER_BIN...]

Every .exe and .dll in SHIPPING_BIN (the i686 build, what ships) may import
only functions listed in xp_sp3_imports.txt beside this script: the
functions of Windows XP SP3's own DLLs, each checked against its documented
minimum version. An import outside the list (a newer function, or a DLL XP
does not have) fails with its DLL and name: the program would not start on
XP. A function that only later Windows versions have must be looked up at
run time (GetProcAddress) instead.

No file in any of the folders may import a MinGW runtime DLL, and each
folder must hold the shipped programs named in SHIPPED with their subsystem.
"""
import pathlib
import re
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
ALLOWED_LIST = HERE / "xp_sp3_imports.txt"
MINGW_RUNTIME = re.compile(r"^(libgcc_s|libstdc\+\+|libwinpthread)", re.IGNORECASE)

# Shipped programs that every folder checked must hold, with the subsystem
# each is built for.
SHIPPED = {
    "Uplark.exe": "Windows GUI",
}


def objdump(path):
    return subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)],
                          capture_output=True, text=True, check=True).stdout


def subsystem_of(path):
    found = re.search(r"^Subsystem\s+\S+\s+\((.*)\)", objdump(path), re.MULTILINE)
    return found.group(1) if found else ""


def parse_imports(text):
    """{DLL name: [function names]} from objdump -p; a function imported by
    ordinal is named "@N"."""
    imports = {}
    current = None
    for line in text.splitlines():
        named = re.match(r"^\s+DLL Name: (\S+)", line)
        if named:
            current = imports.setdefault(named.group(1), [])
            continue
        if current is None:
            continue
        if not line.strip():
            current = None
            continue
        by_name = re.match(r"^\s+[0-9a-fA-F]+\s+[0-9]+\s+(\S+)", line)
        by_ordinal = re.match(r"^\s+[0-9a-fA-F]+\s+<none>\s+([0-9a-fA-F]+)", line) or \
            re.match(r"^\s+[0-9a-fA-F]+\s+([0-9]+)\s*$", line)
        if by_name and not line.strip().startswith("vma"):
            current.append(by_name.group(1))
        elif by_ordinal:
            current.append("@" + by_ordinal.group(1))
    return imports


def imports_of(path):
    return parse_imports(objdump(path))


def load_allowed(path=ALLOWED_LIST):
    """{lower-case DLL name: set of function names} from the list file:
    "[DLL]" lines open a DLL's section, every other line is a function;
    "#" starts a comment."""
    allowed = {}
    section = None
    for raw in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        if line.startswith("[") and line.endswith("]"):
            section = allowed.setdefault(line[1:-1].lower(), set())
        elif section is not None:
            section.add(line)
    return allowed


def runtime_problems(imports):
    return ["imports the MinGW runtime %s" % dll for dll in imports if MINGW_RUNTIME.match(dll)]


def xp_problems(imports, allowed, own=()):
    """The imports outside the XP list, as "DLL!function"; the DLLs named in
    own are shipped files themselves, checked on their own."""
    wrong = []
    for dll, functions in imports.items():
        if dll.lower() in own:
            continue
        known = allowed.get(dll.lower())
        if known is None:
            wrong += ["%s (a DLL not on the XP list)" % dll]
            continue
        wrong += ["%s!%s" % (dll, f) for f in functions if f not in known]
    return wrong


def binaries_in(folder):
    d = pathlib.Path(folder)
    return sorted(p for p in d.iterdir() if p.suffix.lower() in (".exe", ".dll")) if d.is_dir() else []


def main(folders):
    if not folders or not all(folders):
        print("usage: check_imports.py SHIPPING_BIN [OTHER_BIN...] (a build folder was not named)")
        return 1
    allowed = load_allowed()
    bad = checked = 0
    for index, folder in enumerate(folders):
        found = binaries_in(folder)
        if not found:
            print(f"no programs or DLLs in {folder}")
            return 1
        for name, subsystem in SHIPPED.items():
            path = pathlib.Path(folder) / name
            if not path.is_file():
                print(f"{path}: missing")
                bad += 1
            elif subsystem_of(path) != subsystem:
                print(f"{path}: subsystem {subsystem_of(path)!r}, not {subsystem!r}")
                bad += 1
        own = {p.name.lower() for p in found}
        for b in found:
            checked += 1
            imports = imports_of(b)
            wrong = runtime_problems(imports)
            if index == 0:
                wrong += ["imports %s, which Windows XP SP3 does not have" % w
                          for w in xp_problems(imports, allowed, own)]
            for problem in wrong:
                print(f"{b}: {problem}")
            bad += 1 if wrong else 0
    print(f"{checked - bad} passed, {bad} failed")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
