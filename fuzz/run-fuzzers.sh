#!/bin/sh
# Runs every fuzz target for SECONDS (default 60) with a fixed seed, each on a scratch copy of
# its seed corpus so the repository's corpus never grows. Prints executions and coverage per
# target; exits non-zero when any target crashed or failed a check.
#
#   fuzz/run-fuzzers.sh BUILD_DIR [SECONDS]
#
# FUZZ_TARGETS picks targets (default: all four); FUZZ_FLAGS adds libFuzzer flags, e.g.
# FUZZ_FLAGS=-runs=10000000. Crash inputs and logs stay in BUILD_DIR/fuzz-results/.
set -u

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD_DIR [SECONDS]" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd) || exit 2
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
targets=${FUZZ_TARGETS:-"fontset_reader packer program_name font_import"}
results="$build_dir/fuzz-results"
mkdir -p "$results"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM

# The default font is 56636 bytes; a program image may be up to kMaxProgramSize + 16.
flags_for() {
    case $1 in
        fontset_reader) echo "-max_len=70000 -timeout=10" ;;
        packer) echo "-max_len=65600 -timeout=10" ;;
        # A console font of 512 glyphs of 16 rows with its table fits in 20000 bytes; the
        # gzipped PCF fonts of the corpus, the 5x7 misc-fixed font among them, in 30000.
        font_import) echo "-max_len=32000 -timeout=10" ;;
        *) echo "-max_len=256 -timeout=10" ;;
    esac
}

status=0
passed=0
failed=0
for target in $targets; do
    binary="$build_dir/bin/fuzz_$target"
    if [ ! -x "$binary" ]; then
        echo "$target: $binary is missing (configure with -DKORVALIN_BUILD_FUZZ=ON)" >&2
        status=1
        failed=$((failed + 1))
        continue
    fi
    corpus="$scratch/$target"
    mkdir -p "$corpus" "$results/$target"
    cp "$here/corpus/$target"/* "$corpus"/
    log="$results/$target.log"
    started=$(date +%s)
    # shellcheck disable=SC2046,SC2086 # the flags are meant to split into words
    "$binary" -seed=1 -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$results/$target/" $(flags_for "$target") ${FUZZ_FLAGS:-} \
        "$corpus" >"$log" 2>&1
    result=$?
    elapsed=$(($(date +%s) - started))
    # libFuzzer's last status line: "#N DONE cov: C ft: F corp: ..." or "#N NEW/REDUCE/pulse ...".
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
    runs=$(echo "$last" | sed -n 's/^#\([0-9]*\).*/\1/p')
    cov=$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    corp=$(echo "$last" | sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p')
    if [ $result -eq 0 ]; then
        verdict=ok
        passed=$((passed + 1))
    else
        verdict="FAILED (exit $result), see $log"
        status=1
        failed=$((failed + 1))
    fi
    echo "$target: ${runs:-?} executions in ${elapsed}s, cov: ${cov:-?} ft: ${ft:-?}," \
        "corpus ${corp:-?} (entries/size): $verdict"
done
echo "fuzz: $passed passed, $failed failed"
exit $status
