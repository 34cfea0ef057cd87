#!/usr/bin/env python3
"""Prints the benchmark figures of run-all.sh beside their goals.

Reads core.json and ui.json (Google Benchmark's JSON output) and startup.json and
startup-text.json (from startup_bench, against the bare window and against the window with
the editor's menu bar and a line of text) and tools.json (from tool-timings.sh, korvalin-font
as whole processes) in the folder given; a missing file leaves its lines out. Figures are wall
time, which the goals are about; the CPU-time figure beside each tells how much of it other
work on a busy machine took. MB is 10^6 bytes.
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


def wall_and_cpu_seconds(entry):
    unit = TO_SECONDS[entry["time_unit"]]
    return entry["real_time"] * unit, entry["cpu_time"] * unit


def format_duration(s):
    return f"{s * 1e3:.3f} ms" if s >= 1e-4 else f"{s * 1e6:.2f} us"


class Table:
    HEADER = ("figure", "measured", "cpu time", "goal", "verdict")

    def __init__(self):
        self.rows = []

    def add(self, figure, measured, cpu="", goal="(report)", met=None):
        verdict = "" if met is None else ("met" if met else "MISSED")
        self.rows.append((figure, measured, cpu, goal, verdict))

    def print(self):
        rows = [self.HEADER] + self.rows
        widths = [max(len(row[i]) for row in rows) for i in range(4)]
        for figure, measured, cpu, goal, verdict in rows:
            print(f"{figure:<{widths[0]}}  {measured:>{widths[1]}}  {cpu:>{widths[2]}}  "
                  f"{goal:<{widths[3]}}  {verdict}".rstrip())
        checked = [row for row in self.rows if row[4]]
        met = sum(1 for row in checked if row[4] == "met")
        print(f"{met} of {len(checked)} goals met")


def main():
    folder = Path(sys.argv[1])
    core = benchmarks(load(folder, "core.json"))
    ui = benchmarks(load(folder, "ui.json"))
    startup = load(folder, "startup.json")
    startup_text = load(folder, "startup-text.json")
    tools = load(folder, "tools.json")
    table = Table()

    def throughput(figure, name, goal_mb_s=None):
        if name not in core:
            return
        entry = core[name]
        wall, cpu = wall_and_cpu_seconds(entry)
        # The library's rate is per CPU second; the bytes of one iteration give both.
        bytes_per_iteration = entry["bytes_per_second"] * cpu
        wall_mb_s, cpu_mb_s = bytes_per_iteration / wall / 1e6, bytes_per_iteration / cpu / 1e6
        goal = f">= {goal_mb_s} MB/s" if goal_mb_s else "(report)"
        met = wall_mb_s >= goal_mb_s if goal_mb_s else None
        measured = f"{wall_mb_s:.0f} MB/s"
        if wall >= 1e-3:  # a slow figure reads better as the time of one file
            measured = f"{wall * 1e3:.1f} ms a file, {measured}"
        table.add(figure, measured, f"{cpu_mb_s:.0f} MB/s", goal, met)

    def floor_ratio(figure, name, floor_name, goal_ratio):
        """The reader's time over the floor's, both from the same run of core_bench."""
        if name not in core or floor_name not in core:
            return
        wall, cpu = wall_and_cpu_seconds(core[name])
        floor_wall, floor_cpu = wall_and_cpu_seconds(core[floor_name])
        ratio = wall / floor_wall
        table.add(figure, f"{ratio:.2f}x", f"{cpu / floor_cpu:.2f}x", f"<= {goal_ratio}x floor",
                  ratio <= goal_ratio)

    def duration(benchmarks, figure, name, goal_s=None, goal_text="(report)"):
        if name not in benchmarks:
            return
        wall, cpu = wall_and_cpu_seconds(benchmarks[name])
        met = wall < goal_s if goal_s else None
        table.add(figure, format_duration(wall), format_duration(cpu), goal_text, met)

    throughput("font set read", "BM_ReadFontSetFile", 300)
    throughput("floor: std::from_chars loop", "BM_FromCharsFloor")
    floor_ratio("font set read / floor", "BM_ReadFontSetText", "BM_FromCharsFloor", 1.5)
    floor_ratio("font set text / floor", "BM_FontSetText", "BM_ToCharsFloor", 1.3)
    throughput("font set write (tmpfs)", "BM_WriteFontSetFile/0", 300)
    throughput("font set write (disk + fsync)", "BM_WriteFontSetFile/1")
    duration(core, "program image", "BM_BuildProgramImage", 10e-6, "< 10 us")
    duration(ui, "ShowCharacter (set colours)", "BM_ShowCharacter/0")
    duration(ui, "ShowCharacter + repaint", "BM_ShowCharacter/1", 0.2e-3, "< 0.2 ms")
    duration(ui, "ShowCharacter + event loop paint", "BM_ShowCharacter/2", 0.2e-3, "< 0.2 ms")
    duration(ui, "cell click (set colours)", "BM_PixelClick/0")
    duration(ui, "cell click + repaint", "BM_PixelClick/1")
    duration(ui, "cell click + event loop paint", "BM_PixelClick/2")
    duration(ui, "Compile to the .8xp on disk", "BM_CompileEndToEnd/real_time", 20e-3, "< 20 ms")

    def startup_rows(report, against, goals):
        """The paired start-up ratio and memory difference of the editor against a window."""
        if not report:
            return
        editor, other = report["programs"]
        ratio, extra = report["ratio"], report["extra_peak_rss_mb"]
        ratio_goal, extra_goal = goals or (None, None)
        table.add(f"start-up, editor / {against}",
                  f"{ratio:.3f}x (medians {editor['median_ms']:.0f} / {other['median_ms']:.0f} ms)",
                  goal=f"<= {ratio_goal:.2f}x" if goals else "(report)",
                  met=ratio <= ratio_goal if goals else None)
        if "cpu_ratio" in report:
            table.add(f"CPU time of the run, editor / {against}",
                      f"{report['cpu_ratio']:.3f}x (medians {editor['median_cpu_ms']:.0f} / "
                      f"{other['median_cpu_ms']:.0f} ms)")
        table.add(f"peak memory, editor - {against}",
                  f"{extra:+.2f} MB ({editor['median_peak_rss_mb']:.1f} / "
                  f"{other['median_peak_rss_mb']:.1f} MB)",
                  goal=f"<= +{extra_goal:.0f} MB" if goals else "(report)",
                  met=extra <= extra_goal if goals else None)

    # The goal is against a window that shows text and the same menu bar, since every window
    # with text pays the font system's start-up; the bare window is there for reading.
    startup_rows(startup_text, "window with menus and text", (1.06, 2))
    startup_rows(startup, "bare window", None)

    def tool_rows(report):
        """korvalin-font as whole processes, start-up included: medians of the runs."""
        if not report:
            return
        table.add("korvalin-font check / prgforge",
                  f"{report['check_ratio']:.2f}x (medians {report['check_ms']:.1f} / "
                  f"{report['prgforge_ms']:.1f} ms)",
                  f"{report['check_cpu_ratio']:.2f}x", "<= 1.5x", report["check_ratio"] <= 1.5)
        for figure, key, goal_ms in (("korvalin-font import of the 5x7 PCF", "import", 20),
                                     ("korvalin-font render of the sheet", "render", 30),
                                     ("korvalin-font compile", "compile", 10)):
            wall = report.get(f"{key}_ms")
            if wall is not None:
                table.add(figure, f"{wall:.1f} ms", f"{report[f'{key}_cpu_ms']:.1f} ms",
                          f"< {goal_ms} ms", wall < goal_ms)

    tool_rows(tools)

    print("Summary (wall time, CPU time beside it; start-up and check: median of the paired "
          "rounds' ratios)")
    table.print()


if __name__ == "__main__":
    main()
