#!/bin/bash
# Runs every benchmark of a build and prints each figure beside its goal.
#
#   bench/run-all.sh BUILD_DIR
#
# The micro-benchmarks run briefly (0.2 s each), the start-up benchmark on a private X
# server from xvfb-run. Then everything runs again under callgrind, and a save under strace
# (counts.py), for the counts that a busy machine does not change, by which the goals are
# judged. Goals missed are reported, not failed.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: bench/run-all.sh BUILD_DIR" >&2
    exit 2
fi
bin=$(cd "$1" && pwd)/bin
here=$(cd "$(dirname "$0")" && pwd)
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

# libbenchmark 1.7 takes the minimum time as seconds without a unit.
min_time=0.2

if [ ! -x "$bin/core_bench" ]; then
    echo "run-all.sh: $bin/core_bench is missing; build first (cmake --build $1)" >&2
    exit 1
fi
for needed in valgrind strace; do
    if ! command -v "$needed" >/dev/null; then
        echo "run-all.sh: $needed is missing; install Debian's $needed package" >&2
        exit 1
    fi
done
echo "== core_bench"
"$bin/core_bench" --benchmark_min_time=$min_time \
    --benchmark_out="$results/core.json" --benchmark_out_format=json

if [ -x "$bin/font_bench" ]; then
    echo
    echo "== font_bench"
    "$bin/font_bench" --benchmark_min_time=$min_time \
        --benchmark_out="$results/font.json" --benchmark_out_format=json
else
    echo "run-all.sh: no font_bench in $bin (built without korvalin-font); skipped" >&2
fi

if [ -x "$bin/ui_bench" ]; then
    echo
    echo "== ui_bench"
    QT_QPA_PLATFORM=offscreen "$bin/ui_bench" --benchmark_min_time=$min_time \
        --benchmark_out="$results/ui.json" --benchmark_out_format=json
else
    echo "run-all.sh: no ui_bench in $bin (built without the editor window); skipped" >&2
fi

if [ -x "$bin/startup_bench" ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "run-all.sh: xvfb-run is missing; install Debian's xvfb package to time the start-up" >&2
        exit 1
    fi
    # Without its default set the editor would time its error message instead.
    if [ ! -f "$bin/default.8xfont" ]; then
        echo "run-all.sh: $bin/default.8xfont is missing; the editor cannot start without it" >&2
        exit 1
    fi
    echo
    echo "== startup_bench: fontset-creator (A) against bare_window (B)"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$bin/startup_bench" --json "$results/startup.json" \
        "$bin/fontset-creator" "$bin/bare_window"
    echo
    echo "== startup_bench: fontset-creator (A) against bare_text_window (B)"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$bin/startup_bench" --callgrind 3 \
        --json "$results/startup-text.json" "$bin/fontset-creator" "$bin/bare_text_window"
else
    echo "run-all.sh: no startup_bench in $bin (built without the window or libxcb); skipped" >&2
fi

if [ -x "$bin/korvalin-font" ]; then
    echo
    echo "== tool-timings.sh: korvalin-font"
    "$here/tool-timings.sh" --json "$results/tools.json" "$1"
else
    echo "run-all.sh: no korvalin-font in $bin (built without Qt); skipped" >&2
fi

echo
echo "== counts.py: instructions under callgrind, system calls under strace"
python3 "$here/counts.py" "$1" "$results/counts.json"

echo
python3 "$here/summarize.py" "$results"
