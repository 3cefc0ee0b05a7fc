#!/usr/bin/env python3
r"""What a Wine prefix holds, as sorted lines, and the difference of two such
snapshots. Files and folders of the given drive folders; registry keys and
values from the prefix's system.reg (HKLM) and user.reg (HKCU), without the
time stamps Wine keeps and without the device database (see DEVICES). Run it
with the prefix's wineserver stopped.
   prefix-snapshot.py take [--wow64] PREFIX OUT [DRIVE_DIR ...]
   prefix-snapshot.py diff BEFORE AFTER
--wow64: a 64-bit prefix whose programs under test are 32-bit. HKLM then has
two views: the keys of the 32-bit view (Software\Wow6432Node, and
Software\Classes\Wow6432Node for the classes) are written as the 32-bit
programs see them, under HKLM; the rest of Software, the 64-bit view (which
also holds the keys that both views share, such as the ProgIDs), under
HKLM64. So a 32-bit program's changes read the same as in a 32-bit prefix,
and a change it makes in the 64-bit view stands out."""
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


SEP = "\\\\"  # a key separator as the .reg files write it
VIEW32 = [("Software" + SEP + "Classes" + SEP + "Wow6432Node", "Software" + SEP + "Classes"),
          ("Software" + SEP + "Wow6432Node", "Software")]


def in_views(hive, key):
    """(hive label, key) with the HKLM views told apart (see --wow64)."""
    lower = key.lower()
    for stored, seen in VIEW32:
        s = stored.lower()
        if lower == s or lower.startswith(s + SEP):
            return hive, seen + key[len(stored):]
    if lower == "software" or lower.startswith("software" + SEP):
        return hive + "64", key
    return hive, key


# The device database: Wine's drivers enumerate the display and its bus anew
# whenever a program of a new session first opens the display (a new video ID,
# new arrival times), so two runs of the same thing differ there. No program
# of ours writes it.
DEVICES = re.compile(r"^system\\\\currentcontrolset\\\\(enum|control\\\\class)(\\\\|$)")


def registry(path, hive, views=False):
    out = []
    key = None
    label = hive
    with open(path, encoding="utf-8", errors="surrogateescape") as fh:
        for line in fh:
            line = line.rstrip("\n")
            m = re.match(r"^\[(.*)\](?: \d+)?$", line)
            if m:
                key = m.group(1)
                if hive == "HKLM" and DEVICES.match(key.lower()):
                    key = None
                    continue
                label, key = in_views(hive, key) if views else (hive, key)
                out.append(f"{label} [{key}]")
            elif key is not None and line and not line.startswith("#") and not line.startswith(";"):
                out.append(f"{label} [{key}] {line}")
    return out


def take(prefix, out, roots, views=False):
    lines = files(prefix, roots)
    lines += registry(os.path.join(prefix, "system.reg"), "HKLM", views)
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
        views = sys.argv[2] == "--wow64"
        args = sys.argv[3:] if views else sys.argv[2:]
        take(args[0], args[1], args[2:], views)
    else:
        diff(sys.argv[2], sys.argv[3])
