#!/bin/bash
# Times korvalin-font as a whole process (start-up included), the median of RUNS runs each,
# check and compile against floors that do the same work, and prints each figure beside its
# goal. Goals missed are reported, not failed; counts.py counts the same runs' instructions.
#
#   bench/tool-timings.sh [--json FILE] BUILD_DIR [RUNS]
#
# With --json the figures also go to FILE, in milliseconds, for summarize.py.
set -euo pipefail

json=
if [ "${1:-}" = --json ] && [ $# -ge 2 ]; then
    json=$(realpath "$2")
    shift 2
fi
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: bench/tool-timings.sh [--json FILE] BUILD_DIR [RUNS]" >&2
    exit 2
fi
bin=$(cd "$1" && pwd)/bin
runs=${2:-21}
here=$(cd "$(dirname "$0")" && pwd)
tool="$bin/korvalin-font"
set_file="$here/../data/default.8xfont"
pcf=/usr/share/fonts/X11/misc/5x7.pcf.gz
for needed in "$tool" "$bin/prgforge" "$bin/set_read_floor"; do
    if [ ! -x "$needed" ]; then
        echo "tool-timings.sh: $needed is missing; build it first" >&2
        exit 1
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$set_file" set.8xfont
python3 "$here/counts.py" --program-image set.8xfont FONT1.bin

timed() { python3 "$here/time_runs.py" "$runs" "$@"; }

# A figure, its goal and whether it meets it: report NAME VALUE GOAL UNIT (lower is better).
report() {
    local verdict=ok
    if awk "BEGIN { exit !($2 > $3) }"; then verdict="MISSED"; fi
    printf '%-44s %8s %-3s goal < %-5s %s\n' "$1" "$2" "$4" "$3" "$verdict"
}

ms() { awk "BEGIN { printf \"%.2f\", $1 / 1000 }"; }

# Each line: the median wall and CPU time in microseconds; a command against its floor, one
# doing the same work, in paired runs, its ratios first. check reads a set as the floor does;
# compile reads one and writes a program file, flushed, as the packer does from its image.
figures=$(timed --pair "$tool" check set.8xfont --against "$bin/set_read_floor" set.8xfont)
read -r check_ratio check_cpu_ratio check check_floor check_cpu check_floor_cpu <<<"$figures"
figures=$(timed --pair "$tool" compile set.8xfont FONT2 --against "$bin/prgforge" FONT1)
read -r compile_ratio compile_cpu_ratio compile packer compile_cpu packer_cpu <<<"$figures"
import= import_cpu=
if [ -f "$pcf" ]; then
    figures=$(timed "$tool" import "$pcf" -o imported.8xfont --base set.8xfont)
    read -r import import_cpu <<<"$figures"
fi
figures=$(timed "$tool" render set.8xfont -o sheet.png)
read -r render render_cpu <<<"$figures"

echo "korvalin-font, whole process, median of $runs runs (CPU time in brackets)"
echo "check / its floor (paired): ${check_ratio}x, CPU ${check_cpu_ratio}x (medians" \
    "$(ms "$check") [$(ms "$check_cpu")] / $(ms "$check_floor") [$(ms "$check_floor_cpu")] ms)"
report "compile / prgforge (paired ratio)" "$compile_ratio" 1.3 x
echo "  (CPU time ratio $compile_cpu_ratio; medians: compile $(ms "$compile") ms" \
    "[$(ms "$compile_cpu")], prgforge $(ms "$packer") ms [$(ms "$packer_cpu")])"
if [ -n "$import" ]; then
    report "import of the 5x7 PCF [$(ms "$import_cpu") ms]" "$(ms "$import")" 20 ms
else
    echo "import of the 5x7 PCF: $pcf is missing (Debian's xfonts-base); skipped"
fi
report "render of the sheet [$(ms "$render_cpu") ms]" "$(ms "$render")" 30 ms

if [ -n "$json" ]; then
    ms_or_null() { if [ -n "$1" ]; then ms "$1"; else echo null; fi; }
    cat >"$json" <<EOF
{"runs": $runs,
 "check_ratio": $check_ratio, "check_cpu_ratio": $check_cpu_ratio,
 "check_ms": $(ms "$check"), "check_floor_ms": $(ms "$check_floor"),
 "compile_ratio": $compile_ratio, "compile_cpu_ratio": $compile_cpu_ratio,
 "compile_ms": $(ms "$compile"), "prgforge_ms": $(ms "$packer"),
 "import_ms": $(ms_or_null "$import"), "import_cpu_ms": $(ms_or_null "$import_cpu"),
 "render_ms": $(ms "$render"), "render_cpu_ms": $(ms "$render_cpu")}
EOF
fi
