#!/usr/bin/env python3
"""Prints the local item lists of a program folder's Data folder, or, with
--check, tells by its exit code whether the given ids are all finished
(status 2) in them.

  show-lists.py DATA_FOLDER
  show-lists.py --check DATA_FOLDER ID...
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

LISTS = (("themes", "MyThemes.xml"), ("wallpapers", "MyImages.xml"))


def entries(folder):
    for label, name in LISTS:
        path = os.path.join(folder, name)
        try:
            root = ET.parse(path).getroot()
        except (OSError, ET.ParseError):
            continue
        for item in root.iter("item"):
            jsons = item.findtext("jsons") or ""
            status = re.search(r'"status":(.)', jsons)
            yield label, item.get("id"), item.get("name"), status.group(1) if status else "", jsons, \
                item.findtext("file") or ""


def main(argv):
    if argv and argv[0] == "--check":
        statuses = {item_id: status for _, item_id, _, status, _, _ in entries(argv[1])}
        return 0 if all(statuses.get(item_id) == "2" for item_id in argv[2:]) else 1
    for label, item_id, name, status, jsons, file in entries(argv[0]):
        print("%-10s id=%s name=%s status=%s file=%s\n           jsons=%s" % (label, item_id, name, status, file, jsons))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
