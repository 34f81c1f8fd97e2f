#!/usr/bin/env bash
# frame-bench.sh [FRAMES]: builds the Windows frame benchmark and runs it in a Wine session
# (a private Xvfb of 1920x1080 when no DISPLAY is given). Build tree: $CORVANTIS_BUILD_DIR, by
# default build/windows.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANTIS_BUILD_DIR:-$top/build/windows}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "${CORVANTIS_JOBS:-2}" --target frame_bench wine_idle
bash "$top/scripts/wine-session.sh" "$build/wine" "$build/bin/wine_idle.exe" \
  bash "$top/scripts/wine-exec.sh" nt "$build/bin/frame_bench.exe" "$@"
