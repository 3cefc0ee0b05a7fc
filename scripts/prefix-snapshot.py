#!/usr/bin/env python3
"""What a Wine prefix holds, as sorted lines, and the difference of two such
snapshots. Files and folders of the given drive folders; registry keys and
values from the prefix's system.reg (HKLM) and user.reg (HKCU), without the
time stamps Wine keeps. Run it with the prefix's wineserver stopped.
   prefix-snapshot.py take PREFIX OUT [DRIVE_DIR ...]
   prefix-snapshot.py diff BEFORE AFTER"""
import os
import re
import sys


def files(prefix, roots):
    out = []
    for root in roots:
        base = os.path.join(prefix, root)
        for dirpath, dirnames, filenames in os.walk(base):
            rel = os.path.relpath(dirpath, prefix)
            if rel.startswith(os.path.join("drive_c", "windows")):
                continue  # the system's own folders
            out.append(f"dir  {rel}")
            out.extend(f"file {os.path.join(rel, f)}" for f in filenames)
    return out


def registry(path, hive):
    out = []
    key = None
    with open(path, encoding="utf-8", errors="surrogateescape") as fh:
        for line in fh:
            line = line.rstrip("\n")
            m = re.match(r"^\[(.*)\](?: \d+)?$", line)
            if m:
                key = m.group(1)
                out.append(f"{hive} [{key}]")
            elif key is not None and line and not line.startswith("#") and not line.startswith(";"):
                out.append(f"{hive} [{key}] {line}")
    return out


def take(prefix, out, roots):
    lines = files(prefix, roots)
    lines += registry(os.path.join(prefix, "system.reg"), "HKLM")
    lines += registry(os.path.join(prefix, "user.reg"), "HKCU")
    with open(out, "w", encoding="utf-8", errors="surrogateescape") as fh:
        fh.write("\n".join(sorted(set(lines))) + "\n")


def diff(before, after):
    read = lambda p: set(open(p, encoding="utf-8", errors="surrogateescape").read().splitlines())
    b, a = read(before), read(after)
    for line in sorted(a - b):
        print("+ " + line)
    for line in sorted(b - a):
        print("- " + line)


if __name__ == "__main__":
    if sys.argv[1] == "take":
        take(sys.argv[2], sys.argv[3], sys.argv[4:])
    else:
        diff(sys.argv[2], sys.argv[3])
