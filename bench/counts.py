#!/usr/bin/env python3
"""Counts what a busy machine does not change, for run-all.sh and summarize.py: the
instructions of the benchmarks under callgrind and the system calls of a save under strace.

    counts.py BUILD_DIR OUT.json
    counts.py --program-image SET_FILE IMAGE_FILE   (the packer's input, for tool-timings.sh)

- core_bench, font_bench and ui_bench (but its Compile) run under callgrind; each
  benchmark's timed loop writes its own profile (bench/CountedLoop.h), and the instructions
  of one iteration are those of its longest run divided by its iterations.
- korvalin-font's commands and their floors run whole under callgrind, start-up included,
  on the files tool-timings.sh uses.
- save_calls runs under strace, and the calls between each pair of its marks are counted.

Writes {"per_iteration": {BENCHMARK: INSTRUCTIONS}, "processes": {NAME: INSTRUCTIONS},
"save_calls": {NAME: CALLS}}; what cannot run (no ui_bench, no font) is left out.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
SET_FILE = HERE.parent / "data" / "default.8xfont"
PCF = Path("/usr/share/fonts/X11/misc/5x7.pcf.gz")
MARK = re.compile(r'"<<mark (\S+) (begin|end)>>"')


def callgrind(argv, out_folder, cwd, env=None):
    """Runs argv under callgrind, its profiles going to out_folder."""
    command = ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out_folder}/%p.out"] + argv
    subprocess.run(command, cwd=cwd, env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def profiles(folder):
    """(description, total instructions) of each profile in folder."""
    for path in sorted(Path(folder).iterdir()):
        description, total = "", None
        with path.open(errors="replace") as lines:
            for line in lines:
                if line.startswith("desc: Trigger: "):
                    description = line[len("desc: Trigger: "):].strip()
                elif line.startswith("totals: "):
                    total = int(line.split()[1])
                    break
        if total is not None:
            yield description, total


def per_iteration(argv, env=None):
    """Instructions of one iteration of each benchmark of a Google Benchmark program."""
    with tempfile.TemporaryDirectory() as folder:
        callgrind(argv + ["--benchmark_min_time=0.05"], folder, folder, env)
        longest = {}
        for description, total in profiles(folder):
            request = re.fullmatch(r"Client Request: (\S+) (\d+)", description)
            if request and int(request.group(2)) > 0:
                name, iterations = request.group(1), int(request.group(2))
                if iterations >= longest.get(name, (0, 0))[0]:
                    longest[name] = (iterations, total)
        return {name: total / iterations for name, (iterations, total) in longest.items()}


def whole_processes(bin_folder):
    """Instructions of korvalin-font's commands and of their floors, as whole processes."""
    tool, counts = bin_folder / "korvalin-font", {}
    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        shutil.copy(SET_FILE, work / "set.8xfont")
        write_program_image(work / "set.8xfont", work / "FONT1.bin")
        runs = {
            "check": [tool, "check", "set.8xfont"],
            "check_floor": [bin_folder / "set_read_floor", "set.8xfont"],
            "compile": [tool, "compile", "set.8xfont", "FONT2"],
            "prgforge": [bin_folder / "prgforge", "FONT1"],
            "render": [tool, "render", "set.8xfont", "-o", "sheet.png"],
        }
        if PCF.exists():
            runs["import"] = [tool, "import", str(PCF), "-o", "imported.8xfont", "--base",
                              "set.8xfont"]
        for name, argv in runs.items():
            with tempfile.TemporaryDirectory() as folder:
                callgrind([str(word) for word in argv], folder, work)
                counts[name] = sum(total for _, total in profiles(folder))
    return counts


def write_program_image(set_file, image_file):
    """The packer's input, as the editor's Compile makes it of the set."""
    cells = [int(v) for v in Path(set_file).read_text().split()]
    rows = bytes(sum((1 - (cells[c * 35 + r * 5 + k] & 1)) << (4 - k) for k in range(5))
                 for c in range(256) for r in range(7))
    Path(image_file).write_bytes(bytes([0xBB, 0x6D, 0xC9]) + b"korvalin" + rows)


def save_calls(bin_folder):
    """System calls between each pair of save_calls's marks."""
    counts = {}
    for mode in ("existing", "new"):
        with tempfile.TemporaryDirectory() as folder:
            trace = Path(folder) / "trace"
            sets = Path(folder) / "sets"
            sets.mkdir()
            subprocess.run(["strace", "-qq", "-o", str(trace), str(bin_folder / "save_calls"),
                            mode, str(sets)], check=True)
            name, calls = None, 0
            for line in trace.read_text(errors="replace").splitlines():
                mark = MARK.search(line)
                if mark and mark.group(2) == "begin":
                    name, calls = mark.group(1), 0
                elif mark:
                    counts[name] = calls
                    name = None
                elif name and not line.startswith(("+++", "---")):
                    calls += 1
    return counts


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--program-image":
        write_program_image(sys.argv[2], sys.argv[3])
        return
    if len(sys.argv) != 3:
        sys.exit("usage: bench/counts.py BUILD_DIR OUT.json\n"
                 "       bench/counts.py --program-image SET_FILE IMAGE_FILE")
    bin_folder = Path(sys.argv[1]).resolve() / "bin"
    for needed in ("valgrind", "strace"):
        if shutil.which(needed) is None:
            sys.exit(f"counts.py: {needed} is missing (Debian's {needed} package)")
    report = {"per_iteration": per_iteration([str(bin_folder / "core_bench")])}
    if (bin_folder / "font_bench").exists():
        report["per_iteration"].update(per_iteration([str(bin_folder / "font_bench")]))
    if (bin_folder / "ui_bench").exists():
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        # Compile's work is the packer's process, which callgrind does not follow; and
        # Debian's valgrind does not know pidfd_open, by which the editor watches it.
        report["per_iteration"].update(per_iteration(
            [str(bin_folder / "ui_bench"), "--benchmark_filter=-BM_CompileEndToEnd"], env))
    if (bin_folder / "korvalin-font").exists():
        report["processes"] = whole_processes(bin_folder)
    report["save_calls"] = save_calls(bin_folder)
    Path(sys.argv[2]).write_text(json.dumps(report, indent=1) + "\n")


if __name__ == "__main__":
    main()
