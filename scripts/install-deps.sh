#!/bin/sh
# Installs the Debian 12 packages that building, running and testing need, if any is missing.
set -eu

# Building and the editor; the tests and benchmarks; the fuzzers and the format check; font
# import and its test fonts; installing and its checks; the Windows build under Wine, with
# chattr for a folder that takes no new files even from root.
packages="cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev
libgtest-dev googletest libbenchmark-dev libtifiles-dev xvfb xauth
clang clang-format libclang-rt-14-dev
libfreetype-dev libpng-dev zlib1g-dev xfonts-base console-setup-linux fonts-dejavu-core
help2man desktop-file-utils appstream libxml2-utils shared-mime-info man-db xdotool openbox
g++-mingw-w64-x86-64-posix wine64 e2fsprogs"
# Only scripts/screenshot.sh needs ImageMagick and xprop: --screenshot adds them.
[ "${1:-}" = "--screenshot" ] && packages="$packages imagemagick x11-utils"

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
