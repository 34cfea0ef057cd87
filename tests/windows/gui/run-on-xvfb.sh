#!/bin/sh
# Runs a command on an X display of its own: run-on-xvfb.sh PREFIX COMMAND [ARG...]
# Wine's desktop process lives on the display of the run that started it; the run ends only
# once PREFIX's wineserver has, so the next run's Wine starts afresh on its own display.
set -u
[ $# -ge 2 ] || { echo "usage: $0 PREFIX COMMAND [ARG...]" >&2; exit 2; }
prefix=$1
shift
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver64 || command -v wineserver)
xvfb-run -a -s "-screen 0 1024x768x24" "$@"
status=$?
WINEPREFIX=$prefix "$wineserver" -w
exit $status
