#!/usr/bin/env python3
"""Times commands as whole processes, start-up included, for tool-timings.sh.

    time_runs.py RUNS COMMAND...               median wall and CPU time of the runs
    time_runs.py RUNS --pair A... --against B...  A against B in paired runs

Prints the figures in microseconds on one line: "WALL CPU" for one command; for a pair
"RATIO CPU_RATIO A_WALL B_WALL A_CPU B_CPU", where the ratios are the medians of each
pair's own ratio and the pairs take turns in which goes first, so that a slow moment of a
busy machine weighs on both sides of one ratio. CPU time is user and system time of the
process as the kernel reports it when it ends; it tells how much of the wall time other
work on the machine took. A command that fails stops the timing: it would time its error.
"""
import os
import statistics
import sys
import time


def run(argv):
    """Wall and CPU time of one run of argv, in microseconds."""
    quiet = [(os.POSIX_SPAWN_OPEN, fd, os.devnull, os.O_WRONLY, 0) for fd in (1, 2)]
    start = time.perf_counter()
    pid = os.posix_spawnp(argv[0], argv, os.environ, file_actions=quiet)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"time_runs.py: {' '.join(argv)} failed")
    return wall * 1e6, (usage.ru_utime + usage.ru_stime) * 1e6


def main():
    runs, command = int(sys.argv[1]), sys.argv[2:]
    if command[:1] != ["--pair"]:
        times = [run(command) for _ in range(runs)]
        print(f"{statistics.median(t[0] for t in times):.0f} "
              f"{statistics.median(t[1] for t in times):.0f}")
        return
    split = command.index("--against")
    a, b = command[1:split], command[split + 1:]
    pairs = []
    for i in range(runs):
        if i % 2:
            (b_wall, b_cpu), (a_wall, a_cpu) = run(b), run(a)
        else:
            (a_wall, a_cpu), (b_wall, b_cpu) = run(a), run(b)
        pairs.append((a_wall / b_wall, a_cpu / max(b_cpu, 1.0), a_wall, b_wall, a_cpu, b_cpu))
    columns = [statistics.median(pair[i] for pair in pairs) for i in range(6)]
    print(f"{columns[0]:.3f} {columns[1]:.3f} " + " ".join(f"{c:.0f}" for c in columns[2:]))


if __name__ == "__main__":
    main()
