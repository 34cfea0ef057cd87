#!/bin/sh
# Draws data/icon.ico, the Windows program's icon, from data/icon.svg at every size Windows
# asks for, 16 to 256 pixels at 100 to 200 percent, in 32-bit colour (the two largest
# PNG-compressed, as Windows Vista on reads them). The 2- and 16-colour versions, drawn by
# pixel, are taken over from the current icon as they are, and the 16-colour one at 16
# pixels is the true-colour one too: a drawing that small blurs.
#
#   scripts/make-windows-icon.sh
# Needs icotool (icoutils) and rsvg-convert (librsvg2-bin):
# ./scripts/install-deps.sh --icon installs them.
set -eu
for tool in icotool rsvg-convert; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "make-windows-icon.sh: $tool is missing (./scripts/install-deps.sh --icon)" >&2
        exit 1
    }
done
data=$(cd "$(dirname "$0")/../data" && pwd)
work=$(mktemp -d)
trap 'rm -r "$work"' EXIT

icotool -x -o "$work" --bit-depth=1 "$data/icon.ico"
icotool -x -o "$work" --bit-depth=4 "$data/icon.ico"
set -- -b 1 "$work"/icon_*x1.png -b 4 "$work"/icon_*x4.png -b 32 "$work"/icon_*_16x16x4.png
for size in 20 24 32 40 48 64 96 256; do
    rsvg-convert -w $size -h $size "$data/icon.svg" -o "$work/$size.png"
    case $size in
    96 | 256) set -- "$@" -r "$work/$size.png" ;;
    *) set -- "$@" "$work/$size.png" ;;
    esac
done
icotool -c -o "$work/icon.ico" "$@"
mv "$work/icon.ico" "$data/icon.ico"
icotool -l "$data/icon.ico"
