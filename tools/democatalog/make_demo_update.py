#!/usr/bin/env python3
"""Makes the demo catalogue's update: a newer main program and a newer
updater, as the servers offer them to the program's update check.

    make_demo_update.py OUT --bin DIR --program-version V --updater-version U

DIR holds the build's Ravonyx.exe, Dunmere.dll and Uplark.exe, whose
ProductVersions are V and U. It writes, for serve.py --build-root OUT:

  OUT/download/update/Tessaly.zip (+ .md5)  the main package (make_update_package.py)
                                             with Ravonyx.exe stamped with another version
  OUT/download/update/Uplark.zip (+ .md5)   Uplark.exe stamped with another version,
                                             at the root of the archive
  OUT/content/version/update.html           a version file listing both newer versions
  OUT/content/version/current.html          one listing the build's own versions
  OUT/content/version/upper-case-md5.html   the newer versions with both MD5s in upper case
  OUT/demo-update.json                      the versions and the MD5s of the new files

Version files end without a line break, as the server's do.
"""
import argparse
import hashlib
import json
import os
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import make_update_package  # noqa: E402


def other_version(version):
    """The version with its last number one higher, or one lower when that
    would change the text's length (the stamp keeps the length)."""
    parts = version.split(".")
    last = int(parts[-1])
    for candidate in (last + 1, last - 1):
        if candidate >= 0 and len(str(candidate)) == len(parts[-1]):
            return ".".join(parts[:-1] + [str(candidate)])
    raise ValueError("no other version of the same length for %s" % version)


def md5_of(path):
    with open(path, "rb") as f:
        return hashlib.md5(f.read()).hexdigest()


def version_file(main_version, dll_version, main_md5, dll_md5):
    return "success | main_version=%s | dll_version=%s | main_md5=%s | dll_md5=%s" % (
        main_version, dll_version, main_md5, dll_md5)


def write_text(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def make_updater_package(updater, version, folder):
    """Uplark.zip with Uplark.exe stamped with version; (zip MD5, exe MD5)."""
    with open(updater, "rb") as f:
        data, _ = make_update_package.stamp_product_version(f.read(), version)
    package = os.path.join(folder, "Uplark.zip")
    temporary = package + ".part"
    with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED) as z:
        info = zipfile.ZipInfo("Uplark.exe", date_time=(2026, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        z.writestr(info, data)
    os.replace(temporary, package)
    digest = md5_of(package)
    write_text(package + ".md5", digest + "\n")
    return digest, hashlib.md5(data).hexdigest()


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("out")
    ap.add_argument("--bin", required=True, help="the build's folder of Ravonyx.exe, Dunmere.dll, Uplark.exe")
    ap.add_argument("--program-version", required=True)
    ap.add_argument("--updater-version", required=True)
    args = ap.parse_args(argv)

    new_program = other_version(args.program_version)
    new_updater = other_version(args.updater_version)
    download = os.path.join(args.out, "download")
    update = os.path.join(download, "update")
    os.makedirs(update, exist_ok=True)

    rc = make_update_package.main([download, "--bin", args.bin, "--program", os.path.join(args.bin, "Ravonyx.exe"),
                                   "--version", new_program])
    if rc != 0:
        return rc
    main_md5 = md5_of(os.path.join(update, "Tessaly.zip"))
    with zipfile.ZipFile(os.path.join(update, "Tessaly.zip")) as z:
        program_md5 = hashlib.md5(z.read("Ravonyx.exe")).hexdigest()
    dll_md5, updater_md5 = make_updater_package(os.path.join(args.bin, "Uplark.exe"), new_updater, update)

    versions = os.path.join(args.out, "content", "version")
    write_text(os.path.join(versions, "update.html"), version_file(new_program, new_updater, main_md5, dll_md5))
    write_text(os.path.join(versions, "current.html"),
               version_file(args.program_version, args.updater_version, main_md5, dll_md5))
    write_text(os.path.join(versions, "upper-case-md5.html"),
               version_file(new_program, new_updater, main_md5.upper(), dll_md5.upper()))
    write_text(os.path.join(args.out, "demo-update.json"), json.dumps({
        "program_version": new_program, "program_md5": program_md5, "main_md5": main_md5,
        "updater_version": new_updater, "updater_md5": updater_md5, "dll_md5": dll_md5,
    }, indent=1) + "\n")
    print("Uplark.zip: Uplark.exe %s -> %s, %s" % (args.updater_version, new_updater, dll_md5))
    return 0


if __name__ == "__main__":
    sys.exit(main())
