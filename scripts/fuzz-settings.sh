#!/usr/bin/env bash
# Builds the libFuzzer target for the settings text rules with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it for the given number of seconds (default 60).
# Needs clang++ and its fuzzer run-time (Debian: clang, libclang-rt-14-dev or the version's own).
# Work files go to $CORVANTIS_FUZZ_DIR (default: a folder under ${TMPDIR:-/tmp}); a crashing
# input is kept there as crash-* and the script exits non-zero.
set -euo pipefail

seconds="${1:-60}"
case "$seconds" in
    '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;;
esac

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="${CORVANTIS_FUZZ_DIR:-${TMPDIR:-/tmp}/corvantis-fuzz-settings}"
cxx="${CXX_FUZZ:-clang++}"

if ! command -v "$cxx" >/dev/null; then
    echo "$0: $cxx not found (apt-get install clang libclang-rt-dev)" >&2
    exit 1
fi

mkdir -p "$work/corpus"
cp -n "$repo"/fuzz/seeds/settings_text/* "$work/corpus/" 2>/dev/null || true

"$cxx" -std=c++20 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I "$repo" \
    "$repo/fuzz/settings_text_fuzz.cpp" "$repo/settings/settings_text.cpp" \
    -o "$work/settings_text_fuzz"

echo "fuzzing the settings text rules for ${seconds} s in $work"
"$work/settings_text_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus"
