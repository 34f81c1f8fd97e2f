#!/usr/bin/env bash
# Builds everything and runs every test tier:
#   1. the native unit tests of the platform-free core,
#   2. the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
#   3. the Windows tests and the end-to-end runs of corvantis.scr under Wine.
# Build trees: build/native, build/asan, build/windows (the Wine prefixes live in build/windows/wine).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/prerequisites.sh

jobs=${CORVANTIS_JOBS:-$(nproc)}
configure() { # dir, extra cmake arguments
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

configure build/native
cmake --build build/native -j "$jobs"
configure build/asan -DCORVANTIS_SANITIZE=ON
cmake --build build/asan -j "$jobs"
configure build/windows -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake"
cmake --build build/windows -j "$jobs"

status=0
echo "== native unit tests"
ctest --test-dir build/native --output-on-failure || status=1
echo "== native unit tests under ASan and UBSan"
ctest --test-dir build/asan --output-on-failure || status=1
echo "== Windows tests under Wine"
bash scripts/wine-session.sh "$top/build/windows/wine" "$top/build/windows/bin/wine_idle.exe" \
  ctest --test-dir build/windows --output-on-failure || status=1
exit $status
