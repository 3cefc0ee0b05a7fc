#!/usr/bin/env python3
"""Fails when a program imports a DLL that is not one of Windows' known DLLs
on every release from Vista on (known-dlls.txt beside this script). The
system searches for any other DLL in the program's own folder first, so a
DLL of that name placed beside an elevated program would run inside it
before its first line.

   check-known-dlls.py --objdump OBJDUMP FILE..."""
import argparse
import os
import re
import subprocess
import sys

KNOWN_LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "known-dlls.txt")


def read_known():
    with open(KNOWN_LIST) as fh:
        return {l.strip().lower() for l in fh if l.strip() and not l.startswith("#")}


def imported_dlls(objdump, path):
    """The DLL names of the file's import table (and of its delay-load
    table, which the loader searches the same way), or None."""
    try:
        text = subprocess.run([objdump, "-p", path], capture_output=True, text=True,
                              errors="replace", check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    if "The Import Tables" not in text and "DLL Name:" not in text:
        return None
    return sorted({m.group(1).strip() for m in re.finditer(r"^\tDLL Name: (.+)$", text, re.M)})


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--objdump", required=True)
    ap.add_argument("files", nargs="+")
    args = ap.parse_args()
    known = read_known()
    failures = []
    for path in args.files:
        name = os.path.basename(path)
        dlls = imported_dlls(args.objdump, path)
        if dlls is None:
            failures.append(f"{name}: no import table could be read")
            continue
        strangers = [d for d in dlls if d.lower() not in known]
        for d in strangers:
            failures.append(f"{name}: imports {d}, which is not a known DLL of every Windows from Vista on: "
                            f"load it at run time from the system folder")
        if not strangers:
            print(f"known-dlls: {name}: imports only known DLLs ({', '.join(dlls)})")
    for f in failures:
        print(f"known-dlls: FAIL: {f}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
