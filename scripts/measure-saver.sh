#!/usr/bin/env bash
# measure-saver.sh [SECONDS] [MINUTES]: runs corvantis.scr /s full screen at 1920x1080 under Wine
# (private Xvfb) and reports
#   - the CPU it uses over SECONDS (default 30) as a share of one core: the saver's process, the
#     wineserver and the X server, once with the default settings and once with a margin that
#     leaves every frame empty (timer, fill and copy only, no strokes);
#   - the saver's resident memory after 1 minute and after MINUTES (default 10) of frames.
# Needs a built build/windows (bash scripts/test.sh or scripts/run-saver.sh builds it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30} minutes=${2:-10}
build=${CORVANTIS_BUILD_DIR:-$top/build/windows}
export CORVANTIS_SCREEN=1920x1080
unset DISPLAY

inner() {
  local ini="$CORVANTIS_WINE_ROOT/nt/drive_c/windows/CorvantisZireRE.ini"
  ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
  hz=$(getconf CLK_TCK)
  saver_pid() { pgrep -f 'corvantis.scr /s' | head -n 1; }
  server_pid() { pgrep -f "wineserver.*" | head -n 1; }
  x_pid() { pgrep -f "Xvfb $DISPLAY" | head -n 1; }
  run_one() { # label
    "$top/scripts/wine-exec.sh" nt "$build/bin/corvantis.scr" /s &
    local launcher=$!
    for _ in $(seq 100); do [ -n "$(saver_pid)" ] && break; sleep 0.1; done
    sleep 5  # let start-up finish before counting
    local p s x; p=$(saver_pid) s=$(server_pid) x=$(x_pid)
    local p0 s0 x0; p0=$(ticks "$p") s0=$(ticks "$s") x0=$(ticks "$x")
    sleep "$seconds"
    local p1 s1 x1; p1=$(ticks "$p") s1=$(ticks "$s") x1=$(ticks "$x")
    awk -v l="$1" -v a=$((p1 - p0)) -v b=$((s1 - s0)) -v c=$((x1 - x0)) -v t="$seconds" -v hz="$hz" \
      'BEGIN { printf "%-32s saver %5.1f%%  wineserver %5.1f%%  Xvfb %5.1f%% of one core\n", l, 100*a/hz/t, 100*b/hz/t, 100*c/hz/t }'
    if [ "${2:-}" = memory ]; then
      # Resident memory of the saver's process (under qemu it includes the emulator's code cache),
      # each minute from the start.
      sleep $((60 - seconds - 5))
      for m in $(seq "$minutes"); do
        echo "resident memory after $m min: $(awk '/VmRSS/ {print $2}' "/proc/$p/status") kB"
        [ "$m" -lt "$minutes" ] && sleep 60
      done
    fi
    kill "$p" 2>/dev/null || true
    wait "$launcher" 2>/dev/null || true
  }
  rm -f "$ini"
  if [ "$seconds" -gt 0 ]; then
    run_one "default settings"
    printf '[Setting]\r\nlen=9999\r\n' > "$ini"
    run_one "empty frames (margin 9999)"
    rm -f "$ini"
  fi
  if [ "$minutes" -gt 0 ]; then run_one "default settings, long run" memory; fi
}
export -f inner
export top build seconds minutes
bash "$top/scripts/wine-session.sh" "$build/wine" "$build/bin/wine_idle.exe" bash -c inner
