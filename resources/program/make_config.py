#!/usr/bin/env python3
"""Writes the default "Config\\common.ini" of the program folder: every key
of the settings table at its default value, with key names and values
scrambled as the program's settings codec does (app/common/ConfigCodec.cpp),
section names plain.

Usage: make_config.py OUTPUT_FILE
"""
import sys

ALPHABET = "987654321.-+zyxwvutsrqponmlkjihgfedcbaQWERTYUIOPASDFGHJKLZXCVBNM"
PAD = "0"
CODE_PAGE = "gbk"  # the users' ANSI code page, 936

# Section, key, default; in the order the installer's file lists them.
DEFAULTS = [
    ("DownLoad", "Path", "d:\\"),
    ("DownLoad", "Task", "2"),
    ("DownLoad", "Thread", "3"),
    ("DownLoad", "AutoDown", "0"),
    ("Common", "AutoStart", "1"),
    ("Common", "AlertDown", "0"),
    ("Common", "Subscription", "1"),
    ("Common", "ReceiveAd", "1"),
    ("Common", "UseHotKey", "0"),
    ("Common", "HotKey", "0"),
    ("Common", "HotKey_V", "0"),
    ("Common", "MinOrClose", "1"),
    ("Common", "InstallDate", "0"),
    ("Common", "acttime", "0"),
    ("Common", "actnum", "0"),
    ("Update", "AutoUpdate", "0"),
    ("ProXYSet", "Width", "0"),
    ("ProXYSet", "Height", "0"),
]


def encode(text):
    data = text.encode(CODE_PAGE)
    out = []
    for i in range(0, len(data), 3):
        group = data[i:i + 3]
        value = int.from_bytes(group + b"\0" * (3 - len(group)), "big")
        symbols = [ALPHABET[(value >> shift) & 0x3F] for shift in (18, 12, 6, 0)]
        if len(group) < 3:
            symbols[3] = PAD
        if len(group) < 2:
            symbols[2] = PAD
        out.extend(symbols)
    return "".join(out)


def main(path):
    lines = []
    section = None
    for name, key, value in DEFAULTS:
        if name != section:
            if section is not None:
                lines.append("")
            lines.append("[%s]" % name)
            section = name
        lines.append("%s=%s" % (encode(key), encode(value)))
    with open(path, "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
