#!/bin/sh
# Installs the Debian 12 packages that building, running and testing need, if any is missing.
set -eu

packages="cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev \
libgtest-dev libbenchmark-dev libtifiles-dev xvfb xauth clang libclang-rt-14-dev \
libfreetype-dev libpng-dev zlib1g-dev xfonts-base console-setup-linux fonts-dejavu-core"

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
