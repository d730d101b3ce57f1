#!/usr/bin/env python3
"""Writes the default "Config\\common.ini" of the program folder: every key
of the settings table at its default value, with key names and values
scrambled as the program's settings codec does (app/common/ConfigCodec.cpp),
section names plain.

Usage: make_config.py OUTPUT_FILE [SECTION KEY VALUE]...
Each SECTION KEY VALUE triple replaces a default (or adds a key), for tools
that need a program folder with other settings (the start-up benchmark).
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


def main(path, overrides=()):
    settings = list(DEFAULTS)
    for name, key, value in overrides:
        same = [i for i, s in enumerate(settings) if (s[0], s[1]) == (name, key)]
        if same:
            settings[same[0]] = (name, key, value)
        else:
            at = max((i + 1 for i, s in enumerate(settings) if s[0] == name), default=len(settings))
            settings.insert(at, (name, key, value))
    lines = []
    section = None
    for name, key, value in settings:
        if name != section:
            if section is not None:
                lines.append("")
            lines.append("[%s]" % name)
            section = name
        lines.append("%s=%s" % (encode(key), encode(value)))
    with open(path, "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if len(sys.argv) < 2 or (len(sys.argv) - 2) % 3:
        sys.exit("usage: make_config.py OUTPUT_FILE [SECTION KEY VALUE]...")
    rest = sys.argv[2:]
    main(sys.argv[1], [tuple(rest[i:i + 3]) for i in range(0, len(rest), 3)])
