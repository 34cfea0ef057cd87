#!/usr/bin/env python3
"""Prints the benchmark figures of run-all.sh beside their goals.

Reads core.json and ui.json (Google Benchmark's JSON output) and startup.json (from
startup_bench) in the folder given; a missing file leaves its lines out. MB is 10^6 bytes.
"""
import json
import sys
from pathlib import Path

TO_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load(folder, name):
    path = folder / name
    return json.loads(path.read_text()) if path.exists() else None


def benchmarks(report):
    """Each benchmark's entry by name."""
    return {entry["name"]: entry for entry in (report or {}).get("benchmarks", [])}


def seconds(entry):
    return entry["real_time"] * TO_SECONDS[entry["time_unit"]]


def main():
    folder = Path(sys.argv[1])
    core = benchmarks(load(folder, "core.json"))
    ui = benchmarks(load(folder, "ui.json"))
    startup = load(folder, "startup.json")
    rows = []  # (figure, measured, goal, verdict)

    def add(figure, measured, goal="(report)", met=None):
        verdict = "" if met is None else ("met" if met else "MISSED")
        rows.append((figure, measured, goal, verdict))

    def throughput(figure, name, goal_mb_s=None):
        if name not in core:
            return
        mb_s = core[name]["bytes_per_second"] / 1e6
        if goal_mb_s is None:
            add(figure, f"{mb_s:.0f} MB/s")
        else:
            add(figure, f"{mb_s:.0f} MB/s", f">= {goal_mb_s} MB/s", mb_s >= goal_mb_s)

    def duration(table, figure, name, goal_s=None, goal_text=None):
        if name not in table:
            return
        s = seconds(table[name])
        measured = f"{s * 1e3:.3f} ms" if s >= 1e-4 else f"{s * 1e6:.2f} us"
        if goal_s is None:
            add(figure, measured)
        else:
            add(figure, measured, goal_text, s < goal_s)

    throughput("font set read", "BM_ReadFontSetFile", 300)
    throughput("font set write (tmpfs)", "BM_WriteFontSetFile/0", 300)
    throughput("font set write (disk + fsync)", "BM_WriteFontSetFile/1")
    duration(core, "program image", "BM_BuildProgramImage", 10e-6, "< 10 us")
    duration(ui, "ShowCharacter (set colours)", "BM_ShowCharacter/0")
    duration(ui, "ShowCharacter + repaint", "BM_ShowCharacter/1", 0.2e-3, "< 0.2 ms")
    duration(ui, "ShowCharacter + event loop paint", "BM_ShowCharacter/2", 0.2e-3, "< 0.2 ms")
    duration(ui, "cell click (set colours)", "BM_PixelClick/0")
    duration(ui, "cell click + repaint", "BM_PixelClick/1")
    duration(ui, "cell click + event loop paint", "BM_PixelClick/2")

    if startup:
        editor, bare = startup["programs"]
        ratio = editor["median_ms"] / bare["median_ms"]
        extra = editor["median_peak_rss_mb"] - bare["median_peak_rss_mb"]
        add("start-up, editor / bare window",
            f"{ratio:.2f}x ({editor['median_ms']:.0f} / {bare['median_ms']:.0f} ms)",
            "<= 1.15x", ratio <= 1.15)
        add("peak memory, editor - bare window",
            f"{extra:+.1f} MB ({editor['median_peak_rss_mb']:.1f} / "
            f"{bare['median_peak_rss_mb']:.1f} MB)",
            "<= +5 MB", extra <= 5)

    widths = [max(len(row[i]) for row in rows + [("figure", "measured", "goal", "")])
              for i in range(3)]
    print("Summary")
    print(f"{'figure':<{widths[0]}}  {'measured':>{widths[1]}}  {'goal':<{widths[2]}}  verdict")
    for figure, measured, goal, verdict in rows:
        print(f"{figure:<{widths[0]}}  {measured:>{widths[1]}}  {goal:<{widths[2]}}  {verdict}")
    missed = sum(1 for row in rows if row[3] == "MISSED")
    checked = sum(1 for row in rows if row[3])
    print(f"{checked - missed} of {checked} goals met")


if __name__ == "__main__":
    main()
