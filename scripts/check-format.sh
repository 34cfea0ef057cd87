#!/bin/sh
# Fails when a C++ file of the repository differs from what clang-format makes of it.
set -eu
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format.sh: clang-format is missing" >&2; exit 1; }
# shellcheck disable=SC2046 # one word a file
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "clang-format: every file is formatted"
