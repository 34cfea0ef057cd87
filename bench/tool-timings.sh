#!/bin/bash
# Times korvalin-font as a whole process (start-up included), the median of RUNS runs each,
# and prints each figure beside its goal. Goals missed are reported, not failed.
#
#   bench/tool-timings.sh BUILD_DIR [RUNS]
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: bench/tool-timings.sh BUILD_DIR [RUNS]" >&2
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

# Median wall time of a command in microseconds.
median_us() {
    local times=()
    for ((i = 0; i < runs; i++)); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

# A figure, its goal and whether it meets it: report NAME VALUE GOAL UNIT (lower is better).
report() {
    local verdict=ok
    if awk "BEGIN { exit !($2 > $3) }"; then verdict="MISSED"; fi
    printf '%-34s %8s %-3s goal < %-5s %s\n' "$1" "$2" "$4" "$3" "$verdict"
}

ms() { awk "BEGIN { printf \"%.1f\", $1 / 1000 }"; }

check=$(median_us "$tool" check set.8xfont)
packer=$(median_us "$bin/prgforge" FONT1)
import=$(median_us "$tool" import "$pcf" -o imported.8xfont --base set.8xfont)
render=$(median_us "$tool" render set.8xfont -o sheet.png)
compile=$(median_us "$tool" compile set.8xfont FONT2)

echo "korvalin-font, whole process, median of $runs runs"
report "check / prgforge (ratio)" "$(awk "BEGIN { printf \"%.2f\", $check / $packer }")" 1.5 x
echo "  (check $(ms "$check") ms, prgforge $(ms "$packer") ms)"
if [ -f "$pcf" ]; then
    report "import of the 5x7 PCF" "$(ms "$import")" 20 ms
else
    echo "import of the 5x7 PCF: $pcf is missing (Debian's xfonts-base); skipped"
fi
report "render of the sheet" "$(ms "$render")" 30 ms
report "compile" "$(ms "$compile")" 10 ms
