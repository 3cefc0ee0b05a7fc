#!/usr/bin/env python3
"""Turns the benchmark lines of one `make bench` run into a Markdown table
with the targets.   table.py RESULTS.txt RECORD.json [ARCH]
ARCH (win32 or win64) names the build both contenders of every ratio were
built for."""
import datetime
import json
import os
import platform
import sys


def parse(path):
    rows = []
    with open(path, encoding="utf-8", errors="replace") as fh:
        for line in fh:
            words = line.split()
            if not words or words[0] == "round":
                continue
            fields = {"kind": words[0]}
            if words[0] == "cost":
                fields["variant"] = words[1]
                words = words[1:]
            for w in words[1:]:
                if "=" in w:
                    k, v = w.split("=", 1)
                    fields[k] = v
            rows.append(fields)
    return rows


def find(rows, kind, **match):
    for r in rows:
        if r["kind"] == kind and all(r.get(k) == v for k, v in match.items()):
            return r
    return None


def f(v, digits=3):
    return f"{float(v):.{digits}f}"


def verdict(ok):
    return "met" if ok else "**missed**"


def machine():
    cpu = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as fh:
            for line in fh:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return f"{cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}"


def main():
    rows = parse(sys.argv[1])
    record = []
    if len(sys.argv) > 2 and os.path.exists(sys.argv[2]):
        with open(sys.argv[2]) as fh:
            record = json.load(fh).get("benchmarks", [])
    out = []
    p = out.append
    arch = sys.argv[3] if len(sys.argv) > 3 else "win32"
    build = ("the x86_64 twin and a 64-bit NSIS installer (amd64-unicode), 64-bit prefix" if arch == "win64"
             else "the i686 programs and a 32-bit NSIS installer (x86-unicode), 32-bit prefix")
    p(f"Run of {datetime.date.today().isoformat()} on {machine()}; one shared, noisy machine; "
      f"Wine, all pinned to one core, files on tmpfs; medians of alternating rounds; {build}.")
    p("")
    p("| # | Measure | Payload | Contender | Baseline | Ratio | Target | |")
    p("|---|---|---|---|---|---|---|---|")
    engines = {r["files"]: r for r in rows if r["kind"] == "engine-install"}
    files = sorted(engines, key=int)
    names = {}
    for i, n in enumerate(files):
        names[n] = "3,000 files / 200 MB" if i == 0 and len(files) > 1 else "20,000 files / 100 MB"
    for n in files:
        r = engines[n]
        limit = 1.10 if int(n) < 10000 else 1.25
        ratio = float(r["ratio"])
        p(f"| 1 | install, engine only (copy page shown) | {names[n]} | engine {f(r['engine'])} s | "
          f"plain CopyFileA loop {f(r['plain'])} s | {f(ratio, 2)} | ≤ {limit:.2f} | {verdict(ratio <= limit)} |")
    for n in files:
        r = find(rows, "program-install", files=str(int(n) - 1)) or find(rows, "program-install", files=n)
        if not r:
            continue
        sp, sn = float(r["setup/plain"]), float(r["setup/nsis"])
        p(f"| 2 | install, whole program (Next to finish page) | {names[n]} | Setup.exe {f(r['setup'])} s | "
          f"plain copy {f(r['plain'])} s | {f(sp, 2)} | — | |")
        p(f"| 2 | | | | NSIS installer /S {f(r['nsis'])} s | {f(sn, 2)} | ≤ 1.00 | {verdict(sn <= 1.0)} |")
    for n in files:
        r = find(rows, "program-silent", files=str(int(n) - 1)) or find(rows, "program-silent", files=n)
        if not r:
            continue
        sf, sn = float(r["silent/floor"]), float(r["silent/nsis"])
        p(f"| 2s | install, silent (setup.exe /S /D=, process start to end) | {names[n]} | Setup.exe /S {f(r['silent'])} s | "
          f"floor {f(r['floor'])} s (program start {f(r['start'])} + finder/copy/attribute loop {f(r['copy-loop'])}) | "
          f"{f(sf, 2)} | ≤ 1.10 | {verdict(sf <= 1.10)} |")
        large = int(n) < 10000
        p(f"| 2s | | | | NSIS installer /S {f(r['nsis'])} s | {f(sn, 2)} | {'≤ 1.00' if large else '—'} | "
          f"{verdict(sn <= 1.0) if large else ''} |")
    for n in files:
        r = find(rows, "program-silent-uninstall", files=str(int(n) - 1)) or find(rows, "program-silent-uninstall", files=n)
        if not r:
            continue
        p(f"| 3s | uninstall, silent (Uninstall.exe /S) | {names[n]} | Uninstall.exe /S {f(r['uninstall'])} s | "
          f"plain DeleteFileA loop {f(r['plain'])} s | {f(r['uninstall/plain'], 2)} | — | |")
        p(f"| 3s | | | | NSIS uninstaller /S {f(r['nsis'])} s | {f(r['uninstall/nsis'], 2)} | — | |")
    for n in files:
        r = find(rows, "program-uninstall", files=str(int(n) - 1)) or find(rows, "program-uninstall", files=n)
        if not r:
            continue
        up, un = float(r["uninstall/plain"]), float(r["uninstall/nsis"])
        p(f"| 3 | uninstall (Yes to \"卸载完成!\") | {names[n]} | Uninstall.exe {f(r['uninstall'])} s | "
          f"plain DeleteFileA loop {f(r['plain'])} s | {f(up, 2)} | ≤ 1.15 | {verdict(up <= 1.15)} |")
        p(f"| 3 | | | | NSIS uninstaller /S {f(r['nsis'])} s | {f(un, 2)} | ≤ 1.00 | {verdict(un <= 1.0)} |")
    for name in ("BM_CountFiles", "BM_ReplayPasses"):
        per = []
        for b in record:
            # The median of the repetitions where there are some, else the run.
            wanted = "median" if any(x.get("run_type") == "aggregate" for x in record) else None
            if b.get("name", "").startswith(name + "/") and b.get("aggregate_name") == wanted:
                entries = int(b["name"].split("/")[1].split("_")[0])
                ns = float(b["real_time"]) * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
                per.append((entries, ns / entries))
        if per:
            spread = max(v for _, v in per) / min(v for _, v in per)
            what = "CountEntries" if name == "BM_CountFiles" else "the four NextEntry passes"
            text = ", ".join(f"{e:,}: {v:.0f} ns" for e, v in per)
            p(f"| 4 | record reading, {what}, per entry | native | {text} | — | spread {spread:.2f} | "
              f"flat (≤ 1.5) | {verdict(spread <= 1.5)} |")
    bar = find(rows, "paint-bar")
    if bar:
        ok = int(bar["repaints"]) <= int(bar["width"])
        p(f"| 5 | progress-bar repaints for {int(bar['steps']):,} steps | copy page bar | {bar['repaints']} repaints, "
          f"{f(bar['us-per-repaint'], 0)} µs each | bar width {bar['width']} px | — | ≤ width | {verdict(ok)} |")
    shade = find(rows, "paint-shade")
    if shade:
        p(f"| 5 | SetShade, BumpHard | {shade['size']} button | {f(shade['median-us'], 1)} µs | — | — | — | |")
    status = find(rows, "paint-status")
    if status:
        p(f"| 5 | status line change | copy page | {f(status['direct-us-per-text'], 1)} µs set directly | "
          f"CStatusText {f(status['throttled-us-per-text'], 2)} µs | — | — | |")
    bg = find(rows, "paint-background")
    if bg:
        p(f"| 5 | background repaint (picture reloaded) | {bg['picture']} JPEG | {f(bg['repaint-ms'], 1)} ms | — | — | — | |")
    mems = sorted((r for r in rows if r["kind"] == "memory"), key=lambda r: int(r["files"]))
    for r in mems:
        p(f"| 6 | peak working set | {r['files']} files installed | Setup.exe {int(r['setup-peak-kb']) / 1024:.1f} MiB, "
          f"Uninstall.exe {int(r['uninstall-peak-kb']) / 1024:.1f} MiB | record {int(r['record-bytes']) / 1024:.0f} KiB | — | — | |")
    if len(mems) >= 2:
        a, b = mems[0], mems[-1]
        rec = (int(b["record-bytes"]) - int(a["record-bytes"])) / 1024
        for prog in ("setup", "uninstall"):
            grow = (int(b[f"{prog}-peak-kb"]) - int(a[f"{prog}-peak-kb"]))
            ratio = grow / rec if rec > 0 else 0
            p(f"| 6 | growth {a['files']} → {b['files']} files | | {'Setup' if prog == 'setup' else 'Uninstall'}.exe "
              f"+{grow / 1024:.1f} MiB | record +{rec / 1024:.1f} MiB | {ratio:.1f} × record | ≤ 2 × record | "
              f"{verdict(ratio <= 2)} |")
    costs = [r for r in rows if r["kind"] == "cost"]
    if costs:
        sizes = sorted({r["files"] for r in costs}, key=int)
        p("")
        p("Where the engine's time goes: the bare copy loop on the engine's thread with one per-entry extra "
          "at a time, reporting to the copy page (extra time per entry against the bare loop):")
        p("")
        p("| Variant | " + " | ".join(f"{int(n):,} files: time, ratio, extra per entry" for n in sizes) + " |")
        p("|---|" + "---|" * len(sizes))
        variants = []
        for r in costs:
            if r["variant"] not in variants:
                variants.append(r["variant"])
        for v in variants:
            cells = []
            for n in sizes:
                r = find(rows, "cost", variant=v, files=n)
                cells.append(f"{f(r['time'])} s, {f(r['ratio'], 2)}, {f(r['extra-us-per-entry'], 0)} µs" if r else "—")
            p(f"| {v} | " + " | ".join(cells) + " |")
    print("\n".join(out))


main()
