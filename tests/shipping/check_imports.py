#!/usr/bin/env python3
"""Fails when a program or DLL in the given folders imports a MinGW runtime
DLL, or a DLL or function that Windows XP does not have."""
import pathlib
import re
import subprocess
import sys

FORBIDDEN = re.compile(r"^(libgcc_s|libstdc\+\+|libwinpthread)", re.IGNORECASE)
# DLLs that XP lacks, and functions of XP's own DLLs that came later (Vista
# and up): such a function must be looked up at run time instead.
NOT_ON_XP_DLLS = re.compile(r"^(api-ms-win-|ucrtbase|vcruntime|dwmapi|bcrypt|propsys)", re.IGNORECASE)
NOT_ON_XP_FUNCTIONS = {
    "GetTickCount64", "InitializeConditionVariable", "SleepConditionVariableCS",
    "SleepConditionVariableSRW", "WakeConditionVariable", "WakeAllConditionVariable",
    "InitializeSRWLock", "AcquireSRWLockExclusive", "AcquireSRWLockShared",
    "ReleaseSRWLockExclusive", "ReleaseSRWLockShared", "TryAcquireSRWLockExclusive",
    "InitOnceExecuteOnce", "InitOnceBeginInitialize", "InitOnceComplete",
    "FlsAlloc", "FlsFree", "FlsGetValue", "FlsSetValue", "InitializeCriticalSectionEx",
    "CreateEventExW", "CreateMutexExW", "CreateSemaphoreExW", "GetFileInformationByHandleEx",
    "SetFileInformationByHandle", "GetFinalPathNameByHandleW", "CreateSymbolicLinkW",
    "QueryFullProcessImageNameW", "GetLocaleInfoEx", "LCMapStringEx", "CompareStringEx",
    "GetUserDefaultLocaleName", "CancelIoEx", "GetErrorMode", "SetThreadErrorMode",
    "RegGetValueW", "RegDeleteTreeW", "ChangeWindowMessageFilter", "ChangeWindowMessageFilterEx",
    "SetProcessDPIAware", "TaskDialog", "TaskDialogIndirect", "SHCreateItemFromParsingName",
    "SHGetKnownFolderPath",
}

# Shipped programs that every folder checked must hold, with the subsystem
# each is built for.
SHIPPED = {
    "Uplark.exe": "Windows GUI",
}


def subsystem_of(path):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)],
                         capture_output=True, text=True, check=True).stdout
    found = re.search(r"^Subsystem\s+\S+\s+\((.*)\)", out, re.MULTILINE)
    return found.group(1) if found else ""


def imports_of(path):
    """The imported DLL names and the function names imported from them."""
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)],
                         capture_output=True, text=True, check=True).stdout
    dlls = re.findall(r"DLL Name: (\S+)", out)
    functions = re.findall(r"^\s+[0-9a-f]+\s+[0-9]+\s+(\w+)$", out, re.MULTILINE)
    return dlls, functions


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
    for folder in folders:
        for name, subsystem in SHIPPED.items():
            path = pathlib.Path(folder) / name
            if not path.is_file():
                print(f"{path}: missing")
                bad += 1
            elif subsystem_of(path) != subsystem:
                print(f"{path}: subsystem {subsystem_of(path)!r}, not {subsystem!r}")
                bad += 1
    for b in binaries:
        dlls, functions = imports_of(b)
        wrong = [name for name in dlls if FORBIDDEN.match(name) or NOT_ON_XP_DLLS.match(name)]
        wrong += [name for name in functions if name in NOT_ON_XP_FUNCTIONS]
        if wrong:
            print(f"{b}: imports {', '.join(wrong)}")
            bad += 1
    print(f"{len(binaries) - bad} passed, {bad} failed")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
