#!/usr/bin/env python3
"""Start-up to the window on screen under Wine: fontset-creator.exe against a bare Win32
window with the same menu bar and a label, in paired rounds on one X display (run it under
xvfb-run). Prints each program's median and the ratio of the paired times.

usage: startup.py WINE_RUN PREFIX BIN_DIR [ROUNDS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

PROGRAMS = [("fontset-creator.exe", "Korvalin Font Set Creator 1.0"),
            ("bare_win32_window.exe", "Korvalin Bare Window")]


def shown(title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"],
                           capture_output=True, text=True)
    return bool(found.stdout.split())


def start_up(wine_run, prefix, program, title):
    began = time.monotonic()
    process = subprocess.Popen([wine_run, prefix, program], stdout=subprocess.DEVNULL)
    try:
        while not shown(title):
            if process.poll() is not None or time.monotonic() - began > 60:
                raise SystemExit(f"{program} showed no window (status {process.poll()})")
        return time.monotonic() - began
    finally:
        # Every process of the prefix ends, its desktop too: each start begins alike.
        wineserver = {**os.environ, "WINEPREFIX": prefix}
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=wineserver)
        process.wait()
        subprocess.run(["/usr/lib/wine/wineserver", "-w"], env=wineserver)


def main():
    wine_run, prefix, bin_dir = sys.argv[1:4]
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 10
    with tempfile.TemporaryDirectory(prefix="korvalin-startup-") as folder:
        for name in ("fontset-creator.exe", "default.8xfont", "bare_win32_window.exe"):
            shutil.copy(os.path.join(bin_dir, name), folder)
        # One unmeasured start of each warms Wine's files.
        for program, title in PROGRAMS:
            start_up(wine_run, prefix, os.path.join(folder, program), title)
        times = {program: [] for program, _ in PROGRAMS}
        for round_ in range(rounds):
            order = PROGRAMS if round_ % 2 == 0 else list(reversed(PROGRAMS))
            for program, title in order:
                times[program].append(start_up(wine_run, prefix, os.path.join(folder, program),
                                               title))
    editor, bare = (times[program] for program, _ in PROGRAMS)
    ratios = [e / b for e, b in zip(editor, bare)]
    print(f"editor median {statistics.median(editor) * 1000:.0f} ms, bare window median "
          f"{statistics.median(bare) * 1000:.0f} ms, paired ratio median "
          f"{statistics.median(ratios):.2f} (min {min(ratios):.2f}, max {max(ratios):.2f}), "
          f"{rounds} rounds")


if __name__ == "__main__":
    main()
