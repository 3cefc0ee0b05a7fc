#!/usr/bin/env python3
"""Generates a benchmark payload shaped like the medium: the five folders with
nested subfolders, mixed file sizes, some Chinese names, and top-level files.
   make-payload.py OUT_DIR FILES MEGABYTES [--nsis SCRIPT INSTALLER [--target T]]
With --nsis it also writes an NSIS script that installs the same payload
(uncompressed) with an uninstaller, shortcuts and an Add/Remove Programs
entry; its uninstaller deletes file by file, as a record replay does. T is
NSIS's target: x86-unicode (default) for the i686 build, amd64-unicode for
the x86_64 twin, so that both contenders are of one architecture."""
import os
import random
import sys

args = sys.argv[1:]
target = "x86-unicode"
if "--target" in args:
    i = args.index("--target")
    target = args[i + 1]
    del args[i:i + 2]
nsis = None
if "--nsis" in args:
    i = args.index("--nsis")
    nsis = (args[i + 1], args[i + 2])
    del args[i:i + 3]
out, files, megabytes = args[0], int(args[1]), int(args[2])
random.seed(8)
folders = ["Support", "Controls", "图框", "Data", "Temp"]
top = ["setup.exe", "Uninstall.exe", "Terrasum.exe", "TerrasumV8.0.ICO", "Kelvarin.url", "readme.txt"]
total = megabytes * 1024 * 1024
# Mixed sizes: a few large files carry most bytes, the rest are small.
weights = [random.choice([1, 1, 1, 2, 4, 8, 64]) for _ in range(files)]
scale = total / sum(weights)
block = os.urandom(1 << 20)
os.makedirs(out, exist_ok=True)
dirs = []
for f in folders:
    for a in range(6):
        for b in range(4):
            name = f"{'子目录' if (a + b) % 3 == 0 else 'sub'}{a}"
            dirs.append(os.path.join(out, f, name, f"level{b}"))
for d in dirs:
    os.makedirs(d, exist_ok=True)
paths = []
for i, w in enumerate(weights):
    size = int(w * scale)
    if len(paths) < len(top):
        path = os.path.join(out, top[len(paths)])
    else:
        stem = "文件" if i % 5 == 0 else "file"
        path = os.path.join(random.choice(dirs), f"{stem}{i:05d}.dat")
    # Each file's bytes of its own: an installer that stores identical
    # files once (NSIS does) must not get the payload for free.
    with open(path, "wb") as fh:
        fh.write(f"{i:08d}".encode()[:size])
        size -= min(size, 8)
        offset = random.randrange(len(block))
        while size > 0:
            n = min(size, len(block) - offset)
            fh.write(block[offset:offset + n])
            size -= n
            offset = 0
    paths.append(path)
print(f"payload: {len(paths)} files, {megabytes} MiB in {out}")


def win(rel):
    return rel.replace("/", "\\")


if nsis:
    script, installer = nsis
    root = os.path.abspath(out)
    installed = sorted(os.path.relpath(p, out) for p in paths if os.path.basename(p) != "setup.exe")
    folder_list = set()
    for rel in installed:
        d = os.path.dirname(rel)
        while d:
            folder_list.add(d)
            d = os.path.dirname(d)
    key = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Terrasum V8 NSIS"
    lines = [
        f"Target {target}",
        "SetCompress off",
        # Without this, makensis compares every file's data with all earlier
        # ones: minutes for 20,000 files (the payload's files differ anyway).
        "SetDatablockOptimize off",
        'Name "Terrasum V8.0"',
        f'OutFile "{installer}"',
        r'InstallDir "C:\Program Files\Kelvarin\Terrasum NSIS"',
        "RequestExecutionLevel admin",
        "Section",
        '  SetOutPath "$INSTDIR"',
    ]
    lines += [f'  File "{os.path.join(root, n)}"' for n in top if n != "setup.exe"]
    lines += [f'  File /r "{os.path.join(root, f)}"' for f in folders]
    lines += [
        '  WriteUninstaller "$INSTDIR\\uninst.exe"',
        f'  WriteRegStr HKLM "{key}" "DisplayName" "土方工程量计算软件 Terrasum V8.0"',
        f'  WriteRegStr HKLM "{key}" "UninstallString" "$INSTDIR\\uninst.exe"',
        '  CreateDirectory "$SMPROGRAMS\\Terrasum V8.0 NSIS"',
        '  CreateShortcut "$SMPROGRAMS\\Terrasum V8.0 NSIS\\Terrasum.lnk" "$INSTDIR\\Terrasum.exe"',
        '  CreateShortcut "$SMPROGRAMS\\Terrasum V8.0 NSIS\\Uninstall.lnk" "$INSTDIR\\uninst.exe"',
        '  CreateShortcut "$DESKTOP\\Terrasum V8.0 NSIS.lnk" "$INSTDIR\\Terrasum.exe"',
        "SectionEnd",
        'Section "Uninstall"',
    ]
    lines += [f'  Delete "$INSTDIR\\{win(rel)}"' for rel in installed]
    lines += [f'  RMDir "$INSTDIR\\{win(d)}"' for d in sorted(folder_list, key=lambda d: (-d.count("/"), d))]
    lines += [
        '  Delete "$INSTDIR\\uninst.exe"',
        '  RMDir "$INSTDIR"',
        '  Delete "$SMPROGRAMS\\Terrasum V8.0 NSIS\\Terrasum.lnk"',
        '  Delete "$SMPROGRAMS\\Terrasum V8.0 NSIS\\Uninstall.lnk"',
        '  RMDir "$SMPROGRAMS\\Terrasum V8.0 NSIS"',
        '  Delete "$DESKTOP\\Terrasum V8.0 NSIS.lnk"',
        f'  DeleteRegKey HKLM "{key}"',
        "SectionEnd",
    ]
    with open(script, "w", encoding="utf-8-sig") as fh:
        fh.write("\n".join(lines) + "\n")
    print(f"payload: NSIS script {script} for {installer}")
