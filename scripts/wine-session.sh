#!/usr/bin/env bash
# wine-session.sh WINE_ROOT IDLE_EXE COMMAND [ARGS...]
# Runs COMMAND with the project's two Wine prefixes ready under WINE_ROOT: "nt" and "win98" (whose
# Windows version makes GetVersionExA report the Windows 95 family). Starts a private 24-bit Xvfb
# when no DISPLAY is given (or CORVANTIS_PRIVATE_DISPLAY=1), one persistent wineserver per prefix and
# one idle process per prefix (so that Wine's desktop process stays up between test programs), and
# stops everything it started by its pid at the end, whatever COMMAND's outcome.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
root=$1 idle=$2
shift 2
mkdir -p "$root"
export CORVANTIS_WINE_ROOT=$root

pids=()
prefixes=(nt win98)
cleanup() {
  for p in "${prefixes[@]}"; do WINEPREFIX="$root/$p" wineserver -k >/dev/null 2>&1 || true; done
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ] || [ "${CORVANTIS_PRIVATE_DISPLAY:-0}" = 1 ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${CORVANTIS_SCREEN:-1920x1080}x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$n"
fi

for p in "${prefixes[@]}"; do
  export WINEPREFIX="$root/$p"
  wineserver -f -p >/dev/null 2>&1 &
  pids+=($!)
  if [ ! -f "$WINEPREFIX/.corvantis-ready" ]; then
    echo "preparing Wine prefix $WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    key='HKCU\Software\Wine\X11 Driver'
    # Without a window manager every window destruction would wait; no grabs on a bare X server.
    wine reg add "$key" /v Managed /d N /f >/dev/null 2>&1
    wine reg add "$key" /v UseXInput2 /d N /f >/dev/null 2>&1
    wine reg add "$key" /v GrabFullscreen /d N /f >/dev/null 2>&1
    if [ "$p" = win98 ]; then
      wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
    fi
    touch "$WINEPREFIX/.corvantis-ready"
  fi
  if [ -n "$idle" ] && [ -f "$idle" ]; then
    wine "$idle" >/dev/null 2>&1 &
    pids+=($!)
  fi
done
unset WINEPREFIX

"$@"
