#!/usr/bin/env python3
"""Fails when a 32-bit Windows program or module imports a function that
Windows XP SP3's system DLLs do not export: XP's loader refuses such a file
before its first line runs. Reads the import tables only, so it runs on any
machine, and it needs no Wine (Wine exports every function whatever Windows
it pretends to be).

   check-xp-imports.py --objdump OBJDUMP --cc CC FILE...

System DLLs: every imported name is compiled as a reference against the
mingw-w64 headers set to Windows XP SP3 (_WIN32_WINNT and WINVER 0x0501,
NTDDI_VERSION 0x05010300, _WIN32_IE 0x0603). The headers declare a function
only for the release that brought it, so a reference to GetTickCount64
(Windows Vista) does not compile there. The C runtime (msvcrt.dll) has no
such gate in the headers: its names are checked against xp-msvcrt.txt."""
import argparse
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
MSVCRT_LIST = os.path.join(HERE, "xp-msvcrt.txt")

# System DLLs of Windows XP SP3 whose functions the headers below declare.
XP_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
    "comctl32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll",
    "version.dll", "winmm.dll", "imm32.dll", "winspool.drv", "ws2_32.dll",
    "msimg32.dll", "uxtheme.dll",
}
HEADERS = [
    "windows.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h", "shlwapi.h",
    "objbase.h", "ole2.h", "oleauto.h", "olectl.h", "winver.h", "mmsystem.h",
    "imm.h", "winspool.h", "winsock2.h", "uxtheme.h", "sddl.h", "aclapi.h",
]
# The headers' gates leak: they declare these for XP although XP SP3's DLLs
# lack them (the thread error mode came with Windows 7, the DLL search
# directories and the precise time and address waits with Windows 8, the
# rest with Vista or XP's x64 edition).
XP_LACKS = {
    "SetThreadErrorMode", "GetThreadErrorMode", "AddDllDirectory", "RemoveDllDirectory",
    "SetDefaultDllDirectories", "GetSystemTimePreciseAsFileTime", "WaitOnAddress",
    "WakeByAddressSingle", "WakeByAddressAll", "GetCurrentProcessorNumber",
    "RegDeleteKeyExA", "RegDeleteKeyExW", "RegGetValueA", "RegGetValueW",
}
XP_DEFINES = ["-D_WIN32_WINNT=0x0501", "-DWINVER=0x0501", "-DNTDDI_VERSION=0x05010300",
              "-D_WIN32_IE=0x0603"]

IMPORT_LINE = re.compile(r"^\t[0-9a-fA-F]+\t\s*(\d+)\s+(\S+)")


def read_imports(objdump, path):
    """[(dll, name)] from the file's import tables; a name of the form
    '#N' is an import by ordinal. None when the file cannot be read."""
    try:
        text = subprocess.run([objdump, "-p", path], capture_output=True, text=True,
                              errors="replace", check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    imports, dll = [], None
    for line in text.splitlines():
        m = re.match(r"^\tDLL Name: (.+)$", line)
        if m:
            dll = m.group(1).strip()
            continue
        if dll is None:
            continue
        if not line.strip():
            dll = None
            continue
        m = IMPORT_LINE.match(line)
        if m:
            name = m.group(2)
            imports.append((dll, name if name != "<none>" else "#" + m.group(1)))
        elif not line.lstrip().startswith("vma:"):
            imports.append((dll, "#?" + line.strip()))
    return imports


def undeclared_for_xp(cc, names):
    """The names that do not compile as references for Windows XP SP3, and
    the compiler's output when it failed for another reason."""
    if not names:
        return set(), ""
    body = "".join(f"#include <{h}>\n" for h in HEADERS)
    # One reference per line: the line number of an error names the function.
    body += 'void references(void) {\n#line 1 "imports"\n'
    body += "".join(f"(void)&{n};\n" for n in names) + "}\n"
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "imports.c")
        with open(src, "w") as fh:
            fh.write(body)
        run = subprocess.run([cc, "-fsyntax-only", "-fmax-errors=0", "-w", *XP_DEFINES, src],
                             capture_output=True, text=True, env={**os.environ, "LC_ALL": "C"})
    if run.returncode == 0:
        return set(), ""
    bad = {names[int(n) - 1] for n in re.findall(r"^imports:(\d+):\d+: error:", run.stderr, re.M)
           if 0 < int(n) <= len(names)}
    return bad, ("" if bad else run.stderr)


def read_msvcrt_list():
    with open(MSVCRT_LIST) as fh:
        return {l.strip() for l in fh if l.strip() and not l.startswith("#")}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--objdump", required=True)
    ap.add_argument("--cc", required=True)
    ap.add_argument("files", nargs="+")
    args = ap.parse_args()

    msvcrt = read_msvcrt_list()
    failures = []
    per_file = {}
    for path in args.files:
        imports = read_imports(args.objdump, path)
        if not imports:
            failures.append(f"{path}: no import table could be read")
            continue
        per_file[path] = imports

    system_names = sorted({n for imps in per_file.values() for d, n in imps
                           if d.lower() != "msvcrt.dll" and not n.startswith("#")})
    undeclared, compiler_error = undeclared_for_xp(args.cc, system_names)
    if compiler_error:
        failures.append("the references could not be compiled:\n" + compiler_error)

    for path, imports in per_file.items():
        name = os.path.basename(path)
        for dll, fn in imports:
            if fn.startswith("#?"):
                failures.append(f"{name}: an import from {dll} this check cannot read: {fn[2:]}")
            elif fn.startswith("#"):
                failures.append(f"{name}: imports {fn} from {dll} by ordinal; cannot be checked")
            elif dll.lower() == "msvcrt.dll":
                if fn not in msvcrt:
                    failures.append(
                        f"{name}: imports {fn} from msvcrt.dll, which is not among the C runtime "
                        f"functions known to be in Windows XP SP3's msvcrt.dll ({os.path.basename(MSVCRT_LIST)})")
            elif dll.lower() not in XP_DLLS:
                failures.append(f"{name}: imports {fn} from {dll}, not a system DLL this check knows on Windows XP SP3")
            elif fn in undeclared:
                failures.append(f"{name}: imports {fn} from {dll}, which Windows XP SP3 lacks "
                                f"(the headers declare it only for a later Windows)")
            elif fn in XP_LACKS:
                failures.append(f"{name}: imports {fn} from {dll}, which Windows XP SP3 lacks "
                                f"(look it up at run time, with a fallback)")
        if not any(f.startswith(name + ":") for f in failures):
            dlls = len({d.lower() for d, _ in imports})
            print(f"xp-imports: {name}: {len(imports)} functions from {dlls} DLLs, all exported by Windows XP SP3")

    for f in failures:
        print(f"xp-imports: FAIL: {f}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
