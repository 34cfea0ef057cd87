#!/bin/sh
# Installs the Debian 12 packages that building, running and testing need, if any is missing.
#
#   scripts/install-deps.sh [--install | --screenshot | --icon]
#
# --install takes only what building and installing the programs need (make install);
# --screenshot adds what scripts/screenshot.sh needs; --icon takes only the two tools that
# scripts/make-windows-icon.sh draws the Windows icon with (icoutils, librsvg2-bin).
# Without root or sudo it names the packages and the command that installs them as root,
# and exits 2.
set -eu

# Building and the editor, and installing it: the programs, their manual pages, the file type
# database and the uninstall script.
build="cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libfreetype-dev libpng-dev
zlib1g-dev libcli11-dev help2man shared-mime-info python3"
# The tests and benchmarks, with the counters of instructions and system calls that the
# benchmarks' goals are judged by; the fuzzers and the format check; the test fonts; the
# checks of an install; the Windows build under Wine, with chattr for a folder that takes no
# new files even from root, and ImageMagick's import, through which its window's test reads
# the screen.
tests="libgtest-dev googletest libbenchmark-dev valgrind strace libtifiles-dev xvfb xauth
clang clang-format libclang-rt-14-dev
xfonts-base xfonts-terminus console-setup-linux fonts-dejavu-core otf2bdf unifont-bin xfonts-utils
fonts-noto-mono fonts-terminus fonts-liberation2
desktop-file-utils appstream libxml2-utils man-db xdotool openbox
g++-mingw-w64-x86-64-posix libz-mingw-w64-dev libstb-dev wine64 e2fsprogs imagemagick"
case ${1:-} in
--install) packages=$build ;;
# Only scripts/screenshot.sh needs xprop and xwininfo.
--screenshot) packages="$build $tests x11-utils" ;;
--icon) packages="icoutils librsvg2-bin" ;;
"") packages="$build $tests" ;;
*)
    echo "usage: $0 [--install | --screenshot | --icon]" >&2
    exit 2
    ;;
esac

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
[ -z "$missing" ] && exit 0

command="apt-get install -y --no-install-recommends$missing"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        cat >&2 <<MESSAGE
install-deps.sh: these Debian packages are missing:$missing
Install them as root, then run make again; for instance with su:
    su -c 'apt-get update && $command'
MESSAGE
        exit 2
    fi
    sudo="sudo"
fi
echo "Installing:$missing"
$sudo apt-get update
# shellcheck disable=SC2086 # one word a package
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
