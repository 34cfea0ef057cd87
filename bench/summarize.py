#!/usr/bin/env python3
"""Prints the benchmark figures of run-all.sh beside their goals.

Reads, from the folder given, core.json, font.json and ui.json (Google Benchmark's output),
startup.json and startup-text.json (startup_bench against the bare window and against the
window with the editor's menu bar and a line of text), tools.json (tool-timings.sh:
korvalin-font as whole processes) and counts.json (counts.py: instructions under callgrind,
system calls under strace); a missing file leaves its figures out.

Each figure is a wall time, with the CPU time beside it, which tells how much of the wall
time a busy machine took, and the instructions that callgrind counted for the same work,
which a busy machine does not change. A figure against a floor, a program doing the same
work without our checks, is a ratio in each of the three. The goals are by instruction count
where there is one, so that a verdict can be reproduced anywhere; a goal in time or bytes a
second is judged by the CPU time, which a busy machine stretches far less than the wall time,
but for Compile's, whose work is mostly another process's. MB is 10^6 bytes.
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


def format_count(n):
    return f"{n / 1e6:.2f}M" if n >= 1e6 else f"{n / 1e3:.1f}k"


class Table:
    HEADER = ("figure", "wall time", "cpu time", "instructions", "goal", "verdict")

    def __init__(self):
        self.rows = []

    def add(self, figure, wall="", cpu="", instructions="", goal="(report)", met=None):
        verdict = "" if met is None else ("met" if met else "MISSED")
        self.rows.append((figure, wall, cpu, instructions, goal, verdict))

    def print(self):
        rows = [self.HEADER] + self.rows
        widths = [max(len(row[i]) for row in rows) for i in range(5)]
        for figure, wall, cpu, instructions, goal, verdict in rows:
            print(f"{figure:<{widths[0]}}  {wall:>{widths[1]}}  {cpu:>{widths[2]}}  "
                  f"{instructions:>{widths[3]}}  {goal:<{widths[4]}}  {verdict}".rstrip())
        checked = [row for row in self.rows if row[5]]
        met = sum(1 for row in checked if row[5] == "met")
        print(f"{met} of {len(checked)} goals met")


def main():
    folder = Path(sys.argv[1])
    core = benchmarks(load(folder, "core.json")) | benchmarks(load(folder, "font.json"))
    ui = benchmarks(load(folder, "ui.json"))
    counts = load(folder, "counts.json") or {}
    per_iteration = counts.get("per_iteration", {})
    processes = counts.get("processes", {})
    table = Table()

    def instructions_of(name):
        """One iteration's instructions as counts.py names it (the variant's argument kept)."""
        return per_iteration.get(name.removesuffix("/real_time"))

    def duration(benchmarks, figure, name, goal_s=None, goal_text="(report)"):
        if name not in benchmarks:
            return
        wall, cpu = wall_and_cpu_seconds(benchmarks[name])
        count = instructions_of(name)
        table.add(figure, format_duration(wall), format_duration(cpu),
                  format_count(count) if count else "", goal_text,
                  (wall if name.endswith("/real_time") else cpu) < goal_s if goal_s else None)

    def throughput(figure, name, goal_mb_s=None):
        if name not in core:
            return
        entry = core[name]
        wall, cpu = wall_and_cpu_seconds(entry)
        # The library's rate is per CPU second; the bytes of one iteration give both.
        bytes_per_iteration = entry["bytes_per_second"] * cpu
        count = instructions_of(name)
        table.add(figure, f"{bytes_per_iteration / wall / 1e6:.0f} MB/s",
                  f"{bytes_per_iteration / cpu / 1e6:.0f} MB/s",
                  f"{count / bytes_per_iteration:.1f}/byte" if count else "",
                  f">= {goal_mb_s} MB/s" if goal_mb_s else "(report)",
                  bytes_per_iteration / cpu / 1e6 >= goal_mb_s if goal_mb_s else None)

    def against_floor(figure, name, floor_name, goal_ratio=None):
        """A benchmark over its floor, both from the same runs, goal by instruction count."""
        if name not in core or floor_name not in core:
            return
        wall, cpu = wall_and_cpu_seconds(core[name])
        floor_wall, floor_cpu = wall_and_cpu_seconds(core[floor_name])
        count, floor_count = instructions_of(name), instructions_of(floor_name)
        ratio = count / floor_count if count and floor_count else None
        table.add(figure, f"{wall / floor_wall:.2f}x", f"{cpu / floor_cpu:.2f}x",
                  f"{ratio:.2f}x" if ratio else "",
                  f"<= {goal_ratio}x floor" if goal_ratio else "(report)",
                  ratio <= goal_ratio if goal_ratio and ratio else None)

    throughput("font set read from a file", "BM_ReadFontSetFile", 300)
    against_floor("  / open, read, std::from_chars loop", "BM_ReadFontSetFile",
                  "BM_ReadFileFloor")
    against_floor("font set read from text / std::from_chars loop", "BM_ReadFontSetText",
                  "BM_FromCharsFloor", 1.2)
    against_floor("font set text / std::to_chars loop", "BM_FontSetText", "BM_ToCharsFloor", 1.3)
    throughput("font set save (tmpfs)", "BM_WriteFontSetFile/0", 300)
    against_floor("  / the eight calls of a durable replacement", "BM_WriteFontSetFile/0",
                  "BM_SaveFloor/0")
    throughput("font set save (disk)", "BM_WriteFontSetFile/1")
    against_floor("  / the eight calls of a durable replacement", "BM_WriteFontSetFile/1",
                  "BM_SaveFloor/1")
    # A run's first save also learns the computer's name and lists the folder for what
    # killed saves left; the editor's saves after it are the goal's.
    save_calls = counts.get("save_calls", {})
    for name, figure, goal in (("later-existing", "system calls of a save over a set", 14),
                               ("first-existing", "  the run's first save", None),
                               ("later-new", "system calls of a save as a new file", 14),
                               ("first-new", "  the run's first save", None)):
        if name in save_calls:
            table.add(figure, instructions=f"{save_calls[name]} (floor {save_calls['floor']})",
                      goal=f"<= {goal} calls" if goal else "(report)",
                      met=save_calls[name] <= goal if goal else None)
    duration(core, "program image", "BM_BuildProgramImage", 10e-6, "< 10 us")
    if "BM_ImportBdf" in core and instructions_of("BM_ImportBdf"):
        wall, cpu = wall_and_cpu_seconds(core["BM_ImportBdf"])
        size = core["BM_ImportBdf"]["bytes_per_second"] * cpu
        per_byte = instructions_of("BM_ImportBdf") / size
        table.add("BDF import of 1.1 MB, per byte", f"{wall * 1e9 / size:.1f} ns",
                  f"{cpu * 1e9 / size:.1f} ns", f"{per_byte:.1f}", "< 40 instructions",
                  per_byte < 40)
    against_floor("  / memchr lines, hex rows", "BM_ImportBdf", "BM_BdfReadFloor")
    duration(ui, "ShowCharacter (set colours)", "BM_ShowCharacter/0")
    duration(ui, "ShowCharacter + repaint", "BM_ShowCharacter/1", 0.2e-3, "< 0.2 ms")
    duration(ui, "ShowCharacter + event loop paint", "BM_ShowCharacter/2", 0.2e-3, "< 0.2 ms")
    duration(ui, "cell click (set colours)", "BM_PixelClick/0")
    duration(ui, "cell click + repaint", "BM_PixelClick/1")
    duration(ui, "cell click + event loop paint", "BM_PixelClick/2")
    duration(ui, "Compile to the .8xp on disk (editor's part counted)",
             "BM_CompileEndToEnd/real_time", 20e-3, "< 20 ms")

    def startup_rows(report, against, goals):
        """The editor's start-up against a window: to its window, and until it is idle."""
        if not report:
            return
        editor, other = report["programs"]
        ratio_goal, extra_goal = goals or (None, None)
        count_ratio = report.get("instruction_ratio")
        counted = (f"{count_ratio:.3f}x ({format_count(editor['median_instructions'])} / "
                   f"{format_count(other['median_instructions'])})" if count_ratio else "")
        table.add(f"start-up, editor / {against}",
                  f"{report['ratio']:.3f}x ({editor['median_ms']:.0f} / {other['median_ms']:.0f} ms)",
                  f"{report['cpu_ratio']:.3f}x", counted,
                  f"<= {ratio_goal:.2f}x" if goals else "(report)",
                  count_ratio <= ratio_goal if goals and count_ratio else None)
        extra = report["extra_peak_rss_mb"]
        table.add(f"peak memory, editor - {against}",
                  f"{extra:+.2f} MB ({editor['median_peak_rss_mb']:.1f} / "
                  f"{other['median_peak_rss_mb']:.1f} MB)",
                  goal=f"<= +{extra_goal:.0f} MB" if goals else "(report)",
                  met=extra <= extra_goal if goals else None)

    # The goal is against a window that shows text and the same menu bar, since every window
    # with text pays the font system's start-up; the bare window is there for reading.
    startup_rows(load(folder, "startup-text.json"), "window with menus and text", (1.06, 2))
    startup_rows(load(folder, "startup.json"), "bare window", None)

    tools = load(folder, "tools.json")
    if tools:
        for figure, key, floor, goal in (("korvalin-font check / its floor", "check",
                                          "check_floor", None),
                                         ("korvalin-font compile / prgforge", "compile",
                                          "prgforge", 1.3)):
            count = (processes[key] / processes[floor]
                     if key in processes and floor in processes else None)
            table.add(figure, f"{tools[f'{key}_ratio']:.2f}x", f"{tools[f'{key}_cpu_ratio']:.2f}x",
                      f"{count:.2f}x ({format_count(processes[key])})" if count else "",
                      f"<= {goal}x" if goal else "(report)",
                      count <= goal if goal and count else None)
        for figure, key, goal_ms in (("korvalin-font import of the 5x7 PCF", "import", 20),
                                     ("korvalin-font render of the sheet", "render", 30)):
            if tools.get(f"{key}_ms") is not None:
                count = processes.get(key)
                table.add(figure, f"{tools[f'{key}_ms']:.1f} ms",
                          f"{tools[f'{key}_cpu_ms']:.1f} ms",
                          format_count(count) if count else "", f"< {goal_ms} ms",
                          tools[f"{key}_cpu_ms"] < goal_ms)

    print("Summary (start-up, check and compile: medians of the paired rounds' ratios; "
          "instructions: callgrind, per operation or as ratios)")
    table.print()


if __name__ == "__main__":
    main()
