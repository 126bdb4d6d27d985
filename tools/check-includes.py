#!/usr/bin/env python3
"""Fails when a source includes a project header against the layering.

Each folder lists the folders (or single headers) it may include besides its
own; tests/, fuzz/ and tools/ may include anything. Run from anywhere:
  python3 tools/check-includes.py [root]
"""
import os
import re
import subprocess
import sys

ALLOWED = {
    "base": [],
    "json": [],
    "ui": [],
    "net": ["json/", "base/"],
    "api": ["net/", "json/", "ui/", "resources/", "base/"],
    "settings": ["net/text.h", "net/text_conv.h", "ui/", "resources/", "base/"],
    "app": ["base/", "api/", "net/", "settings/", "ui/", "json/", "resources/"],
    "resources": [],
    "platform": [],
    "emulator": ["json/"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def violations(root):
    files = subprocess.check_output(["git", "-C", root, "ls-files", "*.cpp", "*.h", "*.rc"], text=True).split()
    for path in files:
        folder = path.split("/")[0]
        if folder not in ALLOWED or not os.path.exists(os.path.join(root, path)):
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            text = source.read()
        for included in INCLUDE.findall(text):
            if "/" not in included or included.startswith(folder + "/"):
                continue  # a header of the same folder
            if included.split("/")[0] not in ALLOWED and included.split("/")[0] not in ("tests", "fuzz"):
                continue  # a system or third-party header with a path
            if any(included == rule or (rule.endswith("/") and included.startswith(rule))
                   for rule in ALLOWED[folder]):
                continue
            yield path, included


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    found = list(violations(root))
    for path, included in found:
        print(f"{path}: includes {included}, against the layering (tools/check-includes.py)")
    if found:
        sys.exit(1)
    print("includes: every folder keeps to its layer")


if __name__ == "__main__":
    main()
