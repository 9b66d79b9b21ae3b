#!/usr/bin/python3
"""Runs every benchmark of bench/ and prints one table: our figures beside
the same work done, in the same run, by independent tools (xlrd, and
LibreOffice headless) where such tools do that work.
    tools/bench_report.py BUILD_DIR"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build/release"
bench = os.path.join(build, "bench")


def run_json(program, *args):
    out = subprocess.run([os.path.join(bench, program), "--benchmark_format=json", *args],
                         check=True, capture_output=True, text=True,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout
    return {b["name"]: b for b in json.loads(out)["benchmarks"]}


def ms(entry):
    factor = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry["time_unit"]]
    return entry["real_time"] * factor


def libreoffice_ms(path):
    """LibreOffice headless reading the workbook (and writing it out as CSV), best of three."""
    soffice = shutil.which("soffice")
    if not soffice:
        return None
    best = None
    with tempfile.TemporaryDirectory() as out, tempfile.TemporaryDirectory() as profile:
        for _ in range(3):
            start = time.perf_counter()
            subprocess.run([soffice, f"-env:UserInstallation=file://{profile}", "--headless",
                            "--convert-to", "csv", "--outdir", out, path],
                           check=True, capture_output=True)
            elapsed = (time.perf_counter() - start) * 1000
            best = elapsed if best is None else min(best, elapsed)
    return best


store = run_json("bench_store")
graph = run_json("bench_graph")
startup = run_json("bench_startup")
big = subprocess.run([os.path.join(bench, "bench_store"), "--make", "65535"], check=True,
                     capture_output=True, text=True).stdout.strip()
small = subprocess.run([os.path.join(bench, "bench_store"), "--make", "3650"], check=True,
                       capture_output=True, text=True).stdout.strip()
peak = subprocess.run([os.path.join(bench, "bench_store"), "--peak-memory", big], check=True,
                      capture_output=True, text=True).stdout
peak_mb = int(peak.split("peak_kB=")[1].split()[0]) / 1024

rows = [
    ("load, 65,535 days", ms(store["BM_Load/65535"]), ms(store["BM_XlrdLoad/65535/iterations:3/manual_time"]),
     libreoffice_ms(big)),
    ("load, 65,536 days (full sheet)", ms(store["BM_Load/65536"]), None, None),
    ("load, 3,650 days", ms(store["BM_Load/3650"]), ms(store["BM_XlrdLoad/3650/iterations:3/manual_time"]),
     libreoffice_ms(small)),
    ("save a new day into 3,650 days", ms(store["BM_SaveNewDay"]), None, None),
    ("graph redraw, 31-day window", ms(graph["BM_GraphAllView/31"]), None, None),
    ("graph redraw, 10-year window", ms(graph["BM_GraphAllView/3650"]), None, None),
    ("graph redraw, 10 years, trend+goals", ms(graph["BM_GraphAllViewTrend/3650"]), None, None),
    ("weekly summary, 3,650 days", ms(graph["BM_WeeklySummary"]), None, None),
    ("list window, one line (365 days)", ms(graph["BM_ListOpen/0"]), None, None),
    ("list window, comments wrapped", ms(graph["BM_ListOpen/1"]), None, None),
    ("list window, photos", ms(graph["BM_ListOpen/2"]), None, None),
    ("start-up, empty diary", ms(startup["BM_StartUp/0/min_time:2.000/real_time"]), None, None),
    ("start-up, 3,650 days", ms(startup["BM_StartUp/3650/min_time:2.000/real_time"]), None, None),
]


def cell(value):
    return "—" if value is None else f"{value:,.1f} ms"


def ratio(ours, other):
    return "—" if other is None else f"{other / ours:,.1f}×"


print(f"| {'work':<34} | {'Trimbo':>11} | {'xlrd':>11} | {'LibreOffice':>12} | {'xlrd/ours':>9} | {'LO/ours':>9} |")
print(f"|{'-' * 36}|{'-' * 13}|{'-' * 13}|{'-' * 14}|{'-' * 11}|{'-' * 11}|")
for name, ours, xlrd, lo in rows:
    print(f"| {name:<34} | {cell(ours):>11} | {cell(xlrd):>11} | {cell(lo):>12} | {ratio(ours, xlrd):>9} | {ratio(ours, lo):>9} |")
print(f"| {'peak memory, 65,535-day load':<34} | {peak_mb:>8.1f} MB | {'—':>11} | {'—':>12} | {'—':>9} | {'—':>9} |")
