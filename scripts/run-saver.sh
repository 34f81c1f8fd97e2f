#!/usr/bin/env bash
# run-saver.sh: builds corvantis.scr (Windows build in build/windows) and runs it full screen under
# Wine, in the project's NT prefix (build/windows/wine/nt).
#   - With a DISPLAY: the saver covers that display until a key press, a click or a mouse movement
#     closes it; its exit code is printed.
#   - Without one: it runs on a private virtual display (Xvfb) for a few seconds
#     (CORVANTIS_RUN_SECONDS, default 5), screenshots of its frames are saved as PNG files under
#     build/screenshots/ and their paths printed, then the saver is closed.
# CORVANTIS_BUILD_DIR and CORVANTIS_SCREENSHOT_DIR choose other folders.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANTIS_BUILD_DIR:-$top/build/windows}
shots=${CORVANTIS_SCREENSHOT_DIR:-$top/build/screenshots}

if [ "${1:-}" != --in-session ]; then
  bash "$top/scripts/prerequisites.sh"
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$build" -j "${CORVANTIS_JOBS:-$(nproc)}" --target corvantis_scr wine_idle
  if [ -n "${DISPLAY:-}" ]; then
    export CORVANTIS_RUN_MODE=display
  else
    export CORVANTIS_RUN_MODE=screenshots
  fi
  exec bash "$top/scripts/wine-session.sh" "$build/wine" "$build/bin/wine_idle.exe" \
    bash "$0" --in-session
fi

# From here on: inside the Wine session (DISPLAY and CORVANTIS_WINE_ROOT are set).
saver=$build/bin/corvantis.scr

if [ "$CORVANTIS_RUN_MODE" = display ]; then
  echo "corvantis.scr /s on $DISPLAY: a key press, a click or a mouse movement closes it"
  status=0
  "$top/scripts/wine-exec.sh" nt "$saver" /s || status=$?
  echo "corvantis.scr ended with exit code $status"
  exit 0
fi

seconds=${CORVANTIS_RUN_SECONDS:-5}
mkdir -p "$shots"
rm -f "$shots"/frame-*.png

"$top/scripts/wine-exec.sh" nt "$saver" /s &
launcher=$!
stop_saver() {
  if kill -0 "$launcher" 2>/dev/null; then
    kill "$launcher" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$launcher" 2>/dev/null || true
  fi
}
trap stop_saver EXIT

# The largest channel value on the screen: 0 while it is all black, before the first frame.
brightest() { import -window root -depth 8 png:- 2>/dev/null | convert png:- -format '%[fx:int(255*maxima)]' info: 2>/dev/null || echo 0; }

# Wait (at most a minute: Wine may run under CPU emulation) until the first frame is on screen.
for _ in $(seq 120); do
  kill -0 "$launcher" 2>/dev/null || { echo "corvantis.scr ended before drawing a frame" >&2; exit 1; }
  [ "$(brightest)" -gt 0 ] && break
  sleep 0.5
done
if [ "$(brightest)" -eq 0 ]; then
  echo "no frame appeared on the virtual display" >&2
  exit 1
fi

count=4
for i in $(seq "$count"); do
  sleep "$(awk -v s="$seconds" -v n="$count" 'BEGIN { printf "%.2f", s / n }')"
  file=$(printf '%s/frame-%d.png' "$shots" "$i")
  import -window root "$file"
  echo "$file"
done

# Close it as a user would: a key press. Killed if it does not end by itself.
xdotool key space >/dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$launcher" 2>/dev/null; then
  echo "corvantis.scr did not close on the key press; ending it" >&2
  stop_saver
else
  status=0
  wait "$launcher" || status=$?
  echo "corvantis.scr closed with exit code $status"
fi
