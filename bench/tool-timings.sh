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

# Wall time of one run of a command in microseconds. EPOCHREALTIME needs no process of its
# own, so the figure holds the command alone and not the start of a clock program as well.
run_us() {
    local start end
    start=${EPOCHREALTIME/[.,]/}
    # A run that fails would time its error message.
    if ! "$@" >/dev/null 2>&1; then
        echo "tool-timings.sh: $* failed" >&2
        exit 1
    fi
    end=${EPOCHREALTIME/[.,]/}
    echo $((end - start))
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Median wall time of a command in microseconds.
median_us() {
    for ((i = 0; i < runs; i++)); do run_us "$@"; done | median
}

# The check against the packer in pairs of runs, in turns of which goes first, and the median
# of the pairs' own ratios: a slow moment of a busy machine then weighs on both sides of one
# ratio. Prints the ratio and the median times of both in microseconds.
paired_check() {
    local ratios=() checks=() packs=() c p
    for ((i = 0; i < runs; i++)); do
        if ((i % 2)); then
            p=$(run_us "$bin/prgforge" FONT1)
            c=$(run_us "$tool" check set.8xfont)
        else
            c=$(run_us "$tool" check set.8xfont)
            p=$(run_us "$bin/prgforge" FONT1)
        fi
        checks+=("$c")
        packs+=("$p")
        ratios+=("$(awk "BEGIN { print $c / $p }")")
    done
    echo "$(printf '%s\n' "${ratios[@]}" | median)" \
        "$(printf '%s\n' "${checks[@]}" | median)" "$(printf '%s\n' "${packs[@]}" | median)"
}

# A figure, its goal and whether it meets it: report NAME VALUE GOAL UNIT (lower is better).
report() {
    local verdict=ok
    if awk "BEGIN { exit !($2 > $3) }"; then verdict="MISSED"; fi
    printf '%-34s %8s %-3s goal < %-5s %s\n' "$1" "$2" "$4" "$3" "$verdict"
}

ms() { awk "BEGIN { printf \"%.1f\", $1 / 1000 }"; }

read -r ratio check packer < <(paired_check)
import=
if [ -f "$pcf" ]; then import=$(median_us "$tool" import "$pcf" -o imported.8xfont --base set.8xfont); fi
render=$(median_us "$tool" render set.8xfont -o sheet.png)
compile=$(median_us "$tool" compile set.8xfont FONT2)

echo "korvalin-font, whole process, median of $runs runs"
report "check / prgforge (paired ratio)" "$(awk "BEGIN { printf \"%.2f\", $ratio }")" 1.5 x
echo "  (medians: check $(ms "$check") ms, prgforge $(ms "$packer") ms)"
if [ -f "$pcf" ]; then
    report "import of the 5x7 PCF" "$(ms "$import")" 20 ms
else
    echo "import of the 5x7 PCF: $pcf is missing (Debian's xfonts-base); skipped"
fi
report "render of the sheet" "$(ms "$render")" 30 ms
report "compile" "$(ms "$compile")" 10 ms

if [ -n "$json" ]; then
    ms_or_null() { if [ -n "$1" ]; then ms "$1"; else echo null; fi; }
    cat >"$json" <<EOF
{"runs": $runs, "check_ratio": $ratio, "check_ms": $(ms "$check"), "prgforge_ms": $(ms "$packer"),
 "import_ms": $(ms_or_null "$import"), "render_ms": $(ms "$render"), "compile_ms": $(ms "$compile")}
EOF
fi
