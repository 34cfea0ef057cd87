#!/bin/sh
# Runs a Windows program under Wine in a prefix of its own: wine-run.sh PREFIX PROGRAM [ARG...]
# The prefix is made once (the slow part of Wine's first start) and kept for later runs.
set -eu

[ $# -ge 2 ] || { echo "usage: $0 PREFIX PROGRAM [ARG...]" >&2; exit 2; }
WINEPREFIX=$1
shift
export WINEPREFIX
# Quiet, and no offers to install Mono or Gecko: console programs need neither.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

if [ ! -f "$WINEPREFIX/.korvalin-ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Tests start in parallel; only one of them makes the prefix.
    exec 9>"$WINEPREFIX.lock"
    flock 9
    if [ ! -f "$WINEPREFIX/.korvalin-ready" ]; then
        "$wine" wineboot -i >/dev/null 2>&1
        wineserver=$(dirname "$wine")/wineserver
        [ -x "$wineserver" ] || wineserver=wineserver
        "$wineserver" -w
        touch "$WINEPREFIX/.korvalin-ready"
    fi
    flock -u 9
    exec 9>&-
fi

exec "$wine" "$@"
