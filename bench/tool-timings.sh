#!/bin/bash
# Times korvalin-font as a whole process (start-up included), the median of RUNS runs each,
# and prints each figure beside its goal. Goals missed are reported, not failed.
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
for needed in "$tool" "$bin/prgforge"; do
    if [ ! -x "$needed" ]; then
        echo "tool-timings.sh: $needed is missing; build it first" >&2
        exit 1
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$set_file" set.8xfont
# The packer's input, as the editor's Compile leaves it.
python3 -c "
import sys
cells = [int(v) for v in open('set.8xfont').read().split()]
image = bytes([0xBB, 0x6D, 0xC9]) + b'korvalin' + bytes(
    sum((1 - (cells[c * 35 + r * 5 + k] & 1)) << (4 - k) for k in range(5))
    for c in range(256) for r in range(7))
open('FONT1.bin', 'wb').write(image)"

timed() { python3 "$here/time_runs.py" "$runs" "$@"; }

# A figure, its goal and whether it meets it: report NAME VALUE GOAL UNIT (lower is better).
report() {
    local verdict=ok
    if awk "BEGIN { exit !($2 > $3) }"; then verdict="MISSED"; fi
    printf '%-44s %8s %-3s goal < %-5s %s\n' "$1" "$2" "$4" "$3" "$verdict"
}

ms() { awk "BEGIN { printf \"%.2f\", $1 / 1000 }"; }

# Each line: the median wall and CPU time in microseconds; the check against the packer as
# paired runs, its ratios first.
figures=$(timed --pair "$tool" check set.8xfont --against "$bin/prgforge" FONT1)
read -r ratio cpu_ratio check packer check_cpu packer_cpu <<<"$figures"
import= import_cpu=
if [ -f "$pcf" ]; then
    figures=$(timed "$tool" import "$pcf" -o imported.8xfont --base set.8xfont)
    read -r import import_cpu <<<"$figures"
fi
figures=$(timed "$tool" render set.8xfont -o sheet.png)
read -r render render_cpu <<<"$figures"
figures=$(timed "$tool" compile set.8xfont FONT2)
read -r compile compile_cpu <<<"$figures"

echo "korvalin-font, whole process, median of $runs runs (CPU time in brackets)"
report "check / prgforge (paired ratio)" "$ratio" 1.5 x
echo "  (CPU time ratio $cpu_ratio; medians: check $(ms "$check") ms [$(ms "$check_cpu")]," \
    "prgforge $(ms "$packer") ms [$(ms "$packer_cpu")])"
if [ -n "$import" ]; then
    report "import of the 5x7 PCF [$(ms "$import_cpu") ms]" "$(ms "$import")" 20 ms
else
    echo "import of the 5x7 PCF: $pcf is missing (Debian's xfonts-base); skipped"
fi
report "render of the sheet [$(ms "$render_cpu") ms]" "$(ms "$render")" 30 ms
report "compile [$(ms "$compile_cpu") ms]" "$(ms "$compile")" 10 ms

if [ -n "$json" ]; then
    ms_or_null() { if [ -n "$1" ]; then ms "$1"; else echo null; fi; }
    cat >"$json" <<EOF
{"runs": $runs, "check_ratio": $ratio, "check_cpu_ratio": $cpu_ratio,
 "check_ms": $(ms "$check"), "prgforge_ms": $(ms "$packer"),
 "check_cpu_ms": $(ms "$check_cpu"), "prgforge_cpu_ms": $(ms "$packer_cpu"),
 "import_ms": $(ms_or_null "$import"), "import_cpu_ms": $(ms_or_null "$import_cpu"),
 "render_ms": $(ms "$render"), "render_cpu_ms": $(ms "$render_cpu"),
 "compile_ms": $(ms "$compile"), "compile_cpu_ms": $(ms "$compile_cpu")}
EOF
fi
