#!/usr/bin/env python3
"""Makes the demo catalogue's update package for the updater, Uplark.exe.

    make_update_package.py [OUT] [--bin DIR] [--program FILE] [--library FILE]
                           [--version TEXT]

Writes OUT/update/Tessaly.zip and OUT/update/Tessaly.zip.md5 (the package's
MD5 as 32 lower-case hexadecimal digits and a line break, the value the
version file lists as main_md5). OUT defaults to the build folder
($RAVONYX_BUILD_DIR, else build/ of the source tree); serve OUT as the
download server's root and the updater finds "update/Tessaly.zip" there.

The package stands for a second build of ours with another ProductVersion:

  Ravonyx.exe     --program, else Ravonyx.exe of --bin, else the test
                  build's stand-in program (updater_running_program.exe)
  Dunmere.dll     --library, else Dunmere.dll of --bin
  Skins/demo.xml  a file in a sub-folder
  .meta/build.txt a folder whose name begins with "." (the updater leaves it)
  readme.txt      the file that is read-only in the demo program folder

With --version the ProductVersion text in the program's version resource
(and the fixed product version numbers, when the text is four numbers) is
replaced by TEXT, which must have as many characters as the one it replaces.
--bin defaults to the x86_64 build's bin folder.
"""
import argparse
import hashlib
import os
import struct
import sys
import zipfile

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FIXED_SIGNATURE = 0xFEEF04BD


def default_build():
    return os.environ.get("RAVONYX_BUILD_DIR") or os.path.join(TOP, "build")


def stamp_product_version(data, version):
    """The file's bytes with its ProductVersion text (and, for four numbers,
    the fixed product version) replaced; raises ValueError when it has none
    or the new text is longer or shorter than the old."""
    # Inside the version resource: the program's code may hold the same
    # words when it reads its own version.
    resource = data.find("VS_VERSION_INFO\0".encode("utf-16-le"))
    key = "ProductVersion\0".encode("utf-16-le")
    at = data.find(key, resource) if resource >= 0 else -1
    if at < 0:
        raise ValueError("the program has no ProductVersion in its version resource")
    # The value follows the key, aligned to 4 bytes from the String block's
    # start, which is itself 4-aligned: 6 bytes of header precede the key.
    start = at + len(key)
    start += (-(start - (at - 6))) % 4
    end = data.find(b"\0\0", start)
    while end >= 0 and (end - start) % 2:
        end = data.find(b"\0\0", end + 1)
    old = data[start:end].decode("utf-16-le")
    if len(old) != len(version):
        raise ValueError("the new version %r must have %d characters like %r" % (version, len(old), old))
    data = data[:start] + version.encode("utf-16-le") + data[end:]
    parts = version.split(".")
    fixed = data.find(struct.pack("<I", FIXED_SIGNATURE), resource)
    if fixed >= 0 and len(parts) == 4 and all(p.isdigit() for p in parts):
        n = [int(p) for p in parts]
        product = struct.pack("<II", (n[0] << 16) | n[1], (n[2] << 16) | n[3])
        # Signature, struct version, file version (8 bytes), product version.
        data = data[:fixed + 16] + product + data[fixed + 24:]
    return data, old


def package_entries(program, library):
    return [
        ("Ravonyx.exe", program),
        ("Dunmere.dll", library),
        ("Skins/demo.xml", b'<?xml version="1.0" encoding="utf-8"?>\n<skin name="demo" />\n'),
        (".meta/build.txt", b"made by make_update_package.py\n"),
        ("readme.txt", "拉沃工坊 demo update\r\n".encode("utf-8")),
    ]


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("out", nargs="?", default=default_build(), help="download root to write update/ into")
    ap.add_argument("--bin", default=None, help="the build's bin folder (default: the x86_64 build's)")
    ap.add_argument("--program", help="the file to ship as Ravonyx.exe")
    ap.add_argument("--library", help="the file to ship as Dunmere.dll")
    ap.add_argument("--version", help="the ProductVersion to give the program")
    args = ap.parse_args(argv)

    bin_dir = args.bin or os.path.join(default_build(), "x86_64", "bin")
    program = args.program
    if not program:
        for name in ("Ravonyx.exe", "updater_running_program.exe"):
            if os.path.isfile(os.path.join(bin_dir, name)):
                program = os.path.join(bin_dir, name)
                break
    library = args.library or os.path.join(bin_dir, "Dunmere.dll")
    for what, path in (("program", program), ("library", library)):
        if not path or not os.path.isfile(path):
            print("make_update_package: no %s file (%s); build first or name one" % (what, path or bin_dir),
                  file=sys.stderr)
            return 2

    with open(program, "rb") as f:
        program_bytes = f.read()
    with open(library, "rb") as f:
        library_bytes = f.read()
    if args.version:
        try:
            program_bytes, old = stamp_product_version(program_bytes, args.version)
        except ValueError as e:
            print("make_update_package: %s: %s" % (program, e), file=sys.stderr)
            return 2
        print("Ravonyx.exe: ProductVersion %s -> %s" % (old, args.version))

    folder = os.path.join(args.out, "update")
    os.makedirs(folder, exist_ok=True)
    package = os.path.join(folder, "Tessaly.zip")
    temporary = package + ".part"
    with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in package_entries(program_bytes, library_bytes):
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data)
    os.replace(temporary, package)
    with open(package, "rb") as f:
        digest = hashlib.md5(f.read()).hexdigest()
    with open(package + ".md5", "w", newline="\n") as f:
        f.write(digest + "\n")
    print("%s %s" % (digest, package))
    return 0


if __name__ == "__main__":
    sys.exit(main())
