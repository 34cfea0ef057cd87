#!/bin/sh
# Takes the screenshot that the README shows: the editor on character 65 under Xvfb, with
# openbox's title bar, cropped to the window and its frame.
#
# scripts/screenshot.sh [EDITOR] [OUTPUT]   (build/bin/fontset-creator, docs/screenshot.png)
# The metainfo's, at twice the size of the small window:
#   QT_SCALE_FACTOR=2 scripts/screenshot.sh build/bin/fontset-creator docs/screenshot-2x.png
# Needs xvfb-run, openbox, xdotool, xprop and xwininfo (x11-utils) and ImageMagick's import:
# ./scripts/install-deps.sh --screenshot installs them.
set -eu

editor=${1:-build/bin/fontset-creator}
output=${2:-docs/screenshot.png}

if [ -z "${KORVALIN_SCREENSHOT_X:-}" ]; then
    for tool in xvfb-run openbox xdotool xprop xwininfo import; do
        command -v "$tool" >/dev/null 2>&1 || {
            echo "screenshot.sh: $tool is missing (./scripts/install-deps.sh --screenshot)" >&2
            exit 1
        }
    done
    [ -x "$editor" ] || { echo "screenshot.sh: $editor: no such program; build first" >&2; exit 1; }
    # A plain black root, so nothing of Xvfb's weave shows; openbox and the editor see a home
    # of their own.
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    HOME=$home KORVALIN_SCREENSHOT_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -br" \
        sh "$0" "$editor" "$output"
    echo "screenshot.sh: wrote $output"
    exit 0
fi

openbox &
wm=$!
editor_pid=""
trap 'kill $editor_pid $wm 2>/dev/null || true' EXIT
# openbox is ready once it has named itself on the root window.
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    tries=$((tries + 1))
    [ $tries -lt 100 ] || { echo "screenshot.sh: openbox did not start" >&2; exit 1; }
    sleep 0.1
done

"$editor" &
editor_pid=$!
window=$(timeout 30 xdotool search --sync --name '^Korvalin Font Set Creator 1\.0$' | head -n 1)
xdotool windowactivate --sync "$window"
# Switch Character, Uppercase letters, A.
xdotool key --delay 150 alt+s Down Down Right Return
# The frame appears once openbox has decorated the window.
tries=0
until extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | grep -o '[0-9, ]*$') &&
    [ -n "$extents" ]; do
    tries=$((tries + 1))
    [ $tries -lt 100 ] || { echo "screenshot.sh: the window got no frame" >&2; exit 1; }
    sleep 0.1
done
# Let the last repaint reach the screen before it is taken.
sleep 1

# xdotool counts the frame into a reparented window's place; xwininfo gives it plainly.
info=$(xwininfo -id "$window")
X=$(echo "$info" | awk '/Absolute upper-left X/ { print $NF }')
Y=$(echo "$info" | awk '/Absolute upper-left Y/ { print $NF }')
WIDTH=$(echo "$info" | awk '/Width:/ { print $NF }')
HEIGHT=$(echo "$info" | awk '/Height:/ { print $NF }')
left=$(echo "$extents" | cut -d, -f1 | tr -d ' ')
right=$(echo "$extents" | cut -d, -f2 | tr -d ' ')
top=$(echo "$extents" | cut -d, -f3 | tr -d ' ')
bottom=$(echo "$extents" | cut -d, -f4 | tr -d ' ')
width=$((WIDTH + left + right))
height=$((HEIGHT + top + bottom))
mkdir -p "$(dirname "$output")"
import -window root -crop "${width}x${height}+$((X - left))+$((Y - top))" +repage -strip "$output"
