#!/usr/bin/env python3
"""The layering check refuses an include that points up, and passes one that
points down: each case is a scratch repository of one file."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "check-includes.py")
CASES = [
    # path, included header, whether the check must pass
    ("net/session.cpp", "app/main_window.h", False),
    ("api/friend_list.cpp", "settings/settings_file.h", False),
    ("settings/settings_parse.cpp", "api/friend_model.h", False),
    ("base/shell.h", "net/session.h", False),
    ("ui/scale.cpp", "app/shell.h", False),
    ("net/session.cpp", "base/shell.h", True),
    ("api/friend_list.cpp", "net/session.h", True),
    ("app/main_window.cpp", "api/friend_list.h", True),
]


def run(path, included):
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, os.path.dirname(path)))
        with open(os.path.join(root, path), "w") as source:
            source.write(f'#include "{included}"\n')
        subprocess.run(["git", "init", "-q", root], check=True)
        subprocess.run(["git", "-C", root, "add", "."], check=True)
        return subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)


failures = 0
for path, included, passes in CASES:
    result = run(path, included)
    if (result.returncode == 0) != passes or (not passes and included not in result.stdout):
        print(f"{path} including {included}: exit {result.returncode}, expected {'pass' if passes else 'fail'}")
        print(result.stdout, end="")
        failures += 1
print(f"{len(CASES) - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
