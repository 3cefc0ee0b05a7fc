#!/usr/bin/env python3
"""Generates a benchmark payload shaped like the medium: the five folders with
nested subfolders, mixed file sizes, some Chinese names, and top-level files.
   make-payload.py OUT_DIR FILES MEGABYTES"""
import os
import random
import sys

out, files, megabytes = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
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
count = 0
for i, w in enumerate(weights):
    size = int(w * scale)
    if count < len(top):
        path = os.path.join(out, top[count])
    else:
        stem = "文件" if i % 5 == 0 else "file"
        path = os.path.join(random.choice(dirs), f"{stem}{i:05d}.dat")
    with open(path, "wb") as fh:
        while size > 0:
            n = min(size, len(block))
            fh.write(block[:n])
            size -= n
    count += 1
print(f"payload: {count} files, {megabytes} MiB in {out}")
